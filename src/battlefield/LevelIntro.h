// SPDX-License-Identifier: GPL-3.0-or-later
// The captions that open every level: "Level" sliding in, then "Fight".
#pragma once

#include "ImageSprite.h"

// The intro captions, removed together when the intro ends.
class TBegin : public TImageSprite {
public:
    explicit TBegin(TSprite* parent) : TImageSprite(parent) {}
    const char* ClassName() const override { return "TBegin"; }
};

// Slides in from the left, 30 pixels a frame, and calls the level number
// when it arrives.
class Word_Level_begin : public TBegin {
public:
    explicit Word_Level_begin(TSprite* parent);
    void DoMove(int moveCount) override;
    const char* ClassName() const override { return "Word_Level_begin"; }
};

// Plays once and, on its last pattern, starts the end of the intro.
class TFight : public TBegin {
public:
    explicit TFight(TSprite* parent);
    void DoMove(int moveCount) override;
    const char* ClassName() const override { return "TFight"; }
    // The rounded animation position of the previous move.
    int LastPos = 0;
};
