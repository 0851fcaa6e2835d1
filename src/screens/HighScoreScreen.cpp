// The high-score screen: the ten best as names and scores in sprite text,
// and the panel that clears the table.
#include "Buttons.h"
#include "Pricel.h"
#include "ScreenSprites.h"
#include "SpriteText.h"
#include "Unit1.h"

namespace {

// Tops of the rows, place 1 to 10; the spacing is not even.
constexpr int kRowY[10] = {150, 185, 220, 253, 285, 315, 345, 375, 405, 433};

} // namespace

void TMainForm::BuildHighScores()
{
    // Coming from a game the music changes to the menu's; from the menu it
    // goes on.
    if (Menus.MenuMusicPending) PlayMusic("1");
    Menus.MenuMusicPending = false;
    new Pricel(&Root());
    CreateBackdrop(Root(), Image("fon_all"));
    CreateCentredPicture(Root(), Image("fon_high_scores"), 393, 277, 0);
    for (int place = 1; place <= 10; ++place)
        DrawNumber(HighScores[place - 1].Score, 545, kRowY[place - 1], "Health_", 1.5);
    for (int place = 1; place <= 10; ++place)
        DrawWord(HighScores[place - 1].Name, 225, kRowY[place - 1], 1.5);
}

void TMainForm::GameClearHighScoreClick()
{
    GameClearHighScore = !GameClearHighScore;
    if (GameClearHighScore) {
        new TClearHighScore(&Root());
    } else {
        KillAll<TMenu>(Root());
        KillAll<TMenuGame>(Root());
    }
}
