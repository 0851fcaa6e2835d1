// SPDX-License-Identifier: GPL-3.0-or-later
// A game from level to level: enemy waves, the level timer, the level
// intro's timers and the switch to the next level.
#pragma once

class TGameContext;

// This frame's spawns: perhaps a soldier, perhaps a vehicle.
void SpawnEnemies(TGameContext& game);
// One second of the level's countdown, with the colon's blink.
void TimerLevelTimer(TGameContext& game);
// The intro shows and calls the level's number, then waits for "Fight".
void Timer2Timer(TGameContext& game);
// The intro's "Fight" caption.
void Timer3Timer(TGameContext& game);
// The next level: its scene, its intro and its values.
void LevelSwitch(TGameContext& game);
