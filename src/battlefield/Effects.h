// SPDX-License-Identifier: GPL-3.0-or-later
// One-shot effects: hit and kill marks, the burst of a collected bonus and
// the body of a killed soldier. The family ends together: when one of them
// completes its animation, every effect on the field goes.
#pragma once

#include "ImageSprite.h"

#include <cstdint>
#include <string>

class TIscr : public TImageSprite {
public:
    TIscr(TSprite* parent, const std::string& imageName, double x, double y, int z, double animSpeed,
          double drawScale);
    const char* ClassName() const override { return "TIscr"; }
    void DoDraw() override;
    void DoMove(int moveCount) override;

    // round(AnimPos) after the previous move.
    uint8_t LastPos = 0;
    // Divisor of the drawn size.
    double DrawScale = 1.0;
};

// The hit mark on armour, its top-left corner at the shot point.
class TPopal : public TIscr {
public:
    TPopal(TSprite* parent, int x, int y);
    const char* ClassName() const override { return "TPopal"; }
    // Its steps can jump the last half pattern that ends the family, so it
    // also ends by itself when its animation has run out.
    void DoMove(int moveCount) override;
};

// The explosion over a destroyed vehicle or the helicopter.
class TGotov : public TIscr {
public:
    TGotov(TSprite* parent, double x, double y);
    const char* ClassName() const override { return "TGotov"; }
};

// The burst of a collected bonus.
class TBonus_Dead : public TIscr {
public:
    TBonus_Dead(TSprite* parent, double x, double y, int z);
    const char* ClassName() const override { return "TBonus_Dead"; }
};

// The body of a killed soldier, at the soldier's place and size.
class TTerror_Dead : public TIscr {
public:
    TTerror_Dead(TSprite* parent, int kind, double depthScale, double x, double y, int z);
    const char* ClassName() const override { return "TTerror_Dead"; }
};
