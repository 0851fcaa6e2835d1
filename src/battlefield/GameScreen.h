// SPDX-License-Identifier: GPL-3.0-or-later
// The game itself as a screen state: the start of a game, the gameplay
// frame, the shot on a press and in burst fire, pause, the in-game exit
// question, the end of a level's intro and what losing the focus does.
#pragma once

#include "Screen.h"

class TGameScreen : public TScreen {
public:
    using TScreen::TScreen;
    // The start of a game: level 1's values and scene, with its intro.
    void Build() override;
    void Teardown() override;
    void Frame() override;
    // The level switches once its countdown has run out.
    void AfterFrame() override;
    void KeyDown(int key, bool alt) override;
    void MouseDown(TMouseButton button, int x, int y) override;
    void PointerMoved(int x, int y) override;
    // The end of the level intro, or of a burst period.
    void Timer1Step() override;
    void FocusLost() override;
    void FocusRegained() override;
    // The window's close button asks the in-game exit question.
    void CloseRequested() override;
    const char* MusicTrack() const override { return "2"; }

    void PauseClick() override;
    void MainExitClick() override;

private:
    // Shots are fired only in play: not paused, no exit panel, no intro.
    bool InPlay() const;
};
