// The ground vehicles' move.
#include "Terror2.h"

#include "Unit1.h"

void TTerror2::ChangePhase()
{
    if (EnemyKind == 7)
        TogglePhase();
    else
        Turning = true;
}

void TTerror2::DoMove(int moveCount)
{
    // Killed earlier in this frame: it is freed after this pass, and must
    // neither fire nor drive off (which would count it out twice).
    if (MarkedDead()) return;
    BeginMove(moveCount);
    TMainForm& form = *MainForm;
    if (Walking && !Turning) {
        X += 2 * Direction;
        if (DrawBelowClock(form.RandInt(20)) && PhaseClock > 10 && !InCover) ChangePhase();
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
        form.VehicleCount -= 1;
        form.StopSound(TerrorKinds[EnemyKind].EngineSound, EnemyKind == 5 ? 5 : 7);
    }
}
