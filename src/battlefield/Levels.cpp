// A game from level to level: the gameplay frame with its spawns, the level
// timer, the "Fight" timer and the level switch.
#include "BackgroundSprite.h"
#include "Hud.h"
#include "LevelIntro.h"
#include "LevelRules.h"
#include "PictureCollection.h"
#include "SpriteText.h"
#include "Terror1.h"
#include "Terror2.h"
#include "TerrorVert.h"
#include "Unit1.h"
#include "Weapon.h"

#include <algorithm>

void TMainForm::GameplayFrame()
{
    TDirectDrawSurface* surface = DXDraw.Surface();
    if (GamePause || GameMainExit) {
        // Frozen, but the crosshair still follows the pointer.
        if (auto* crosshair = FirstChild<Pricel_prosto>(Root())) crosshair->Move(16);
    } else {
        SpriteEngine.Move(16);
    }
    SpriteEngine.Dead();
    ClearBackSurface();
    SpriteEngine.Draw();

    if (!GamePause && !GameMainExit && !Progress.LevelIntro) {
        // Drawn next frame; what they mark dead goes in the next dead pass.
        ShowCountdown();
        ShowLives();
        ShowHealth();
        ShowFireMode();
        ShowLevel();
        DrawScoreCentred(399, 12, "cifra");
        KillAll<TBegin>(Root());
        Randomize();
        SpawnEnemies();
        if (Progress.PlayerHit) {
            Progress.PlayerHit = false;
            PlaySound("player_dead", false);
            // The raw value 255 in the surface's own format: a flash instead
            // of the battlefield for this frame.
            if (surface != nullptr) surface->Fill(255);
        }
    }
    if (Progress.GameOver) {
        GoToState(8);
        TimerLevel.SetEnabled(false);
    }
}

void TMainForm::SpawnEnemies()
{
    // Level 1 knows only kind 1 and the tank; level 4 brings the helicopter.
    const int32_t p = 1 + RandInt(std::min(LevelNo, 4));

    if (RandInt(100) < Progress.SpawnChance && InfantryCount <= Progress.InfantryLimit) {
        const TPictureCollectionItem& image = Image(TerrorImageName(p, "_move"));
        const int32_t xr = RandInt(500 - image.PatternWidth);
        const int32_t yr = RandInt(110);
        const TInfantryPlace place = InfantryPlace(xr, yr, image.Height());
        new TTerror1(&Root(), p, place.DepthScale, place.X, place.Y, place.Foot);
    }

    if (RandInt(1000) < Progress.SpawnChance && VehicleCount <= Progress.VehicleLimit) {
        if (p == 4) {
            const TPictureCollectionItem& image = Image("terror8_move");
            const int32_t side = RandInt(2);
            const double x = side == 0 ? 0 : 800 - image.PatternWidth;
            const double y = 65 + RandInt(100);
            new TTerror_Vert(&Root(), 8, 1.0, x, y, RoundToInt(y + image.Height()));
        } else {
            const int kind = p + 4;
            const TPictureCollectionItem& image = Image(TerrorImageName(kind, "_move"));
            const int32_t side = RandInt(2);
            // Just outside the left or the right edge.
            const double x = side == 0 ? -image.PatternWidth : 800;
            const int foot = 310 + RandInt(60);
            new TTerror2(&Root(), kind, 1.0, x, foot - image.Height(), foot);
        }
    }
}

void TMainForm::TimerLevelTimer()
{
    Progress.LevelCountdown -= 1;
    KillAll<Cifra_prefix>(Root());
    const bool wasShown = Progress.CountdownBlink;
    Progress.CountdownBlink = !Progress.CountdownBlink;
    if (!wasShown) new Cifra_prefix(&Root());
}

void TMainForm::Timer3Timer()
{
    new TFight(&Root());
    Timer3.SetEnabled(false);
    Activation.Timer3Pending = false;
}

void TMainForm::LevelSwitch()
{
    StopSound("all", 0);
    Progress.LevelIntro = true;
    LevelNo += 1;
    if (LevelNo <= 4) {
        BuildScene(LevelNo);
    } else {
        // Never the scene just played.
        int32_t c = RandInt(4);
        while (c + 1 == SceneNo) c = RandInt(4);
        BuildScene(c + 1);
    }
    TimerLevel.SetEnabled(false);
    const TLevelValues values = LevelValues(LevelNo);
    Progress.LevelCountdown = values.LevelCountdown;
    Progress.InfantryLimit = values.InfantryLimit;
    Progress.VehicleLimit = values.VehicleLimit;
    Progress.SpawnChance = values.SpawnChance;
}
