// SPDX-License-Identifier: GPL-3.0-or-later
// The game's random numbers, seeded from the game's own clock.
#include "Unit1.h"

void TMainForm::Randomize()
{
    Random_.Seed(GameClock.Now());
}

int32_t TMainForm::RandInt(int32_t n)
{
    return Random_.RandInt(n);
}
