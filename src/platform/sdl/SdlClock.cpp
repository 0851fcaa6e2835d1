// SPDX-License-Identifier: GPL-3.0-or-later
// The game's clock on SDL's millisecond counter.
#include "SdlClock.h"

#include <SDL.h>

uint32_t TSdlClock::Now()
{
    return SDL_GetTicks();
}

void TSdlClock::Sleep(uint32_t milliseconds)
{
    SDL_Delay(milliseconds);
}
