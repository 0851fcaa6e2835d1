// SPDX-License-Identifier: GPL-3.0-or-later
// The helicopter's move.
#include "TerrorVert.h"

#include "GameContext.h"

void TTerror_Vert::DoMove(int moveCount)
{
    // Killed earlier in this frame: it is freed after this pass, and must
    // neither fire nor drive off (which would count it out twice).
    if (MarkedDead()) return;
    BeginMove(moveCount);
    TGameContext& game = Game();
    if (Walking && !Turning) {
        X += Direction;
        if (X + Width >= 800 || X <= 0) TogglePhase();
        if (DrawBelowClock(game.RandInt(30)) && PhaseClock > 10 && !InCover) Turning = true;
    }
    if (Turning) TurnStep();
    if (Fighting && !Turning) {
        if (X + Width >= 800 || X <= 0) TogglePhase();
        if (FiringStep(0) && PhaseClock > 10) Turning = true;
    }
}
