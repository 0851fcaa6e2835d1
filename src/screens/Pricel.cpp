// SPDX-License-Identifier: GPL-3.0-or-later
// The screens' pointer.
#include "Pricel.h"

#include "DXDraw.h"
#include "Depths.h"
#include "GameContext.h"
#include "Images.h"

#include <cmath>

Pricel::Pricel(TSprite* parent) : TImageSprite(parent)
{
    TakeImage(Game().Image(Images::ScreenPointer));
    SetZ(dpCrosshair);
    AnimCount = Image->PatternCount();
    AnimLooped = true;
    AnimSpeed = 0.01;
    PixelCheck = true;
}

void Pricel::DoMove(int moveCount)
{
    TImageSprite::DoMove(moveCount);
    TGameContext& game = Game();
    const int imageWidth = Image->Width(), imageHeight = Image->Height();
    // Rounding halves to even, as the game always has.
    X = std::nearbyint(game.Input.MouseX - imageWidth / 2.0);
    Y = std::nearbyint(game.Input.MouseY - imageHeight / 2.0);
    const int surfaceWidth = game.Display().SurfaceWidth(), surfaceHeight = game.Display().SurfaceHeight();
    if (Y >= surfaceHeight - imageHeight) Y = surfaceHeight - imageHeight;
    if (X >= surfaceWidth - imageWidth) X = surfaceWidth - imageWidth;
    if (Y <= 0) Y = 1;
    if (X <= 0) X = 1;
}
