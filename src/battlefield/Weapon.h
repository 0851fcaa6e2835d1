// SPDX-License-Identifier: GPL-3.0-or-later
// The player: the game's crosshair, the weapon at the bottom of the screen
// with its six aiming poses and its kick, and the muzzle flash.
#pragma once

#include "ImageSprite.h"

#include <cstdint>

// One of six bands of the pointer's x: the weapon's pose and where its
// muzzle flash shows.
struct TAimingBand {
    int32_t MaxMouseX;
    int WeaponPattern;
    const char* FlashImage;
    int FlashX;
    int FlashY;
};

// The band of a pointer x (below 0 the first, past 800 the last).
const TAimingBand& AimingBand(int32_t mouseX);

// The crosshair during play: follows the pointer, clamped above the
// weapon's band.
class Pricel_prosto : public TImageSprite {
public:
    explicit Pricel_prosto(TSprite* parent);
    const char* ClassName() const override { return "Pricel_prosto"; }
    void DoMove(int moveCount) override;
};

// The weapon: aims with the pointer, kicks up 5 pixels for a single shot.
class TPlayerSprite : public TImageSprite {
public:
    explicit TPlayerSprite(TSprite* parent);
    const char* ClassName() const override { return "TPlayerSprite"; }
    void DoDraw() override;
    void DoMove(int moveCount) override;
};

// The muzzle flash of one frame with shots.
class TSplash : public TImageSprite {
public:
    explicit TSplash(TSprite* parent);
    const char* ClassName() const override { return "TSplash"; }
    void DoMove(int moveCount) override;
};
