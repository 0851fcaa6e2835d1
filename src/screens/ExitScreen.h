// SPDX-License-Identifier: GPL-3.0-or-later
// The exit scene: the question whether to leave the game.
#pragma once

#include "Screen.h"

class TExitScreen : public TScreen {
public:
    using TScreen::TScreen;
    void Build() override;
    void Teardown() override;
    void KeyDown(int key, bool alt) override;
    void MouseDown(TMouseButton button, int x, int y) override;
    void PointerMoved(int x, int y) override;
};
