// SPDX-License-Identifier: GPL-3.0-or-later
// Killing a soldier and destroying a vehicle.
#include "Kills.h"

#include "Effects.h"
#include "GameContext.h"
#include "Images.h"
#include "Terror.h"

void KillSoldier(TGameContext& game, TTerror& soldier)
{
    game.Score += soldier.Points;
    soldier.Dead();
    new TTerror_Dead(&game.Root(), soldier.EnemyKind, soldier.DepthScale, soldier.X, soldier.Y, soldier.Z());
}

void KillVehicle(TGameContext& game, TTerror& vehicle, bool stopEngine)
{
    const TTerrorKind& kind = TerrorKind(vehicle.EnemyKind);
    game.Score += vehicle.Points;
    // Stopped while the dying vehicle still counts among the children, so
    // the loop stops with the last of its kind.
    vehicle.Dead();
    if (stopEngine && kind.EngineSound) game.StopSound(*kind.EngineSound, vehicle.EnemyKind);
    game.PlaySound(kind.KillSound);
    const TPictureCollectionItem& explosion = game.Image(Images::VehicleKill);
    new TGotov(&game.Root(), vehicle.X + vehicle.Width / 2.0 - explosion.Width() / 2.0,
               vehicle.Y + vehicle.Height / 2.0 - explosion.Height() / 2.0);
}
