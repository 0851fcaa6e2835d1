// SPDX-License-Identifier: GPL-3.0-or-later
// The infantry's move.
#include "Terror1.h"

#include "GameContext.h"

#include <cmath>

void TTerror1::DoMove(int moveCount)
{
    // Killed earlier in this frame: it is freed after this pass, and must
    // neither fire nor drive off (which would count it out twice).
    if (MarkedDead()) return;
    BeginMove(moveCount);
    TGameContext& game = Game();
    if (Walking) {
        X += Direction;
        if (X + Width >= RightBound || X <= LeftBound) {
            TogglePhase();
            return;
        }
        // About one move in 30 after ten frames of walking, never in cover.
        if (DrawBelowClock(game.RandInt(30)) && PhaseClock > 10 && !InCover) TogglePhase();
        return;
    }
    if (X + Width >= RightBound || X <= LeftBound) TogglePhase();
    // The shot goes off when the animation comes round to pattern 0.
    if (FiringStep(0) && PhaseClock > 10) TogglePhase();
}
