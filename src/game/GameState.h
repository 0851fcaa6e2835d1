// SPDX-License-Identifier: GPL-3.0-or-later
// The screen states: the values of GameState, one screen each.
#pragma once

#include <cstdint>

enum TGameState : uint8_t {
    gsNone = 0,
    gsMenu = 2,
    gsGame = 3,
    gsHelp = 4,
    gsOptions = 5,
    gsHighScores = 6,
    gsExitScene = 7,
    gsGameOver = 8,
};

// States 2 .. 8 have a screen; 0 is the state before the first one.
constexpr bool HasScreen(uint8_t state)
{
    return state >= gsMenu && state <= gsGameOver;
}
