// SPDX-License-Identifier: GPL-3.0-or-later
// The game-over screen: its backdrop and music, the name-entry panel that
// Timer1 opens for a score good enough for the table, and the name typed.
#pragma once

#include "Screen.h"

class TGameOverScreen : public TScreen {
public:
    using TScreen::TScreen;
    void Build() override;
    void Teardown() override;
    void Frame() override;
    void KeyDown(int key, bool alt) override;
    void MouseDown(TMouseButton button, int x, int y) override;
    void Timer1Step() override;
    const char* MusicTrack() const override { return "3"; }

private:
    // Back to the menu after a short pause.
    void Leave();
};
