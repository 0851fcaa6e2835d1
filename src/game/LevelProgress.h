// SPDX-License-Identifier: GPL-3.0-or-later
// The values that carry a game from level to level: the intro, the
// countdown, the spawn limits and the player's fate.
#pragma once

#include <cstdint>

struct TLevelProgress {
    // The caption, number and "Fight" sequence runs: no spawns, no shots.
    bool LevelIntro = false;
    // The level caption has reached its place.
    bool LevelWordArrived = false;
    // Seconds left; the level switches when it drops below 0.
    int32_t LevelCountdown = 0;
    int32_t InfantryLimit = 0;
    int32_t VehicleLimit = 0;
    double SpawnChance = 0.0;
    // The countdown's colon shows on every other second.
    bool CountdownBlink = false;
    // A life was lost: the next gameplay frame flashes.
    bool PlayerHit = false;
    // The last life was lost: the next gameplay frame leaves for game over.
    bool GameOver = false;
};
