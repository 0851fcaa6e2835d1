// SPDX-License-Identifier: GPL-3.0-or-later
// The frame: a pending full-screen switch, the current screen's hook and
// what follows it, presenting the frame, and keeping the music going.
#include "Unit1.h"

#include "Screen.h"

void TMainForm::DXTimerTimer(int /*lagCount*/)
{
    if (!DXDraw.CanDraw()) return;
    const uint32_t now = GameClock.Now();
    ++FrameCount;
    if (Activation.ResizeSeen) {
        Activation.ResizeSeen = false;
        if (WindowState() == TWindowState::Maximized) GameFullScreenClick();
    }
    if (!Activation.FocusLost) {
        FrameHook();
        // The screen of the state the hook left (it may have left the game).
        if (TScreen* screen = CurrentScreen()) screen->AfterFrame();
        DXDraw.Flip();
    }
    MusicContinuation();
    RecordFrame(now);
}

void TMainForm::FrameHook()
{
    if (TScreen* screen = CurrentScreen()) screen->Frame();
}
