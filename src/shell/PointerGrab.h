// SPDX-License-Identifier: GPL-3.0-or-later
// Whether the pointer stays in the game's window: aiming in full screen must
// not slide onto another screen, but a paused game or one that lost the
// focus gives the pointer back to the desktop.
#pragma once

class TMainForm;

bool PointerStaysInWindow(const TMainForm& form);
