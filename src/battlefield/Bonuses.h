// SPDX-License-Identifier: GPL-3.0-or-later
// Bonuses: dropped by killed enemies, they float up and spin slowly, and
// are collected by shooting them; one rising into the HUD band is lost.
#pragma once

#include "ImageSprite.h"

#include <string>
#include <vector>

class TGameContext;

class TBonus : public TImageSprite {
public:
    TBonus(TSprite* parent, const std::string& imageName, double x, double y, int z);
    const char* ClassName() const override { return "TBonus"; }
    void DoMove(int moveCount) override;
    // What collecting it does to the game (its sound included).
    virtual void Collect(TGameContext& game) = 0;
};

#define ZARVENOK_BONUS_CLASS(Name)                                                                           \
    class Name : public TBonus {                                                                             \
    public:                                                                                                  \
        Name(TSprite* parent, double x, double y, int z);                                                    \
        const char* ClassName() const override { return #Name; }                                             \
        void Collect(TGameContext& game) override;                                                              \
    }

// Kills every soldier on the field, with score.
ZARVENOK_BONUS_CLASS(Bomb);
// +50 health; what goes over 100 becomes a life while lives are below 3.
ZARVENOK_BONUS_CLASS(Med);
// A life, or full health at 3 lives.
ZARVENOK_BONUS_CLASS(Life);
// +100 score.
ZARVENOK_BONUS_CLASS(Dollar);
// A trap: -50 health, or a life.
ZARVENOK_BONUS_CLASS(Cherep);
// Calls in the plane and its rocket.
ZARVENOK_BONUS_CLASS(Artobstrel);
// Burst fire for 10 seconds.
ZARVENOK_BONUS_CLASS(Ocher);

#undef ZARVENOK_BONUS_CLASS

// How many kinds of bonus a kill can drop.
int BonusKindCount();
// The bonus a kill drops for a draw k of 0 .. BonusKindCount() - 1, centred
// on (centreX, centreY) at depth z.
TBonus* DropBonus(TSprite* parent, int k, double centreX, double centreY, int z);
// The bonuses' pictures, for the library check.
std::vector<std::string> BonusImages();
