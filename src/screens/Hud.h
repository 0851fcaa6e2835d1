// SPDX-License-Identifier: GPL-3.0-or-later
// The in-game status display: countdown, score, level, lives, health and
// fire mode, rebuilt from sprites on every gameplay frame; and where each
// of its glyphs goes, as plain arithmetic.
#pragma once

#include "ImageSprite.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// Where a glyph goes: its image and its top-left corner.
struct THudGlyph {
    std::string Image;
    double X;
    double Y;
    bool operator==(const THudGlyph&) const = default;
};

// A HUD picture at its natural size, depth 800.
class THudSprite : public TImageSprite {
public:
    THudSprite(TSprite* parent, const std::string& imageName);
};

// The remaining lives, centred on x = 43.
class Cifra_Lifes : public THudSprite {
public:
    Cifra_Lifes(TSprite* parent, const std::string& suffix);
    const char* ClassName() const override { return "Cifra_Lifes"; }
};

// One glyph of the health readout ("Health_" + digit, or "percent").
class Cifra_Health : public THudSprite {
public:
    Cifra_Health(TSprite* parent, const std::string& suffix, double x, double y);
    // A glyph of the health layout, whose image is named whole.
    Cifra_Health(TSprite* parent, const THudGlyph& glyph);
    const char* ClassName() const override { return "Cifra_Health"; }
};

// The countdown's colon, shown on every other second.
class Cifra_prefix : public THudSprite {
public:
    explicit Cifra_prefix(TSprite* parent);
    const char* ClassName() const override { return "Cifra_prefix"; }
};

// The fire mode: single shot or burst, chosen when created.
class Patrontag : public THudSprite {
public:
    explicit Patrontag(TSprite* parent);
    const char* ClassName() const override { return "Patrontag"; }
};

// The word "level" beside the level number.
class Level : public THudSprite {
public:
    Level(TSprite* parent, double x, double y);
    const char* ClassName() const override { return "Level"; }
};

// The pattern width of an image by name.
using TWidthOf = std::function<int(const std::string&)>;

// Minutes right-aligned to x = 90, seconds from x = 110, two digits each;
// nothing for a countdown below 0.
std::vector<THudGlyph> CountdownLayout(int32_t countdown, const TWidthOf& widthOf);
// The health in per cent from x = 90 ("Health_" images), percent sign last.
std::vector<THudGlyph> HealthLayout(int32_t health, const TWidthOf& widthOf);
// "level" and the level number, 10 pixels apart, centred together on
// x = 700; the caption first.
std::vector<THudGlyph> LevelLayout(int32_t levelNo, const TWidthOf& widthOf);

class TGameContext;

// The HUD's parts, each rebuilt from the game's values.
void ShowCountdown(TGameContext& game);
void ShowLives(TGameContext& game);
void ShowHealth(TGameContext& game);
void ShowFireMode(TGameContext& game);
void ShowLevel(TGameContext& game);
