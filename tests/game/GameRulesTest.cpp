// SPDX-License-Identifier: GPL-3.0-or-later
// The game's arithmetic without a form: sprite-text layout, HUD places,
// difficulty and level values, spawn places, aiming bands, the player's
// lives, and the random generator.
#include "Hud.h"
#include "LevelRules.h"
#include "RandomGenerator.h"
#include "SpriteText.h"
#include "Terror.h"
#include "Weapon.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <map>

namespace {

// Widths as the shipped glyphs have them, and deliberately unequal digits
// so that a layout using the wrong digit's width shows.
int Width(const std::string& name)
{
    static const std::map<std::string, int> widths = {
        {"cifra0", 24}, {"cifra1", 14}, {"cifra2", 22}, {"cifra9", 23}, {"level", 74},
        {"Health_0", 30}, {"Health_1", 17}, {"Health_5", 28}, {"Health_7", 26}, {"Health_9", 29},
    };
    const auto it = widths.find(name);
    return it != widths.end() ? it->second : 20;
}

} // namespace

TEST(SpriteText, SplitDigits)
{
    EXPECT_EQ(SplitDigits(0), (std::vector<int32_t>{0}));
    EXPECT_EQ(SplitDigits(7), (std::vector<int32_t>{7}));
    EXPECT_EQ(SplitDigits(10), (std::vector<int32_t>{1, 0}));
    EXPECT_EQ(SplitDigits(1005), (std::vector<int32_t>{1, 0, 0, 5}));
    EXPECT_EQ(SplitDigits(1000000000), (std::vector<int32_t>{1, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(SplitDigits(2147483647), (std::vector<int32_t>{2, 1, 4, 7, 4, 8, 3, 6, 4, 7}));
}

TEST(SpriteText, GlyphsAdvanceByTheirScaledWidths)
{
    // 1005 at scale 1.5: X, X + W1/s, X + (W1 + W0)/s, X + (W1 + 2 W0)/s.
    const std::vector<double> x = GlyphPositions(545, {30, 24, 24, 20}, 1.5);
    ASSERT_EQ(x.size(), 4u);
    EXPECT_DOUBLE_EQ(x[0], 545);
    EXPECT_DOUBLE_EQ(x[1], 545 + 30 / 1.5);
    EXPECT_DOUBLE_EQ(x[2], 545 + 54 / 1.5);
    EXPECT_DOUBLE_EQ(x[3], 545 + 78 / 1.5);
}

TEST(SpriteText, EdgesRoundHalfToEven)
{
    EXPECT_EQ(RoundToInt(10.5), 10);
    EXPECT_EQ(RoundToInt(11.5), 12);
    EXPECT_EQ(RoundToInt(-0.5), 0);
    EXPECT_EQ(RoundToInt(30 / 1.5), 20);
    EXPECT_EQ(RoundToInt(45 / 1.5), 30);
}

TEST(Hud, Countdown)
{
    struct TCase {
        int32_t Countdown;
        std::vector<THudGlyph> Glyphs;
    };
    const TCase cases[] = {
        {29, {{"cifra0", 90 - 24 - 24, 8}, {"cifra0", 90 - 24, 8}, {"cifra2", 110, 8}, {"cifra9", 110 + 22, 8}}},
        {600, {{"cifra1", 90 - 14 - 24, 8}, {"cifra0", 90 - 24, 8}, {"cifra0", 110, 8}, {"cifra0", 134, 8}}},
        {0, {{"cifra0", 42, 8}, {"cifra0", 66, 8}, {"cifra0", 110, 8}, {"cifra0", 134, 8}}},
        {-1, {}},
        // From 100 minutes on the minutes grow to the left.
        {6000, {{"cifra1", 90 - 14 - 48, 8}, {"cifra0", 90 - 48, 8}, {"cifra0", 66, 8}, {"cifra0", 110, 8},
                {"cifra0", 134, 8}}},
    };
    for (const TCase& c : cases) EXPECT_EQ(CountdownLayout(c.Countdown, Width), c.Glyphs) << c.Countdown;
}

TEST(Hud, Health)
{
    struct TCase {
        int32_t Health;
        std::vector<THudGlyph> Glyphs;
    };
    const TCase cases[] = {
        {100, {{"Health_1", 90, 550}, {"Health_0", 107, 550}, {"Health_0", 137, 550}, {"Health_percent", 167, 550}}},
        {95, {{"Health_9", 90, 550}, {"Health_5", 119, 550}, {"Health_percent", 147, 550}}},
        {7, {{"Health_7", 90, 550}, {"Health_percent", 116, 550}}},
        {10, {{"Health_1", 90, 550}, {"Health_0", 107, 550}, {"Health_percent", 137, 550}}},
        // Out of the game's range it still shows digits that exist.
        {150, {{"Health_1", 90, 550}, {"Health_5", 107, 550}, {"Health_0", 135, 550}, {"Health_percent", 165, 550}}},
    };
    for (const TCase& c : cases) EXPECT_EQ(HealthLayout(c.Health, Width), c.Glyphs) << c.Health;
}

TEST(Hud, LevelIsCentredOn700WithTheDigitsRaised)
{
    // "level" 74 + 10 + digits 14 + 22 = 120, so it starts at 640.
    const std::vector<THudGlyph> glyphs = LevelLayout(12, Width);
    EXPECT_EQ(glyphs, (std::vector<THudGlyph>{{"level", 640, 12}, {"cifra1", 724, 6}, {"cifra2", 738, 6}}));
    // An odd total leaves half a pixel.
    EXPECT_DOUBLE_EQ(LevelLayout(1, Width)[0].X, 700 - 98 / 2.0);
}

TEST(Hud, SpokenLevelNumbers)
{
    EXPECT_STREQ(SoundName(LevelNumberSound(1).value()), "one");
    EXPECT_STREQ(SoundName(LevelNumberSound(10).value()), "ten");
    EXPECT_FALSE(LevelNumberSound(11));
    EXPECT_FALSE(LevelNumberSound(0));
}

TEST(Levels, ValuesOfTheFirstTenLevels)
{
    struct TCase {
        int32_t Level;
        int32_t Countdown;
        int32_t InfantryLimit;
        int32_t VehicleLimit;
        double SpawnChance;
    };
    const TCase cases[] = {
        {2, 59, 7, 2, 2.462117}, {3, 89, 7, 2, 2.905148}, {4, 119, 8, 2, 2.986614},
        {5, 149, 8, 2, 2.998178}, {6, 179, 8, 2, 2.999753}, {7, 209, 8, 2, 2.999967},
        {8, 239, 9, 3, 2.9999955}, {9, 269, 9, 3, 2.999999}, {10, 299, 9, 3, 3.0},
    };
    for (const TCase& c : cases) {
        const TLevelValues v = LevelValues(c.Level);
        EXPECT_EQ(v.LevelCountdown, c.Countdown) << c.Level;
        EXPECT_EQ(v.InfantryLimit, c.InfantryLimit) << c.Level;
        EXPECT_EQ(v.VehicleLimit, c.VehicleLimit) << c.Level;
        EXPECT_NEAR(v.SpawnChance, c.SpawnChance, 5e-7) << c.Level;
        EXPECT_LE(v.SpawnChance, 3.0) << c.Level;
    }
    // Level 2's chance, exactly as the extended curve rounds it to a double.
    EXPECT_EQ(LevelValues(2).SpawnChance, 2.4621171572600096);
}

TEST(Levels, CurveInExtendedPrecisionReachesTheLimitLater)
{
    // In double precision tanh reaches 1 near 19.06, where the infantry
    // limit would jump to 10; the extended curve stays below it longer.
    EXPECT_EQ(LevelValues(190).InfantryLimit, 9);
    EXPECT_EQ(LevelValues(240).InfantryLimit, 10);
    EXPECT_DOUBLE_EQ(static_cast<double>(DifficultyCurve(1, 1, 0.5L, 1)), std::tanh(0.5));
}

TEST(Levels, InfantryPlaces)
{
    // yr below 56 is the far band, drawn at two thirds.
    const TInfantryPlace far = InfantryPlace(0, 55, 116);
    EXPECT_DOUBLE_EQ(far.DepthScale, 1.5);
    EXPECT_EQ(far.Foot, 465);
    EXPECT_DOUBLE_EQ(far.X, 190);
    EXPECT_DOUBLE_EQ(far.Y, 465 - 77);
    const TInfantryPlace near = InfantryPlace(429, 56, 116);
    EXPECT_DOUBLE_EQ(near.DepthScale, 1.0);
    EXPECT_EQ(near.Foot, 466);
    EXPECT_DOUBLE_EQ(near.X, 619);
    EXPECT_DOUBLE_EQ(near.Y, 350);
    // round(118 / 1.5) = round(78.67) = 79.
    EXPECT_DOUBLE_EQ(InfantryPlace(0, 0, 118).Y, 410 - 79);
}

TEST(Weapon, AimingBands)
{
    struct TCase {
        int32_t MouseX;
        int Pattern;
        const char* Flash;
        int FlashX;
        int FlashY;
    };
    const TCase cases[] = {
        {-5, 0, "Splash_1", 222, 500},  {133, 0, "Splash_1", 222, 500}, {134, 1, "Splash_2", 322, 492},
        {266, 1, "Splash_2", 322, 492}, {267, 2, "Splash_3", 405, 485}, {399, 2, "Splash_3", 405, 485},
        {400, 3, "Splash_4", 485, 486}, {533, 3, "Splash_4", 485, 486}, {534, 4, "Splash_5", 558, 488},
        {666, 4, "Splash_5", 558, 488}, {667, 5, "Splash_6", 625, 493}, {900, 5, "Splash_6", 625, 493},
    };
    for (const TCase& c : cases) {
        const TAimingBand& band = AimingBand(c.MouseX);
        EXPECT_EQ(band.WeaponPattern, c.Pattern) << c.MouseX;
        EXPECT_STREQ(band.FlashImage, c.Flash) << c.MouseX;
        EXPECT_EQ(band.FlashX, c.FlashX) << c.MouseX;
        EXPECT_EQ(band.FlashY, c.FlashY) << c.MouseX;
    }
}

TEST(Terror, PlayerLosesALifePerHundredHealth)
{
    struct TCase {
        int32_t Health, Lives;
        TPlayerCheck After;
    };
    const TCase cases[] = {
        {5, 3, {5, 3, false, false}},
        {0, 3, {100, 2, true, false}},
        {-7, 2, {93, 1, true, false}},
        // The last life ends the game although the health was refilled.
        {-3, 1, {97, 0, true, true}},
        {50, 0, {50, 0, false, true}},
    };
    for (const TCase& c : cases) {
        const TPlayerCheck after = CheckPlayerRule(c.Health, c.Lives);
        EXPECT_EQ(after.Health, c.After.Health) << c.Health << "/" << c.Lives;
        EXPECT_EQ(after.Lives, c.After.Lives) << c.Health << "/" << c.Lives;
        EXPECT_EQ(after.PlayerHit, c.After.PlayerHit) << c.Health << "/" << c.Lives;
        EXPECT_EQ(after.GameOver, c.After.GameOver) << c.Health << "/" << c.Lives;
    }
}

TEST(Terror, KindTable)
{
    // Soldiers are kinds 1 .. 4; every vehicle has an engine loop to stop.
    for (int kind = 1; kind <= kTerrorKindCount; ++kind) {
        EXPECT_EQ(TerrorKind(kind).Infantry, kind <= 4) << kind;
        EXPECT_EQ(TerrorKind(kind).EngineSound.has_value(), kind > 4) << kind;
    }
    // The two trucks share one loop; nothing else shares.
    EXPECT_TRUE(SameEngine(6, 7));
    EXPECT_FALSE(SameEngine(5, 6));
    EXPECT_FALSE(SameEngine(1, 2));
    EXPECT_TRUE(SameEngine(3, 3));
    // The light truck stops to fire without turning.
    EXPECT_FALSE(TerrorKind(7).TurnsToFire);
    EXPECT_TRUE(TerrorKind(5).TurnsToFire);
    EXPECT_DOUBLE_EQ(TerrorKinds[2].AnimRate * 0.015 * 16, 0.08);
    EXPECT_EQ(TerrorImageName(3, "_move"), "terror3_move");
}

TEST(RandomGenerator, SameSeedSameSequenceAndEvenDraws)
{
    TRandomGenerator a, b;
    a.Seed(1234);
    b.Seed(1234);
    for (int i = 0; i < 100; ++i) ASSERT_EQ(a.RandInt(1000), b.RandInt(1000));
    b.Seed(1235);
    int same = 0;
    for (int i = 0; i < 100; ++i) same += a.RandInt(1000) == b.RandInt(1000);
    EXPECT_LT(same, 5);

    // Each of 7 values within 5 % of its share over 70 000 draws, never outside the range.
    std::array<int, 7> counts{};
    for (int i = 0; i < 70000; ++i) {
        const int32_t v = a.RandInt(7);
        ASSERT_GE(v, 0);
        ASSERT_LT(v, 7);
        ++counts[static_cast<size_t>(v)];
    }
    for (int count : counts) EXPECT_NEAR(count, 10000, 500);
    EXPECT_EQ(a.RandInt(1), 0);
    EXPECT_EQ(a.RandInt(0), 0);
}
