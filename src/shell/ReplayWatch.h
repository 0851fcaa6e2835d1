// SPDX-License-Identifier: GPL-3.0-or-later
// Watching a recorded game in the game's own window, with its sound and
// music, at the pace it was played (or a whole number of times faster).
#pragma once

#include "ReplayFile.h"

#include <iosfwd>

class TMainForm;

// Plays the replay on a started form standing at the menu. The window's
// own input is not the game's while it plays: Esc or closing the window
// leaves, the rest is ignored. Returns the program's exit status: 0 when
// watched to the end or left, 1 when the replay went out of step (said on
// `errors`).
int WatchReplay(TMainForm& form, const TReplay& replay, int speed, std::ostream& errors);
