// SPDX-License-Identifier: GPL-3.0-or-later
// A game from level to level: the spawns, the level timer, the intro's
// timers and the level switch.
#include "Levels.h"

#include "GameContext.h"
#include "Hud.h"
#include "LevelIntro.h"
#include "LevelRules.h"
#include "PictureCollection.h"
#include "Scenes.h"
#include "SpriteText.h"
#include "SpriteWalks.h"
#include "Terror1.h"
#include "Terror2.h"
#include "TerrorVert.h"

#include <algorithm>
#include <string>

void SpawnEnemies(TGameContext& game)
{
    TSpriteEngine& root = game.Root();
    const TLevelProgress& progress = game.Progress;
    // Level 1 knows only kind 1 and the tank; level 4 brings the helicopter.
    const int32_t p = 1 + game.RandInt(std::min(game.LevelNo, 4));

    if (game.RandInt(100) < progress.SpawnChance && game.InfantryCount <= progress.InfantryLimit) {
        const TPictureCollectionItem& image = game.Image(TerrorImageName(p, "_move"));
        const int32_t xr = game.RandInt(500 - image.PatternWidth);
        const int32_t yr = game.RandInt(110);
        const TInfantryPlace place = InfantryPlace(xr, yr, image.Height());
        new TTerror1(&root, p, place.DepthScale, place.X, place.Y, place.Foot);
    }

    if (game.RandInt(1000) < progress.SpawnChance && game.VehicleCount <= progress.VehicleLimit) {
        if (p == 4) {
            const TPictureCollectionItem& image = game.Image(TerrorImageName(8, "_move"));
            const int32_t side = game.RandInt(2);
            const double x = side == 0 ? 0 : 800 - image.PatternWidth;
            const double y = 65 + game.RandInt(100);
            new TTerror_Vert(&root, 8, 1.0, x, y, RoundToInt(y + image.Height()));
        } else {
            const int kind = p + 4;
            const TPictureCollectionItem& image = game.Image(TerrorImageName(kind, "_move"));
            const int32_t side = game.RandInt(2);
            // Just outside the left or the right edge.
            const double x = side == 0 ? -image.PatternWidth : 800;
            const int foot = 310 + game.RandInt(60);
            new TTerror2(&root, kind, 1.0, x, foot - image.Height(), foot);
        }
    }
}

void TimerLevelTimer(TGameContext& game)
{
    TLevelProgress& progress = game.Progress;
    progress.LevelCountdown -= 1;
    KillAll<Cifra_prefix>(game.Root());
    const bool wasShown = progress.CountdownBlink;
    progress.CountdownBlink = !progress.CountdownBlink;
    if (!wasShown) new Cifra_prefix(&game.Root());
}

void Timer2Timer(TGameContext& game)
{
    game.Activation.Timer2Pending = false;
    game.Activation.Timer3Pending = true;
    DrawWord(game, std::to_string(game.LevelNo), 450, 200, 1.0);
    if (const auto word = LevelNumberSound(game.LevelNo)) game.PlaySound(*word);
    game.Timer2.SetEnabled(false);
    game.Timer3.SetEnabled(true);
}

void Timer3Timer(TGameContext& game)
{
    new TFight(&game.Root());
    game.Timer3.SetEnabled(false);
    game.Activation.Timer3Pending = false;
}

void LevelSwitch(TGameContext& game)
{
    game.StopAllSounds();
    TLevelProgress& progress = game.Progress;
    progress.LevelIntro = true;
    game.LevelNo += 1;
    if (game.LevelNo <= 4) {
        BuildScene(game, game.LevelNo);
    } else {
        // Never the scene just played.
        int32_t c = game.RandInt(4);
        while (c + 1 == game.SceneNo) c = game.RandInt(4);
        BuildScene(game, c + 1);
    }
    game.TimerLevel.SetEnabled(false);
    const TLevelValues values = LevelValues(game.LevelNo);
    progress.LevelCountdown = values.LevelCountdown;
    progress.InfantryLimit = values.InfantryLimit;
    progress.VehicleLimit = values.VehicleLimit;
    progress.SpawnChance = values.SpawnChance;
}
