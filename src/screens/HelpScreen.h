// SPDX-License-Identifier: GPL-3.0-or-later
// The help screen: one of four pages in a common frame, with up, back and
// down buttons.
#pragma once

#include "Screen.h"

class THelpScreen : public TScreen {
public:
    using TScreen::TScreen;
    void Build() override;
    void KeyDown(int key, bool alt) override;
    void MouseDown(TMouseButton button, int x, int y) override;
    void PointerMoved(int x, int y) override;
};

// The four pages' pictures, for the library check.
std::span<const char* const> HelpPageImages();
