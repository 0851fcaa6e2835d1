// SPDX-License-Identifier: GPL-3.0-or-later
// The options screen: window or full screen, music, sound, and a line of
// text, with the lit choices and the text rebuilt every frame.
#pragma once

#include "Screen.h"

class TOptionsScreen : public TScreen {
public:
    using TScreen::TScreen;
    void Build() override;
    void Teardown() override;
    void Frame() override;
    void KeyDown(int key, bool alt) override;
    void MouseDown(TMouseButton button, int x, int y) override;
    void PointerMoved(int x, int y) override;
};
