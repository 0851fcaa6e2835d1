// SPDX-License-Identifier: GPL-3.0-or-later
// The effect family.
#include "Effects.h"

#include "PictureCollection.h"
#include "SpriteEngine.h"
#include "SpriteWalks.h"
#include "Depths.h"
#include "GameContext.h"
#include "Images.h"
#include "Terror.h"

TIscr::TIscr(TSprite* parent, const std::string& imageName, double x, double y, int z, double animSpeed,
             double drawScale)
    : TImageSprite(parent)
{
    TakeImage(Game().Image(imageName));
    X = x;
    Y = y;
    SetZ(z);
    AnimCount = Image->PatternCount();
    AnimLooped = false;
    AnimSpeed = animSpeed;
    PixelCheck = true;
    DrawScale = drawScale;
}

void TIscr::DoDraw()
{
    if (Image == nullptr || Engine() == nullptr || Engine()->Surface() == nullptr) return;
    const int left = RoundToInt(X), top = RoundToInt(Y);
    const TRect rect{left, top, left + RoundToInt(Width / DrawScale), top + RoundToInt(Height / DrawScale)};
    Image->StretchDraw(*Engine()->Surface(), rect, RoundToInt(AnimPos));
}

void TIscr::DoMove(int moveCount)
{
    TImageSprite::DoMove(moveCount);
    // Reached only when a move lands in the last half pattern: then every
    // effect goes with this one.
    if (Image->PatternCount() == LastPos) KillAll<TIscr>(*Engine());
    LastPos = static_cast<uint8_t>(RoundToInt(AnimPos));
}

TPopal::TPopal(TSprite* parent, int x, int y) : TIscr(parent, Images::ArmourHit, x, y, dpCaption, 0.1, 1.0) {}

void TPopal::DoMove(int moveCount)
{
    TIscr::DoMove(moveCount);
    // The one-shot animation stops on its last frame with its speed at 0.
    if (AnimSpeed == 0) Dead();
}

TGotov::TGotov(TSprite* parent, double x, double y) : TIscr(parent, Images::VehicleKill, x, y, dpCaption, 0.02, 1.0) {}

TBonus_Dead::TBonus_Dead(TSprite* parent, double x, double y, int z)
    : TIscr(parent, Images::BonusBurst, x, y, z, 0.01, 1.0)
{
}

TTerror_Dead::TTerror_Dead(TSprite* parent, int kind, double depthScale, double x, double y, int z)
    : TIscr(parent, TerrorImageName(kind, "_dead"), x, y, z, 0.01, depthScale)
{
}
