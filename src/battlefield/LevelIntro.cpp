// SPDX-License-Identifier: GPL-3.0-or-later
// The level-intro captions.
#include "LevelIntro.h"

#include "Depths.h"
#include "GameContext.h"
#include "Images.h"
#include "PictureCollection.h"

Word_Level_begin::Word_Level_begin(TSprite* parent) : TBegin(parent)
{
    TakeImage(Game().Image(Images::LevelCaption));
    X = -Width;
    Y = 200;
    SetZ(dpCaption);
}

void Word_Level_begin::DoMove(int moveCount)
{
    TImageSprite::DoMove(moveCount);
    TGameContext& game = Game();
    // It stops with its right edge 20 pixels short of the centre line.
    if (Width + X + 20 >= 400) {
        if (!game.Progress.LevelWordArrived) {
            game.PlaySound(TSound::Level);
            game.Timer2.SetInterval(500);
            game.Timer2.SetEnabled(true);
            game.Activation.Timer2Pending = true;
        }
        game.Progress.LevelWordArrived = true;
    } else {
        X += 30;
    }
}

TFight::TFight(TSprite* parent) : TBegin(parent)
{
    TakeImage(Game().Image(Images::Fight));
    X = 400 - Width / 2.0;
    Y = 300;
    SetZ(dpCaption);
    AnimCount = Image->PatternCount();
    AnimLooped = false;
    AnimSpeed = 0.025;
    PixelCheck = true;
}

void TFight::DoMove(int moveCount)
{
    TImageSprite::DoMove(moveCount);
    // The rounded position reaches the pattern count once, on the move
    // before the animation stops.
    if (Image->PatternCount() == LastPos) {
        TGameContext& game = Game();
        game.PlaySound(TSound::Fight);
        game.Activation.Timer1Pending = true;
        game.Timer1.SetEnabled(true);
        game.Timer1.SetInterval(800);
    }
    LastPos = RoundToInt(AnimPos);
}
