// SPDX-License-Identifier: GPL-3.0-or-later
// Keyboard and mouse: what every screen shares (the pointer's place, the
// highlights it leaves, Alt+Enter, the released trigger), then the current
// screen's own handling.
#include "Unit1.h"

#include "Screen.h"
#include "SpriteWalks.h"

void TMainForm::FormKeyDown(int key, bool alt)
{
    if (TScreen* screen = CurrentScreen()) screen->KeyDown(key, alt);
    if (key == VirtualKey::Enter && alt) GameFullScreenClick();
}

void TMainForm::DXDrawMouseDown(TMouseButton button, int x, int y)
{
    if (TScreen* screen = CurrentScreen()) screen->MouseDown(button, x, y);
}

void TMainForm::DXDrawMouseUp(TMouseButton /*button*/, int /*x*/, int /*y*/)
{
    Input.TriggerHeld = false;
}

void TMainForm::DXDrawMouseMove(int x, int y)
{
    if (!GamePause) {
        KillAll<TMenuGame>(Root());
        Input.MouseX = x;
        Input.MouseY = y;
    }
    if (TScreen* screen = CurrentScreen()) screen->PointerMoved(x, y);
}
