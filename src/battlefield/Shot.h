// SPDX-License-Identifier: GPL-3.0-or-later
// One shot at a point of the battlefield.
#pragma once

class TGameContext;

// The gunshot; the frontmost enemy under the point is wounded or killed,
// or a bonus floating in front of it is collected; a shot at nothing is a
// miss.
void ResolveShot(TGameContext& game, int x, int y);
