// SPDX-License-Identifier: GPL-3.0-or-later
// The artillery strike: a friendly plane crosses the sky and drops one
// rocket, which destroys every vehicle and the helicopter when it has
// fallen far enough.
#pragma once

#include "ImageSprite.h"

class Plane : public TImageSprite {
public:
    // y is the flight height.
    Plane(TSprite* parent, double y);
    const char* ClassName() const override { return "Plane"; }
    void DoMove(int moveCount) override;

    bool FlyingRight = false;
    bool RocketDropped = false;
};

class Roket_ : public TImageSprite {
public:
    Roket_(TSprite* parent, double x, double y, bool flyingRight);
    const char* ClassName() const override { return "Roket_"; }
    void DoMove(int moveCount) override;

    bool FlyingRight = false;
};
