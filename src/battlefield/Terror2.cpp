// SPDX-License-Identifier: GPL-3.0-or-later
// The ground vehicles' move.
#include "Terror2.h"

#include "GameContext.h"

void TTerror2::ChangePhase()
{
    if (TerrorKind(EnemyKind).TurnsToFire)
        Turning = true;
    else
        TogglePhase();
}

void TTerror2::DoMove(int moveCount)
{
    // Killed earlier in this frame: it is freed after this pass, and must
    // neither fire nor drive off (which would count it out twice).
    if (MarkedDead()) return;
    BeginMove(moveCount);
    TGameContext& game = Game();
    if (Walking && !Turning) {
        X += 2 * Direction;
        if (DrawBelowClock(game.RandInt(20)) && PhaseClock > 10 && !InCover) ChangePhase();
    }
    if (Turning) TurnStep();
    if (Fighting && !Turning) {
        // Vehicles fire on pattern 1 of their "_fight" strip.
        if (FiringStep(1) && PhaseClock > 10) ChangePhase();
    }
    if (X >= RightBound || X <= LeftBound) {
        // Off the screen. The trucks share one engine loop, which stops only
        // with the last of them.
        Dead();
        game.VehicleCount -= 1;
        if (const auto engine = TerrorKind(EnemyKind).EngineSound) game.StopSound(*engine, EnemyKind);
    }
}
