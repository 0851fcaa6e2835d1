// SPDX-License-Identifier: GPL-3.0-or-later
// Sprite text: the glyph classes and the layouts of numbers and words.
#include "SpriteText.h"

#include "Depths.h"
#include "GameContext.h"
#include "Images.h"
#include "PictureCollection.h"
#include "SpriteEngine.h"

#include <cmath>

TGlyph::TGlyph(TSprite* parent, const std::string& imageName, double scale, double x, double y)
    : TImageSprite(parent)
{
    TakeImage(Game().Image(imageName));
    Scale = scale;
    X = x;
    Y = y;
    SetZ(dpCaption);
}

void TGlyph::DoDraw()
{
    if (Engine() == nullptr || Engine()->Surface() == nullptr) return;
    const int left = RoundToInt(X), top = RoundToInt(Y);
    const TRect rect{left, top, left + RoundToInt(Width / Scale), top + RoundToInt(Height / Scale)};
    Image->StretchDraw(*Engine()->Surface(), rect, PatternIndex());
}

Cifra::Cifra(TSprite* parent, const std::string& name, double scale, double x, double y)
    : TGlyph(parent, name, scale, x, y)
{
}

Bukva::Bukva(TSprite* parent, const std::string& text, double scale, double x, double y)
    : TGlyph(parent, Images::LetterPrefix + text, scale, x, y)
{
}

std::vector<int32_t> SplitDigits(int32_t value)
{
    // Place values as doubles rounded for each division, which is exact for
    // every 32-bit value.
    int n = 1;
    double p = 10.0;
    while (value / static_cast<int64_t>(std::nearbyint(p)) != 0) {
        ++n;
        p *= 10;
    }
    p /= 10;
    std::vector<int32_t> digits(static_cast<size_t>(n));
    int64_t rest = value;
    for (int i = 0; i < n; ++i) {
        const int64_t place = static_cast<int64_t>(std::nearbyint(p));
        digits[static_cast<size_t>(i)] = static_cast<int32_t>(rest / place);
        rest -= place * digits[static_cast<size_t>(i)];
        p /= 10;
    }
    return digits;
}

std::vector<double> GlyphPositions(double x, const std::vector<int>& widths, double scale)
{
    std::vector<double> positions;
    positions.reserve(widths.size());
    for (int width : widths) {
        positions.push_back(x);
        x += width / scale;
    }
    return positions;
}

namespace {

// A glyph's image, or nullptr for a character the font does not have (a
// damaged settings file can hold any byte, a table any score): such a
// character is left out rather than stopping the game.
const TPictureCollectionItem* Glyph(TGameContext& game, const std::string& name)
{
    return game.FindImage(name);
}

} // namespace

void DrawNumber(TGameContext& game, int32_t value, int32_t x, int32_t y, const std::string& prefix, double scale)
{
    // No glyph shows a minus sign: a negative score (only a damaged file
    // holds one) is left blank rather than shown as another number.
    if (value < 0) return;
    double pen = x;
    for (int32_t d : SplitDigits(value)) {
        const std::string name = Images::Digit(prefix.c_str(), d);
        const TPictureCollectionItem* glyph = Glyph(game, name);
        if (glyph == nullptr) continue;
        new Cifra(&game.Root(), name, scale, pen, y);
        pen += glyph->Width() / scale;
    }
}

void DrawScoreCentred(TGameContext& game, int32_t centreX, int32_t y, const std::string& prefix)
{
    std::vector<std::pair<std::string, int>> glyphs;
    int total = 0;
    for (int32_t d : SplitDigits(game.Score)) {
        const std::string name = Images::Digit(prefix.c_str(), d);
        if (const TPictureCollectionItem* glyph = Glyph(game, name)) {
            glyphs.emplace_back(name, glyph->Width());
            total += glyph->Width();
        }
    }
    double pen = centreX - total / 2.0;
    for (const auto& [name, width] : glyphs) {
        new Cifra(&game.Root(), name, 1.0, pen, y);
        pen += width;
    }
}

void DrawWord(TGameContext& game, const std::string& text, double x, double y, double scale)
{
    double pen = x;
    for (char c : text) {
        const std::string letter(1, c);
        const TPictureCollectionItem* glyph = Glyph(game, Images::LetterPrefix + letter);
        if (glyph == nullptr) continue;
        new Bukva(&game.Root(), letter, scale, pen, y);
        pen += glyph->Width() / scale;
    }
    // The cursor's height offset uses the unscaled letter whatever the scale.
    if (game.GamegoEdit) new Bukva(&game.Root(), Images::Cursor, scale, pen, y + game.Image(Images::CursorBasis).Height() - 10);
}
