// SPDX-License-Identifier: GPL-3.0-or-later
// The main menu's build and its buttons.
#include "MenuScreen.h"

#include "BackgroundSprite.h"
#include "Images.h"
#include "Pricel.h"

void TMenuScreen::Build()
{
    if (Game.Menus.MenuMusicPending) Game.PlayMusic("1");
    Game.Menus.MenuMusicPending = false;
    Game.PlayMusic("1");
    Game.Menus.HelpPage = 1;
    new Pricel(&Game.Root());
    auto* backdrop = new TBackgroundSprite(&Game.Root());
    backdrop->SetMapSize(1, 1);
    backdrop->Image = &Game.Image(Images::Menu);
    backdrop->Tile = true;
}

void TMenuScreen::KeyDown(int key, bool /*alt*/)
{
    if (key == VirtualKey::Escape) Game.GoToState(gsExitScene);
}

void TMenuScreen::MouseDown(TMouseButton button, int /*x*/, int /*y*/)
{
    if (button != TMouseButton::Left) return;
    // The state changes before the click sounds.
    uint8_t next = gsNone;
    if (Pressed<Start_Game>(Game)) next = gsGame;
    else if (Pressed<Help>(Game)) next = gsHelp;
    else if (Pressed<Options>(Game)) next = gsOptions;
    else if (Pressed<High_Score>(Game)) next = gsHighScores;
    else if (Pressed<Exit_>(Game)) next = gsExitScene;
    if (next != gsNone) {
        Game.GoToState(next);
        Click();
    } else if (Pressed<Visit_Web_Site>(Game)) {
        Game.OpenHomePage();
        Click();
    }
}

void TMenuScreen::PointerMoved(int /*x*/, int /*y*/)
{
    Hover(ScreenButtons<Start_Game, Help, Options, High_Score, Visit_Web_Site, Exit_>(), true);
}
