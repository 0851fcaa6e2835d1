// SPDX-License-Identifier: GPL-3.0-or-later
// Crosshair, weapon and muzzle flash.
#include "Weapon.h"

#include "PictureCollection.h"
#include "SpriteWalks.h"
#include "SpriteEngine.h"
#include "DXDraw.h"
#include "Depths.h"
#include "GameContext.h"
#include "Images.h"

namespace {

constexpr TAimingBand kBands[] = {
    {133, 0, "Splash_1", 222, 500}, {266, 1, "Splash_2", 322, 492}, {399, 2, "Splash_3", 405, 485},
    {533, 3, "Splash_4", 485, 486}, {666, 4, "Splash_5", 558, 488}, {INT32_MAX, 5, "Splash_6", 625, 493},
};

} // namespace

const TAimingBand& AimingBand(int32_t mouseX)
{
    for (const TAimingBand& band : kBands)
        if (mouseX <= band.MaxMouseX) return band;
    return kBands[5];
}

Pricel_prosto::Pricel_prosto(TSprite* parent) : TImageSprite(parent)
{
    TakeImage(Game().Image(Images::Crosshair));
    SetZ(dpCrosshair);
    AnimCount = Image->PatternCount();
    AnimLooped = false;
    AnimSpeed = 0.1;
    PixelCheck = true;
}

void Pricel_prosto::DoMove(int moveCount)
{
    TImageSprite::DoMove(moveCount);
    TGameContext& game = Game();
    const int imageWidth = Image->Width(), imageHeight = Image->Height();
    X = RoundToInt(game.Input.MouseX - imageWidth / 2.0);
    Y = RoundToInt(game.Input.MouseY - imageHeight / 2.0);
    // Never into the bottom band of the weapon and the HUD.
    if (Y >= 480) Y = 480;
    const int surfaceWidth = game.Display().SurfaceWidth();
    if (X >= surfaceWidth - imageWidth) X = surfaceWidth - imageWidth;
    if (Y <= 0) Y = 1;
    if (X <= 0) X = 1;
}

TPlayerSprite::TPlayerSprite(TSprite* parent) : TImageSprite(parent)
{
    TGameContext& game = Game();
    TakeImage(game.Image(Images::Weapon));
    X = (game.Display().SurfaceWidth() - Image->Width()) / 2.0 + 60;
    Y = game.Display().SurfaceHeight() - Image->Height();
    SetZ(dpWeapon);
    game.Fire.ShotFired = false;
}

void TPlayerSprite::DoDraw()
{
    const TGameContext& game = Game();
    if (game.GamePause || game.GameMainExit) return;
    if (Engine() == nullptr || Engine()->Surface() == nullptr) return;
    Image->Draw(*Engine()->Surface(), RoundToInt(X), RoundToInt(Y), AimingBand(game.Input.MouseX).WeaponPattern);
}

void TPlayerSprite::DoMove(int moveCount)
{
    TImageSprite::DoMove(moveCount);
    TGameContext& game = Game();
    if (game.Fire.ShotFired) {
        new TSplash(Engine());
        if (game.Fire.SingleFire) Y -= 5;
    } else {
        // At rest 5 pixels lower than where it came up.
        Y = game.Display().SurfaceHeight() - Image->Height() + 5;
    }
    game.Fire.ShotFired = false;
}

TSplash::TSplash(TSprite* parent) : TImageSprite(parent)
{
    const TAimingBand& band = AimingBand(Game().Input.MouseX);
    TakeImage(Game().Image(band.FlashImage));
    X = band.FlashX;
    Y = band.FlashY;
    SetZ(dpCaption);
    AnimCount = Image->PatternCount();
    AnimLooped = false;
    AnimSpeed = 0.02;
    PixelCheck = true;
}

void TSplash::DoMove(int moveCount)
{
    TImageSprite::DoMove(moveCount);
    // A flash lives until the first move pass that reaches it.
    KillAll<TSplash>(*Engine());
}
