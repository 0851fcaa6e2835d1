// SPDX-License-Identifier: GPL-3.0-or-later
// The high-score screen: the ten best as names and scores in sprite text,
// and the panel that clears the table.
#pragma once

#include "Screen.h"

class THighScoreScreen : public TScreen {
public:
    using TScreen::TScreen;
    void Build() override;
    void Teardown() override { Game.SaveSettings(); }
    void KeyDown(int key, bool alt) override;
    void MouseDown(TMouseButton button, int x, int y) override;
    void PointerMoved(int x, int y) override;
    // Opens or closes the clear panel (the form's GameClearHighScoreClick).
    void ClearPanelClick();
};
