// SPDX-License-Identifier: GPL-3.0-or-later
// The two sprite classes of buttons and panels: highlights (TMenuGame),
// which live until the pointer moves again, and persistent indicators and
// panels (TMenu). Every button and panel of every screen derives from one.
#pragma once

#include "ImageSprite.h"

// Where a button or panel sprite stands.
struct TMenuPlace {
    const char* Image;
    int X;
    int Y;
    int Z;
    // Centred on the display, with the pattern size of this image (the
    // sprite's own image when null).
    bool Centred = false;
    const char* CentreOn = nullptr;
};

class TMenuGame : public TImageSprite {
public:
    TMenuGame(TSprite* parent, const TMenuPlace& place);
    const char* ClassName() const override { return "TMenuGame"; }
};

class TMenu : public TImageSprite {
public:
    TMenu(TSprite* parent, const TMenuPlace& place);
    const char* ClassName() const override { return "TMenu"; }
};

// Sets image, size, position and depth as every button and panel does.
void PlaceMenuSprite(TImageSprite& sprite, const TMenuPlace& place);
