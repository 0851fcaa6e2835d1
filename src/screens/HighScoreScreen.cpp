// SPDX-License-Identifier: GPL-3.0-or-later
// The high-score screen: the ten best as names and scores in sprite text,
// and the panel that clears the table.
#include "HighScoreScreen.h"

#include "Depths.h"
#include "Images.h"
#include "Pricel.h"
#include "ScreenSprites.h"
#include "SpriteText.h"
#include "SpriteWalks.h"

namespace {

// Tops of the rows, place 1 to 10; the spacing is not even.
constexpr int kRowY[10] = {150, 185, 220, 253, 285, 315, 345, 375, 405, 433};

} // namespace

void THighScoreScreen::Build()
{
    // Coming from a game the music changes to the menu's; from the menu it
    // goes on.
    if (Game.Menus.MenuMusicPending) Game.PlayMusic("1");
    Game.Menus.MenuMusicPending = false;
    TSpriteEngine& root = Game.Root();
    new Pricel(&root);
    CreateBackdrop(root, Game.Image(Images::ScreenFrame));
    CreateCentredPicture(root, Game.Image(Images::HighScoresFrame), 393, 277, dpScreen);
    for (int place = 1; place <= 10; ++place)
        DrawNumber(Game, Game.HighScores[place - 1].Score, 545, kRowY[place - 1], Images::LargeDigit, 1.5);
    for (int place = 1; place <= 10; ++place) DrawWord(Game, Game.HighScores[place - 1].Name, 225, kRowY[place - 1], 1.5);
}

void THighScoreScreen::KeyDown(int key, bool /*alt*/)
{
    if (key == VirtualKey::Escape && !Game.GameClearHighScore) Game.GoToState(gsMenu);
}

void THighScoreScreen::MouseDown(TMouseButton button, int /*x*/, int /*y*/)
{
    if (button != TMouseButton::Left) return;
    if (!Game.GameClearHighScore) {
        if (Pressed<HighScore_Clear>(Game)) {
            ClearPanelClick();
            Click();
        } else if (Pressed<HighScore_Back>(Game)) {
            Game.GoToState(gsMenu);
            Click();
        } else if (Pressed<HighScore_View>(Game)) {
            Game.OpenOnlineTable();
            Click();
        }
    } else if (Pressed<TClearHighScore_Yes>(Game)) {
        // The table is reset, saved and shown anew before the panel closes.
        Game.ResetHighScores();
        ClearPanelClick();
        Click();
    } else if (Pressed<TClearHighScore_No>(Game)) {
        ClearPanelClick();
        Click();
    }
}

void THighScoreScreen::PointerMoved(int /*x*/, int /*y*/)
{
    if (Game.GameClearHighScore)
        Hover(ScreenButtons<TClearHighScore_Yes, TClearHighScore_No>());
    else
        Hover(ScreenButtons<HighScore_Clear, HighScore_Back, HighScore_View>());
}

void THighScoreScreen::ClearPanelClick()
{
    Game.GameClearHighScore = !Game.GameClearHighScore;
    if (Game.GameClearHighScore) {
        new TClearHighScore(&Game.Root());
    } else {
        KillAll<TMenu>(Game.Root());
        KillAll<TMenuGame>(Game.Root());
    }
}
