// SPDX-License-Identifier: GPL-3.0-or-later
// The main menu: six buttons on a tiled backdrop.
#pragma once

#include "Screen.h"

class TMenuScreen : public TScreen {
public:
    using TScreen::TScreen;
    void Build() override;
    // The tiled backdrop covers everything: no fill.
    void Frame() override { PlainFrame(false); }
    void KeyDown(int key, bool alt) override;
    void MouseDown(TMouseButton button, int x, int y) override;
    void PointerMoved(int x, int y) override;
};
