// SPDX-License-Identifier: GPL-3.0-or-later
// The four battlefield scenes: a backdrop and the scenery objects that
// enemies walk behind and take cover at.
#pragma once

#include "ImageSprite.h"

#include <span>
#include <string>

// A scenery object: drawn in depth order with the enemies, by its bottom edge.
class TMestnost : public TImageSprite {
public:
    TMestnost(TSprite* parent, const std::string& imageName, int x, int y, int z);
    const char* ClassName() const override { return "TMestnost"; }
};

struct TSceneryRow {
    const char* Image;
    int X;
    int Y;
};

struct TSceneTable {
    const char* Backdrop;
    std::span<const TSceneryRow> Scenery;
};

// Scene n of 1 .. 4.
const TSceneTable& SceneTable(int n);
// All four, for the library check.
std::span<const TSceneTable> SceneTables();

class TGameContext;

// Empties the field and builds scene n of 1 .. 4: the backdrop, the
// scenery in its order and, during a level's intro, the level caption.
void BuildScene(TGameContext& game, int n);
