// SPDX-License-Identifier: GPL-3.0-or-later
// The name-entry panel and its two toggles.
#include "NameEntry.h"

#include "Buttons.h"
#include "DXDraw.h"
#include "GameContext.h"
#include "Images.h"
#include "SpriteText.h"
#include "SpriteWalks.h"

TEnter_Name::TEnter_Name(TSprite* parent) : TImageSprite(parent)
{
    TGameContext& game = Game();
    TakeImage(game.Image(Images::EnterName));
    // Doubles: an odd difference leaves it on a half pixel.
    X = (game.Display().Display.Width - Width) / 2.0;
    Y = (game.Display().Display.Height - Height) / 2.0;
    SetZ(0);
    EnterNameClick(game);
}

void EnterNameClick(TGameContext& game)
{
    game.GameEnterName = !game.GameEnterName;
    if (!game.GameEnterName) return;
    DrawScoreCentred(game, 400, 197, Images::LargeDigit);
    // Off on entering the screen, so the panel opens with the tick shown.
    SendResultClick(game);
    // A remembered name shows without a cursor; an empty one invites typing.
    if (game.Edit2.empty()) game.GamegoEditClick();
}

void SendResultClick(TGameContext& game)
{
    game.GameSendResult = !game.GameSendResult;
    KillAll<TMenu>(game.Root());
    if (game.GameSendResult) new TEnter_Name_Send(&game.Root());
}
