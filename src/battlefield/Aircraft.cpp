// SPDX-License-Identifier: GPL-3.0-or-later
// The plane and its rocket.
#include "Aircraft.h"

#include "GameContext.h"
#include "Images.h"
#include "Kills.h"
#include "PictureCollection.h"
#include "SpriteEngine.h"
#include "SpriteWalks.h"
#include "Terror.h"

Plane::Plane(TSprite* parent, double y) : TImageSprite(parent)
{
    TGameContext& game = Game();
    Y = y;
    SetZ(game.Image(Images::Plane).Height() + RoundToInt(Y));
    if (game.RandInt(2) == 0) {
        Image = &game.Image(Images::PlaneRight);
        X = -game.Image(Images::Plane).Width();
        FlyingRight = true;
    } else {
        Image = &game.Image(Images::Plane);
        X = 800;
        FlyingRight = false;
    }
    Width = Image->Width();
    Height = Image->Height();
    RocketDropped = false;
    game.PlaySound(TSound::Plane);
}

void Plane::DoMove(int moveCount)
{
    TImageSprite::DoMove(moveCount);
    X += FlyingRight ? 15 : -15;
    TGameContext& game = Game();
    if (!RocketDropped && ((FlyingRight && X > 650) || (!FlyingRight && X < 100))) {
        new Roket_(Engine(), X + 20, Y + 20, FlyingRight);
        game.PlaySound(TSound::Artobstrel);
        RocketDropped = true;
    }
    // Gone once wholly off the surface; the drop points lie well inside it.
    const int width = game.Image(Images::Plane).Width();
    if ((!FlyingRight && X <= -width) || (FlyingRight && X >= 800)) Dead();
}

Roket_::Roket_(TSprite* parent, double x, double y, bool flyingRight) : TImageSprite(parent)
{
    TGameContext& game = Game();
    FlyingRight = flyingRight;
    Image = &game.Image(flyingRight ? Images::RocketRight : Images::Rocket);
    X = x;
    Y = y;
    SetZ(RoundToInt(Y) + game.Image(Images::Rocket).Height());
    Width = Image->Width();
    Height = Image->Height();
}

void Roket_::DoMove(int moveCount)
{
    TImageSprite::DoMove(moveCount);
    X += FlyingRight ? 3 : -3;
    Y += 3;
    if (Y <= 200) return;
    // The strike: it depends only on the rocket's height.
    TGameContext& game = Game();
    TSpriteEngine& root = *Engine();
    if (auto* oldest = FirstChild<Roket_>(root)) oldest->Dead();
    game.VehicleCount = 0;
    ForEachChild<TTerror>(root, [&](TTerror& enemy) {
        // An enemy killed earlier in this frame is not scored twice.
        if (TerrorKind(enemy.EnemyKind).Infantry || enemy.MarkedDead()) return;
        KillVehicle(game, enemy, false);
    });
    game.StopEngineSounds();
}
