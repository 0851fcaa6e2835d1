// The screens' pointer.
#include "Pricel.h"

#include "Unit1.h"

#include <cmath>

Pricel::Pricel(TSprite* parent) : TImageSprite(parent)
{
    TakeImage(MainForm->ImageList.Items.Find("pricel_anim"));
    SetZ(804);
    AnimCount = Image->PatternCount();
    AnimLooped = true;
    AnimSpeed = 0.01;
    PixelCheck = true;
}

void Pricel::DoMove(int moveCount)
{
    TImageSprite::DoMove(moveCount);
    const int imageWidth = Image->Width(), imageHeight = Image->Height();
    // Rounding halves to even, as the game always has.
    X = std::nearbyint(MainForm->Input.MouseX - imageWidth / 2.0);
    Y = std::nearbyint(MainForm->Input.MouseY - imageHeight / 2.0);
    const int surfaceWidth = MainForm->DXDraw.SurfaceWidth(), surfaceHeight = MainForm->DXDraw.SurfaceHeight();
    if (Y >= surfaceHeight - imageHeight) Y = surfaceHeight - imageHeight;
    if (X >= surfaceWidth - imageWidth) X = surfaceWidth - imageWidth;
    if (Y <= 0) Y = 1;
    if (X <= 0) X = 1;
}
