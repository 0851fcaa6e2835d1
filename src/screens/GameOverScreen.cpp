// The game-over screen: its backdrop and music, and the frame that redraws
// the name being typed. (The name-entry panel opens from Timer1.)
#include "BackgroundSprite.h"
#include "SpriteText.h"
#include "Unit1.h"

void TMainForm::BuildGameOver()
{
    Root().Clear();
    auto* backdrop = new TBackgroundSprite(&Root());
    backdrop->SetMapSize(1, 1);
    backdrop->Image = &Image("bgGameOver");
    backdrop->Tile = true;
    backdrop->SetZ(-1);
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
