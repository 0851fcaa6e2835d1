// SPDX-License-Identifier: GPL-3.0-or-later
// Numbers and words drawn as rows of digit (Cifra) and letter (Bukva)
// sprites, and the arithmetic of their layout.
#pragma once

#include "ImageSprite.h"

#include <cstdint>
#include <string>
#include <vector>

// A glyph: one pattern of its image, drawn stretched by 1 / Scale. It never
// moves; layouts create glyphs anew instead.
class TGlyph : public TImageSprite {
public:
    TGlyph(TSprite* parent, const std::string& imageName, double scale, double x, double y);
    double Scale = 1.0;
    void DoDraw() override;
};

class Cifra : public TGlyph {
public:
    // name is the whole image name ("cifra7", "Health_0").
    Cifra(TSprite* parent, const std::string& name, double scale, double x, double y);
    const char* ClassName() const override { return "Cifra"; }
};

class Bukva : public TGlyph {
public:
    // text is one character, or "prefix" for the typing cursor.
    Bukva(TSprite* parent, const std::string& text, double scale, double x, double y);
    const char* ClassName() const override { return "Bukva"; }
};

// The decimal digits of value, most significant first (0 gives {0}).
std::vector<int32_t> SplitDigits(int32_t value);

// Left edges of glyphs laid out from x, each advancing by its width / scale.
std::vector<double> GlyphPositions(double x, const std::vector<int>& widths, double scale);

class TGameContext;

// The value's digits from (x, y) with the glyph family prefix ("cifra",
// "Health_"), each drawn at 1 / scale; nothing for a negative value.
void DrawNumber(TGameContext& game, int32_t value, int32_t x, int32_t y, const std::string& prefix, double scale);
// The score's digits centred on centreX.
void DrawScoreCentred(TGameContext& game, int32_t centreX, int32_t y, const std::string& prefix);
// The text's letters from (x, y), with the typing cursor after them while
// typing is on; characters without a glyph are left out.
void DrawWord(TGameContext& game, const std::string& text, double x, double y, double scale);
