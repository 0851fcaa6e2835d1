// SPDX-License-Identifier: GPL-3.0-or-later
// The HUD's sprites and layouts, and the level number of the level intro.
#include "Hud.h"

#include "Depths.h"
#include "GameContext.h"
#include "Images.h"
#include "PictureCollection.h"
#include "SpriteText.h"
#include "SpriteWalks.h"

THudSprite::THudSprite(TSprite* parent, const std::string& imageName) : TImageSprite(parent)
{
    TakeImage(Game().Image(imageName));
    SetZ(dpCaption);
}

Cifra_Lifes::Cifra_Lifes(TSprite* parent, const std::string& suffix) : THudSprite(parent, Images::LivesDigit + suffix)
{
    X = 43 - Width / 2.0;
    Y = 538;
}

Cifra_Health::Cifra_Health(TSprite* parent, const std::string& suffix, double x, double y)
    : Cifra_Health(parent, THudGlyph{Images::LargeDigit + suffix, x, y})
{
}

Cifra_Health::Cifra_Health(TSprite* parent, const THudGlyph& glyph) : THudSprite(parent, glyph.Image)
{
    X = glyph.X;
    Y = glyph.Y;
}

Cifra_prefix::Cifra_prefix(TSprite* parent) : THudSprite(parent, Images::CountdownColon)
{
    X = 100 - Width / 2.0;
    Y = 3;
}

Patrontag::Patrontag(TSprite* parent) : THudSprite(parent, Game().Fire.SingleFire ? Images::SingleFire : Images::BurstFire)
{
    X = 735;
    Y = 543;
}

Level::Level(TSprite* parent, double x, double y) : THudSprite(parent, Images::LevelWord)
{
    X = x;
    Y = y;
}

std::vector<THudGlyph> CountdownLayout(int32_t countdown, const TWidthOf& widthOf)
{
    if (countdown < 0) return {};
    const int32_t m = countdown / 60, s = countdown % 60;
    const auto w = [&](int32_t d) { return widthOf(Images::Digit(Images::CountdownDigit, d)); };
    // Minutes right-aligned to x = 90 with at least two digits (from 100
    // minutes on the field simply grows to the left); seconds from x = 110.
    std::vector<int32_t> minutes = SplitDigits(m);
    if (minutes.size() < 2) minutes.insert(minutes.begin(), 0);
    double right = 90;
    std::vector<THudGlyph> glyphs(minutes.size());
    for (size_t i = minutes.size(); i-- > 0;) {
        right -= w(minutes[i]);
        glyphs[i] = {Images::Digit(Images::CountdownDigit, minutes[i]), right, 8};
    }
    glyphs.push_back({Images::Digit(Images::CountdownDigit, s / 10), 110.0, 8});
    glyphs.push_back({Images::Digit(Images::CountdownDigit, s % 10), 110.0 + w(s / 10), 8});
    return glyphs;
}

std::vector<THudGlyph> HealthLayout(int32_t health, const TWidthOf& widthOf)
{
    std::vector<THudGlyph> glyphs;
    int w = 0;
    const auto add = [&](int32_t digit) {
        glyphs.push_back({Images::Digit(Images::LargeDigit, digit), 90.0 + w, 550});
        w += widthOf(Images::Digit(Images::LargeDigit, digit));
    };
    // Health stays within 1 .. 100 in play; anything else still shows its
    // digits rather than asking for a glyph that does not exist.
    const int32_t value = health < 0 ? -(health % 100) : health;
    if (value % 100 == 0) {
        add(1);
        add(0);
        add(0);
    } else {
        const int32_t tens = value / 10, ones = value % 10;
        if (tens != 0)
            for (int32_t d : SplitDigits(tens)) add(d);
        add(ones);
    }
    glyphs.push_back({Images::HealthPercent, 90.0 + w, 550});
    return glyphs;
}

std::vector<THudGlyph> LevelLayout(int32_t levelNo, const TWidthOf& widthOf)
{
    const std::vector<int32_t> digits = SplitDigits(levelNo);
    int total = widthOf(Images::LevelWord) + 10;
    for (int32_t d : digits) total += widthOf(Images::Digit(Images::CountdownDigit, d));
    double x = 700 - total / 2.0;
    std::vector<THudGlyph> glyphs{{Images::LevelWord, x, 12}};
    x += widthOf(Images::LevelWord) + 10;
    for (int32_t d : digits) {
        glyphs.push_back({Images::Digit(Images::CountdownDigit, d), x, 6});
        x += widthOf(Images::Digit(Images::CountdownDigit, d));
    }
    return glyphs;
}

namespace {

TWidthOf LibraryWidths(TGameContext& game)
{
    return [&game](const std::string& name) { return game.Image(name).Width(); };
}

} // namespace

void ShowCountdown(TGameContext& game)
{
    // Also takes the level and score digits of the last frame, which the
    // level and score layouts rely on.
    TSpriteEngine& root = game.Root();
    KillAll<Cifra>(root);
    for (const THudGlyph& g : CountdownLayout(game.Progress.LevelCountdown, LibraryWidths(game)))
        new Cifra(&root, g.Image, 1.0, g.X, g.Y);
}

void ShowLives(TGameContext& game)
{
    KillAll<Cifra_Lifes>(game.Root());
    if (game.Lives >= 1 && game.Lives <= 3) new Cifra_Lifes(&game.Root(), std::to_string(game.Lives));
}

void ShowHealth(TGameContext& game)
{
    KillAll<Cifra_Health>(game.Root());
    for (const THudGlyph& g : HealthLayout(game.Health, LibraryWidths(game))) new Cifra_Health(&game.Root(), g);
}

void ShowFireMode(TGameContext& game)
{
    KillAll<Patrontag>(game.Root());
    new Patrontag(&game.Root());
}

void ShowLevel(TGameContext& game)
{
    TSpriteEngine& root = game.Root();
    KillAll<Level>(root);
    const std::vector<THudGlyph> glyphs = LevelLayout(game.LevelNo, LibraryWidths(game));
    new Level(&root, glyphs[0].X, glyphs[0].Y);
    for (size_t i = 1; i < glyphs.size(); ++i) new Cifra(&root, glyphs[i].Image, 1.0, glyphs[i].X, glyphs[i].Y);
}
