// The game-over screen: its backdrop and music, and the frame that redraws
// the name being typed (the name-entry panel opens from Timer1).
#include "ScreenSprites.h"
#include "SpriteText.h"
#include "Unit1.h"

void TMainForm::BuildGameOver()
{
    Root().Clear();
    CreateBackdrop(Root(), Image("bgGameOver"));
    PlayMusic("3");
    Timer1.SetEnabled(false);
    Timer1.SetEnabled(true);
    Timer1.SetInterval(5000);
}

void TMainForm::GameOverFrame()
{
    PlainFrame(true);
    if (GameEnterName) {
        KillAll<Bukva>(Root());
        PlayerName = Edit2;
        DrawWord(PlayerName, 180, 330, 1.0);
    }
}
