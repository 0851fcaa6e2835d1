// SPDX-License-Identifier: GPL-3.0-or-later
// The name-entry panel of the game-over screen: the score in large digits,
// the typed name with its cursor, and the tick that marks the score for
// sending.
#pragma once

#include "ImageSprite.h"

class TGameContext;

// Opens itself: created, it runs the opening sequence.
class TEnter_Name : public TImageSprite {
public:
    explicit TEnter_Name(TSprite* parent);
    const char* ClassName() const override { return "TEnter_Name"; }
};

// Opens or closes the panel's contents (the form's GameEnterNameClick).
void EnterNameClick(TGameContext& game);
// Ticks or clears the send box (the form's GameSendResultClick).
void SendResultClick(TGameContext& game);
