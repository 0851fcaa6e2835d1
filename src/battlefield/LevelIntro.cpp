// The level-intro captions.
#include "LevelIntro.h"

#include "PictureCollection.h"
#include "Unit1.h"

Word_Level_begin::Word_Level_begin(TSprite* parent) : TBegin(parent)
{
    TakeImage(MainForm->Image("Word_Level_begin"));
    X = -Width;
    Y = 200;
    SetZ(800);
}

void Word_Level_begin::DoMove(int moveCount)
{
    TImageSprite::DoMove(moveCount);
    TMainForm& form = *MainForm;
    // It stops with its right edge 20 pixels short of the centre line.
    if (Width + X + 20 >= 400) {
        if (!form.Progress.LevelWordArrived) {
            form.PlaySound("Level", false);
            form.Timer2.SetInterval(500);
            form.Timer2.SetEnabled(true);
            form.Activation.Timer2Pending = true;
        }
        form.Progress.LevelWordArrived = true;
    } else {
        X += 30;
    }
}

TFight::TFight(TSprite* parent) : TBegin(parent)
{
    TakeImage(MainForm->Image("Fight"));
    X = 400 - Width / 2.0;
    Y = 300;
    SetZ(800);
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
        TMainForm& form = *MainForm;
        form.PlaySound("Fight", false);
        form.Activation.Timer1Pending = true;
        form.Timer1.SetEnabled(true);
        form.Timer1.SetInterval(800);
    }
    LastPos = RoundToInt(AnimPos);
}
