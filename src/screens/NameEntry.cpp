// The name-entry panel and its two toggles.
#include "NameEntry.h"

#include "Buttons.h"
#include "PictureCollection.h"
#include "SpriteText.h"
#include "Unit1.h"

TEnter_Name::TEnter_Name(TSprite* parent) : TImageSprite(parent)
{
    TMainForm& form = *MainForm;
    TakeImage(form.Image("Enter_Name"));
    // Doubles: an odd difference leaves it on a half pixel.
    X = (form.DXDraw.Display.Width - Width) / 2.0;
    Y = (form.DXDraw.Display.Height - Height) / 2.0;
    SetZ(0);
    form.GameEnterNameClick();
}

void TMainForm::GameEnterNameClick()
{
    GameEnterName = !GameEnterName;
    if (!GameEnterName) return;
    DrawScoreCentred(400, 197, "Health_");
    // Off on entering the screen, so the panel opens with the tick shown.
    GameSendResultClick();
    // A remembered name shows without a cursor; an empty one invites typing.
    if (Edit2.empty()) GamegoEditClick();
}

void TMainForm::GameSendResultClick()
{
    GameSendResult = !GameSendResult;
    KillAll<TMenu>(Root());
    if (GameSendResult) new TEnter_Name_Send(&Root());
}
