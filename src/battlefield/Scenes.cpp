// SPDX-License-Identifier: GPL-3.0-or-later
// The scenes' tables, the scene builds and the start of a game.
#include "Scenes.h"

#include "BackgroundSprite.h"
#include "Depths.h"
#include "GameContext.h"
#include "LevelIntro.h"
#include "PictureCollection.h"

TMestnost::TMestnost(TSprite* parent, const std::string& imageName, int x, int y, int z) : TImageSprite(parent)
{
    TakeImage(Game().Image(imageName));
    X = x;
    Y = y;
    SetZ(z);
    PixelCheck = true;
}

namespace {

// Top-left corners, in creation order.
constexpr TSceneryRow kScene1[] = {
    {"Scene1_stone", 230, 421},  {"Scene1_bochka", 602, 394}, {"Scene1_kolodez", 490, 437},
    {"Scene1_tank", 357, 318},   {"Scene1_house1", 0, 297},   {"Scene1_house2", 689, 302},
    {"Scene1_palma", 29, 175},
};
constexpr TSceneryRow kScene2[] = {
    {"Scene2_palma", 505, 103}, {"Scene2_plane", 1, 267},    {"Scene2_kolodez", 410, 457},
    {"Scene2_vert", 323, 286},  {"Scene2_house1", 638, 313}, {"Scene2_house2", 0, 155},
};
constexpr TSceneryRow kScene3[] = {
    {"Scene3_palma", 356, 176}, {"Scene3_gruzovic", 0, 298}, {"Scene3_kolodez", 0, 437},
    {"Scene3_bochka", 493, 418}, {"Scene3_bochki", 594, 409}, {"Scene3_trava", 275, 412},
    {"Scene3_house1", 569, 142},
};
constexpr TSceneryRow kScene4[] = {
    {"Scene4_palma1", 568, 113}, {"Scene4_tarelka", 0, 259},   {"Scene4_bochka1", 81, 401},
    {"Scene4_bochka2", 331, 383}, {"Scene4_bochka3", 471, 370}, {"Scene4_pushka1", 627, 398},
    {"Scene4_pushka2", 590, 304}, {"Scene4_trava1", 0, 357},    {"Scene4_trava2", 583, 390},
};

const TSceneTable kScenes[] = {
    {"Scene1", kScene1},
    {"Scene2", kScene2},
    {"Scene3", kScene3},
    {"Scene4", kScene4},
};

} // namespace

const TSceneTable& SceneTable(int n)
{
    return kScenes[n >= 1 && n <= 4 ? n - 1 : 0];
}

std::span<const TSceneTable> SceneTables()
{
    return kScenes;
}

void BuildScene(TGameContext& game, int n)
{
    TSpriteEngine& root = game.Root();
    root.Clear();
    game.InfantryCount = 0;
    game.VehicleCount = 0;
    game.SceneNo = n;
    game.Progress.LevelWordArrived = false;

    const TSceneTable& scene = SceneTable(n);
    auto* backdrop = new TBackgroundSprite(&root);
    backdrop->SetMapSize(1, 1);
    backdrop->Image = &game.Image(scene.Backdrop);
    backdrop->SetZ(dpBackdrop);
    backdrop->Tile = true;

    for (const TSceneryRow& row : scene.Scenery)
        new TMestnost(&root, row.Image, row.X, row.Y, row.Y + game.Image(row.Image).Height());

    if (game.Progress.LevelIntro) new Word_Level_begin(&root);
}
