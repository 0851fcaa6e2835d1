// SPDX-License-Identifier: GPL-3.0-or-later
// The screens' pointer: a looping crosshair that follows the mouse and stays
// wholly on the surface.
#pragma once

#include "ImageSprite.h"

class Pricel : public TImageSprite {
public:
    explicit Pricel(TSprite* parent);
    void DoMove(int moveCount) override;
    const char* ClassName() const override { return "Pricel"; }
};
