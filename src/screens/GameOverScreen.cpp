// SPDX-License-Identifier: GPL-3.0-or-later
// The game-over screen: its backdrop and music, the frame that redraws the
// name being typed, and the name-entry panel's keys and presses.
#include "GameOverScreen.h"

#include "HighScores.h"
#include "Images.h"
#include "NameEntry.h"
#include "Pricel.h"
#include "ScreenSprites.h"
#include "SpriteText.h"
#include "SpriteWalks.h"

namespace {

// Places to click that have no button of their own: the name and the send
// box of the name-entry panel.
constexpr TScreenRect kNameField{180, 620, 330, 370};
constexpr TScreenRect kSendBox{150, 216, 377, 420};

} // namespace

void TGameOverScreen::Build()
{
    Game.Root().Clear();
    CreateBackdrop(Game.Root(), Game.Image(Images::GameOver));
    Game.PlayMusic("3");
    Game.Timer1.SetEnabled(false);
    Game.Timer1.SetEnabled(true);
    Game.Timer1.SetInterval(5000);
}

void TGameOverScreen::Teardown()
{
    Game.Progress.GameOver = false;
    Game.GameEnterName = false;
    Game.GamegoEdit = false;
    Game.GameSendResult = false;
    Game.SaveSettings();
}

void TGameOverScreen::Frame()
{
    PlainFrame(true);
    if (Game.GameEnterName) {
        KillAll<Bukva>(Game.Root());
        Game.PlayerName = Game.Edit2;
        DrawWord(Game, Game.PlayerName, 180, 330, 1.0);
    }
}

void TGameOverScreen::Leave()
{
    Game.Sleep(200);
    Game.GoToState(gsMenu);
}

void TGameOverScreen::KeyDown(int key, bool alt)
{
    const bool reached = Game.ScoreReachedTable();
    if ((key == VirtualKey::Escape || key == VirtualKey::Enter) && !reached && !Game.Timer1.Enabled()) Leave();
    TypeInto(Game.Edit2, key);
    if (key == VirtualKey::Enter && !alt && !Game.PlayerName.empty() && Game.ScoreReachedTable()) {
        InsertHighScore(Game.HighScores, Game.PlayerName, Game.Score);
        if (Game.GameSendResult) Game.SubmitScore();
        Game.GoToState(gsHighScores);
    }
}

void TGameOverScreen::MouseDown(TMouseButton button, int /*x*/, int /*y*/)
{
    const bool left = button == TMouseButton::Left;
    const bool nameEntry = (left && Game.ScoreReachedTable()) || Game.Score >= DefaultHighScores[9].Score;
    if (nameEntry) {
        if (!Game.Edit2.empty()) Game.GamegoEdit = false;
        const int x = Game.Input.MouseX, y = Game.Input.MouseY;
        if (kNameField.Contains(x, y)) {
            Game.GamegoEditClick();
            Click();
        } else if (kSendBox.Contains(x, y)) {
            SendResultClick(Game);
            Click();
        }
    } else if (!Game.Timer1.Enabled()) {
        Leave();
    }
}

void TGameOverScreen::Timer1Step()
{
    if (Game.ScoreReachedTable()) {
        new Pricel(&Game.Root());
        new TEnter_Name(&Game.Root());
    }
    Game.Timer1.SetEnabled(false);
}
