// SPDX-License-Identifier: GPL-3.0-or-later
// Gathers the names from the catalogue and the tables.
#include "NamesUsed.h"

#include "Bonuses.h"
#include "Buttons.h"
#include "HelpScreen.h"
#include "Images.h"
#include "Scenes.h"
#include "Sounds.h"
#include "Terror.h"
#include "Weapon.h"

std::vector<std::string> PictureNamesUsed()
{
    std::vector<std::string> names = Images::Fixed();
    for (const TButton& button : ButtonTable()) {
        names.emplace_back(button.Place.Image);
        if (button.Place.CentreOn != nullptr) names.emplace_back(button.Place.CentreOn);
    }
    for (const TSceneTable& scene : SceneTables()) {
        names.emplace_back(scene.Backdrop);
        for (const TSceneryRow& row : scene.Scenery) names.emplace_back(row.Image);
    }
    for (int kind = 1; kind <= kTerrorKindCount; ++kind)
        for (std::string& name : TerrorImageNames(kind)) names.push_back(std::move(name));
    for (const char* page : HelpPageImages()) names.emplace_back(page);
    for (std::string& name : BonusImages()) names.push_back(std::move(name));
    for (int x : {0, 200, 300, 450, 600, 700}) names.emplace_back(AimingBand(x).FlashImage);
    return names;
}

std::vector<std::string> SoundNamesUsed()
{
    std::vector<std::string> names;
    for (TSound sound : AllSounds()) names.emplace_back(SoundName(sound));
    return names;
}
