// SPDX-License-Identifier: GPL-3.0-or-later
// The pointer grab's rule, asked after every event and every turn of timers.
#include "PointerGrab.h"

#include "Unit1.h"

bool PointerStaysInWindow(const TMainForm& form)
{
    // The exit question pauses the game as the pause key does.
    return form.GameFullScreen && !form.GamePause && !form.GameMainExit && !form.Activation.FocusLost &&
           !form.Terminated;
}
