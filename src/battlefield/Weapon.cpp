// Crosshair, weapon and muzzle flash.
#include "Weapon.h"

#include "PictureCollection.h"
#include "SpriteWalks.h"
#include "SpriteEngine.h"
#include "Unit1.h"

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
    TakeImage(MainForm->Image("pricel"));
    SetZ(804);
    AnimCount = Image->PatternCount();
    AnimLooped = false;
    AnimSpeed = 0.1;
    PixelCheck = true;
}

void Pricel_prosto::DoMove(int moveCount)
{
    TImageSprite::DoMove(moveCount);
    TMainForm& form = *MainForm;
    const int imageWidth = Image->Width(), imageHeight = Image->Height();
    X = RoundToInt(form.Input.MouseX - imageWidth / 2.0);
    Y = RoundToInt(form.Input.MouseY - imageHeight / 2.0);
    // Never into the bottom band of the weapon and the HUD.
    if (Y >= 480) Y = 480;
    const int surfaceWidth = form.DXDraw.SurfaceWidth();
    if (X >= surfaceWidth - imageWidth) X = surfaceWidth - imageWidth;
    if (Y <= 0) Y = 1;
    if (X <= 0) X = 1;
}

TPlayerSprite::TPlayerSprite(TSprite* parent) : TImageSprite(parent)
{
    TMainForm& form = *MainForm;
    TakeImage(form.Image("ak47"));
    X = (form.DXDraw.SurfaceWidth() - Image->Width()) / 2.0 + 60;
    Y = form.DXDraw.SurfaceHeight() - Image->Height();
    SetZ(805);
    form.Fire.ShotFired = false;
}

void TPlayerSprite::DoDraw()
{
    const TMainForm& form = *MainForm;
    if (form.GamePause || form.GameMainExit) return;
    if (Engine() == nullptr || Engine()->Surface() == nullptr) return;
    Image->Draw(*Engine()->Surface(), RoundToInt(X), RoundToInt(Y), AimingBand(form.Input.MouseX).WeaponPattern);
}

void TPlayerSprite::DoMove(int moveCount)
{
    TImageSprite::DoMove(moveCount);
    TMainForm& form = *MainForm;
    if (form.Fire.ShotFired) {
        new TSplash(Engine());
        if (form.Fire.SingleFire) Y -= 5;
    } else {
        // At rest 5 pixels lower than where it came up.
        Y = form.DXDraw.SurfaceHeight() - Image->Height() + 5;
    }
    form.Fire.ShotFired = false;
}

TSplash::TSplash(TSprite* parent) : TImageSprite(parent)
{
    const TAimingBand& band = AimingBand(MainForm->Input.MouseX);
    TakeImage(MainForm->Image(band.FlashImage));
    X = band.FlashX;
    Y = band.FlashY;
    SetZ(800);
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
