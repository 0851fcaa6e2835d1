// SPDX-License-Identifier: GPL-3.0-or-later
// The battlefield's pictures in the built library against what the game
// does with them (scenes and scenery are in SceneArtTest.cpp): the
// enemies' sizes and what their patterns mean, the weapon's flashes on its
// muzzle, bonuses, effects, aircraft and the help pages.
#include "BattlefieldArtFixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace {

const char* const kBonuses[] = {"bomb", "med", "Life", "dollar", "Cherep", "artobstrel", "ocher"};

TEST_F(BattlefieldArt, SoldiersHaveOneSizePerKindAndStandOnTheirFootLine)
{
    for (int kind = 1; kind <= 4; ++kind) {
        const std::string k = "terror" + std::to_string(kind);
        const auto& move = Item(k + "_move");
        ExpectOneSize({k + "_move", k + "_move_back", k + "_fight", k + "_fight_back"});
        EXPECT_GE(move.Width(), 50) << k;
        EXPECT_LE(move.Width(), 70) << k;
        EXPECT_GE(move.Height(), 110) << k;
        EXPECT_LE(move.Height(), 130) << k;
        // Narrower than the walk: the game spawns them across 500 pixels.
        EXPECT_LT(move.Width(), 500) << k;

        EXPECT_GE(move.PatternCount(), 6) << k;
        EXPECT_EQ(Item(k + "_move_back").PatternCount(), move.PatternCount()) << k;
        const auto& fight = Item(k + "_fight");
        EXPECT_GE(fight.PatternCount(), 4) << k;
        EXPECT_LE(fight.PatternCount(), 8) << k;
        EXPECT_EQ(Item(k + "_fight_back").PatternCount(), fight.PatternCount()) << k;

        // Feet on the bottom row in every pattern: the sprite's depth is its foot line.
        for (const char* suffix : {"_move", "_move_back", "_fight", "_fight_back", "_dead"}) {
            const auto& item = Item(k + suffix);
            for (int p = 0; p < item.PatternCount(); ++p)
                EXPECT_EQ(LowestRow(item, p), item.Height() - 1) << k << suffix << " pattern " << p;
        }
        // Walking left is walking right in a mirror.
        EXPECT_GT(MirrorMatch(move, 0, Item(k + "_move_back"), 0), 0.9) << k;
    }
}

TEST_F(BattlefieldArt, SoldiersFireOnPatternZeroAndFallToTheGround)
{
    for (int kind = 1; kind <= 4; ++kind) {
        const std::string k = "terror" + std::to_string(kind);
        for (const char* suffix : {"_fight", "_fight_back"}) {
            const auto& fight = Item(k + suffix);
            const long flash = FlashPixels(fight, 0);
            EXPECT_GE(flash, 40) << k << suffix << ": no muzzle flash on pattern 0";
            for (int p = 1; p < fight.PatternCount(); ++p)
                EXPECT_LT(FlashPixels(fight, p) * 2, flash) << k << suffix << " pattern " << p;
        }
        // Walking, nobody fires.
        for (int p = 0; p < Item(k + "_move").PatternCount(); ++p)
            EXPECT_LT(FlashPixels(Item(k + "_move"), p), 10) << k << " pattern " << p;
    }
}

// The body is drawn with its top-left corner where the soldier's was and
// its own size: as tall as the soldier, so its feet stay on his foot line,
// and wide enough for him to lie down in.
TEST_F(BattlefieldArt, EachKindFallsItsOwnWayAndLiesOnTheGround)
{
    // The middle of the soles on the bottom row.
    auto soles = [](const TPictureCollectionItem& item, int p) {
        double sum = 0, n = 0;
        for (int x = 0; x < item.Width(); ++x)
            if (!Clear(item, PatternPixel(item, p, x, item.Height() - 1))) sum += x, n += 1;
        return n == 0 ? -1.0 : sum / n;
    };
    for (int kind = 1; kind <= 4; ++kind) {
        const std::string k = "terror" + std::to_string(kind);
        const auto& dead = Item(k + "_dead");
        const auto& fight = Item(k + "_fight");
        EXPECT_EQ(dead.Height(), fight.Height()) << k;
        EXPECT_GE(dead.Width(), fight.Width()) << k;
        EXPECT_EQ(dead.Picture.Width(), dead.Width() * dead.PatternCount()) << k;
        EXPECT_GE(dead.PatternCount(), 8) << k;
        EXPECT_LE(dead.PatternCount(), 10) << k;
        // Nothing cut by the frame: the feet stand on the bottom row, and
        // no hand, weapon or head reaches another edge.
        for (int p = 0; p < dead.PatternCount(); ++p) {
            const TBounds b = OpaqueBounds(dead, p);
            EXPECT_GT(b.Left, 0) << k << " pattern " << p;
            EXPECT_GT(b.Top, 0) << k << " pattern " << p;
            EXPECT_LT(b.Right, dead.Width() - 1) << k << " pattern " << p;
        }
        // The switch from the firing soldier does not jump: his feet stay put.
        EXPECT_NEAR(soles(dead, 0), soles(fight, 0), 3.0) << k;
        // It ends lying along the ground, far lower than the figure it
        // starts as, and stays still there.
        const int last = dead.PatternCount() - 1;
        const TBounds first = OpaqueBounds(dead, 0), lying = OpaqueBounds(dead, last);
        EXPECT_LT((lying.Bottom - lying.Top) * 2, first.Bottom - first.Top) << k;
        EXPECT_GT(lying.Right - lying.Left, 2 * (lying.Bottom - lying.Top)) << k << " does not lie along the ground";
        EXPECT_TRUE(AlikePatterns(dead, last, dead, last - 1)) << k << " still moves on the ground";
    }
    // Four kinds, four falls: halfway down no two bodies share their shape.
    for (int a = 1; a <= 4; ++a)
        for (int b = a + 1; b <= 4; ++b) {
            const auto& da = Item("terror" + std::to_string(a) + "_dead");
            const auto& db = Item("terror" + std::to_string(b) + "_dead");
            long same = 0, all = 0;
            const int w = std::min(da.Width(), db.Width()), h = std::min(da.Height(), db.Height());
            for (int y = 0; y < h; ++y)
                for (int x = 0; x < w; ++x) {
                    const bool ca = Clear(da, PatternPixel(da, 4, x, da.Height() - h + y));
                    const bool cb = Clear(db, PatternPixel(db, 4, x, db.Height() - h + y));
                    if (ca && cb) continue;
                    ++all;
                    same += ca == cb;
                }
            EXPECT_LT(same * 10, all * 7) << "kinds " << a << " and " << b << " fall alike";
        }
}

// A soldier advances 1 pixel a frame while his walk advances
// AnimRate * 0.015 * 16 patterns a frame: from one pattern to the next, a
// foot that stays on the ground must move back by the distance walked, or
// it slides. The soles on the bottom row are the feet on the ground.
TEST_F(BattlefieldArt, PlantedFeetKeepPaceWithTheGround)
{
    auto soles = [](const TPictureCollectionItem& item, int p) {
        std::vector<double> centres;
        const int y = item.Height() - 1;
        for (int x = 0; x < item.Width();) {
            if (Clear(item, PatternPixel(item, p, x, y))) {
                ++x;
                continue;
            }
            const int from = x;
            while (x < item.Width() && !Clear(item, PatternPixel(item, p, x, y))) ++x;
            if (x - from >= 4) centres.push_back((from + x - 1) / 2.0);
        }
        return centres;
    };
    // The kind table's animation rates of kinds 1 to 4.
    const double rates[] = {0.5, 1.0 / 3.0, 1.0, 1.0 / 3.0};
    for (int kind = 1; kind <= 4; ++kind) {
        const double walked = 1.0 / (rates[kind - 1] * 0.015 * 16);
        for (const auto& [suffix, direction] : {std::pair{"_move", 1}, std::pair{"_move_back", -1}}) {
            const std::string name = "terror" + std::to_string(kind) + suffix;
            const auto& walk = Item(name);
            const int n = walk.PatternCount();
            for (int p = 0; p < n; ++p) {
                const auto before = soles(walk, p), after = soles(walk, (p + 1) % n);
                double slip = 1e9;
                for (double a : before)
                    for (double b : after) slip = std::min(slip, std::abs(b - a + direction * walked));
                EXPECT_LT(slip, 2.0) << name << " pattern " << p << " to " << (p + 1) % n;
            }
        }
    }
}

// Flashes, smoke and fire stay inside their frames: nothing on the top row.
// (The helicopter's rotor is its body and may touch it.)
TEST_F(BattlefieldArt, EffectsHaveHeadRoom)
{
    std::vector<std::string> names{"popal", "gotov", "Bonus_dead"};
    for (int kind = 1; kind <= 7; ++kind)
        for (const char* suffix : {"_fight", "_fight_back"}) names.push_back("terror" + std::to_string(kind) + suffix);
    for (const auto& name : names) {
        const auto& item = Item(name);
        for (int p = 0; p < item.PatternCount(); ++p) EXPECT_GT(OpaqueBounds(item, p).Top, 0) << name << " pattern " << p;
    }
}

TEST_F(BattlefieldArt, VehiclesDriveFireAndTurnTheirGuns)
{
    struct TVehicle {
        int Kind;
        int MinW, MaxW;
        bool Turns;
        int FirePattern;
        bool OnRoad;
    };
    const TVehicle vehicles[] = {
        {5, 180, 260, true, 1, true},  // tank
        {6, 180, 260, true, 1, true},  // gun truck
        {7, 180, 260, false, 1, true}, // pickup
        {8, 180, 220, true, 0, false}, // helicopter
    };
    for (const TVehicle& v : vehicles) {
        const std::string k = "terror" + std::to_string(v.Kind);
        std::vector<std::string> names{k + "_move", k + "_move_back", k + "_fight", k + "_fight_back"};
        if (v.Turns) {
            names.push_back(k + "_razvorot");
            names.push_back(k + "_razvorot_back");
        }
        ExpectOneSize(names);
        const auto& move = Item(k + "_move");
        EXPECT_GE(move.Width(), v.MinW) << k;
        EXPECT_LE(move.Width(), v.MaxW) << k;
        EXPECT_GE(move.Height(), 90) << k;
        EXPECT_LE(move.Height(), 130) << k;
        EXPECT_GE(move.PatternCount(), 2) << k;
        // Wheels, tracks or rotors move from one pattern to the next.
        EXPECT_FALSE(SamePattern(move, 0, move, 1)) << k;
        EXPECT_GT(MirrorMatch(move, 0, Item(k + "_move_back"), 0), 0.9) << k;

        for (const char* suffix : {"_fight", "_fight_back"}) {
            const auto& fight = Item(k + suffix);
            ASSERT_GT(fight.PatternCount(), v.FirePattern) << k << suffix;
            const long flash = FlashPixels(fight, v.FirePattern);
            EXPECT_GE(flash, 150) << k << suffix << ": no flash on pattern " << v.FirePattern;
            for (int p = 0; p < fight.PatternCount(); ++p) {
                if (p != v.FirePattern) {
                    EXPECT_LT(FlashPixels(fight, p) * 2, flash) << k << suffix << " pattern " << p;
                }
            }
        }
        if (v.Turns) {
            for (const char* way : {"", "_back"}) {
                const auto& turn = Item(k + "_razvorot" + way);
                EXPECT_GE(turn.PatternCount(), 4) << k << way;
                // From the driving look to the firing look.
                EXPECT_TRUE(AlikePatterns(turn, 0, Item(k + "_move" + way), 0)) << k << way << " starts driving";
                if (v.Kind != 8) {
                    EXPECT_TRUE(AlikePatterns(turn, turn.PatternCount() - 1, Item(k + "_fight" + way), 0))
                        << k << way << " ends aiming";
                }
            }
        }
        // Ground vehicles stand on their lower edge (the depth the game gives them).
        if (v.OnRoad) {
            for (const auto& name : names)
                for (int p = 0; p < Item(name).PatternCount(); ++p)
                    EXPECT_GE(LowestRow(Item(name), p), Item(name).Height() - 2) << name << " pattern " << p;
        }
    }
}

TEST_F(BattlefieldArt, AircraftFlyBothWaysAndRocketsDiveAtFortyFiveDegrees)
{
    const auto& plane = Item("plane");
    EXPECT_EQ(plane.PatternCount(), 1);
    EXPECT_GE(plane.Width(), 100);
    EXPECT_LE(plane.Width(), 260);
    ExpectOneSize({"plane", "plane_"});
    EXPECT_GT(MirrorMatch(plane, 0, Item("plane_"), 0), 0.95);
    ExpectOneSize({"roket", "roket_"});
    // The opaque mass lies along a diagonal: top right to bottom left for the
    // rocket falling left, top left to bottom right for the one falling right.
    auto slope = [&](const TPictureCollectionItem& item) {
        double sx = 0, sy = 0, sxy = 0, n = 0;
        for (int y = 0; y < item.Height(); ++y)
            for (int x = 0; x < item.Width(); ++x)
                if (!Clear(item, PatternPixel(item, 0, x, y))) sx += x, sy += y, sxy += x * y, n += 1;
        return sxy / n - (sx / n) * (sy / n);
    };
    EXPECT_LT(slope(Item("roket")), -20);
    EXPECT_GT(slope(Item("roket_")), 20);
}

TEST_F(BattlefieldArt, EffectsAndBonusesHaveTheirSizesAndPatterns)
{
    struct TEffect {
        const char* Name;
        int MinPatterns, MaxPatterns, MinSide, MaxSide;
    };
    for (const TEffect& e : {TEffect{"popal", 12, 24, 80, 128}, TEffect{"gotov", 8, 14, 200, 300},
                             TEffect{"Bonus_dead", 6, 10, 50, 110}}) {
        const auto& item = Item(e.Name);
        EXPECT_GE(item.PatternCount(), e.MinPatterns) << e.Name;
        EXPECT_LE(item.PatternCount(), e.MaxPatterns) << e.Name;
        EXPECT_GE(std::min(item.Width(), item.Height()), e.MinSide) << e.Name;
        EXPECT_LE(std::max(item.Width(), item.Height()), e.MaxSide) << e.Name;
        for (int p = 0; p < item.PatternCount(); ++p) EXPECT_GT(OpaqueBounds(item, p).Opaque, 10) << e.Name << " " << p;
    }
    // Sparks start at the shot point, the picture's top-left corner, and
    // fly far from it.
    const auto& hit = Item("popal");
    const TBounds spark = OpaqueBounds(hit, 0);
    EXPECT_LE(spark.Left, 12);
    EXPECT_LE(spark.Top, 12);
    int reach = 0;
    for (int p = 0; p < hit.PatternCount(); ++p) reach = std::max({reach, OpaqueBounds(hit, p).Right, OpaqueBounds(hit, p).Bottom});
    EXPECT_GE(reach, 60) << "the sparks stay by the hole";
    // The mark plays 1.6 patterns a frame and ends on its own when it runs
    // off its last pattern: it must last a third of a second, and no frame
    // may land in the last half pattern, where it would clear every effect
    // on the field (the bodies too) with it.
    const int patterns = hit.PatternCount();
    EXPECT_GE(patterns / 1.6, 11.0) << "frames on screen";
    double position = 0;
    for (int frame = 0; position < patterns; ++frame) {
        position += 0.1 * 16;
        EXPECT_FALSE(position > patterns - 0.5 - 1e-6 && position < patterns + 1e-6) << "frame " << frame << " at " << position;
    }
    // The kill mark is centred on the vehicle it replaces: its first pattern
    // is a flash over the whole of the widest vehicle, and it ends thinned
    // out to a quarter of its pixels, so the effects vanish softly.
    const auto& blast = Item("gotov");
    for (const char* vehicle : {"terror5_move", "terror6_move", "terror7_move", "terror8_move"}) {
        EXPECT_GE(blast.Width(), Item(vehicle).Width()) << vehicle;
        EXPECT_GE(blast.Height(), Item(vehicle).Height() * 2) << vehicle << ": no room for the smoke";
    }
    const TBounds flash = OpaqueBounds(blast, 0);
    EXPECT_LE(flash.Left, (blast.Width() - Item("terror6_move").Width()) / 2) << "the flash leaves the vehicle's end showing";
    EXPECT_GE(flash.Right, (blast.Width() + Item("terror6_move").Width()) / 2 - 1);
    EXPECT_GT(flash.Opaque * 2, static_cast<long>(Item("terror6_move").Width()) * Item("terror6_move").Height());
    long most = 0;
    for (int p = 0; p < blast.PatternCount(); ++p) most = std::max(most, OpaqueBounds(blast, p).Opaque);
    EXPECT_LT(OpaqueBounds(blast, blast.PatternCount() - 1).Opaque * 3, most);

    for (const char* name : kBonuses) {
        const auto& item = Item(name);
        EXPECT_GE(item.Width(), 40) << name;
        EXPECT_LE(item.Width(), 50) << name;
        EXPECT_GE(item.Height(), 40) << name;
        EXPECT_LE(item.Height(), 50) << name;
        EXPECT_GE(item.PatternCount(), 6) << name;
        EXPECT_LE(item.PatternCount(), 10) << name;
        // It spins: neighbouring patterns differ, and it loops back smoothly.
        for (int p = 1; p < item.PatternCount(); ++p) EXPECT_FALSE(SamePattern(item, p, item, p - 1)) << name << " " << p;
        EXPECT_FALSE(SamePattern(item, 0, item, item.PatternCount() - 1)) << name;
    }
}

TEST_F(BattlefieldArt, WeaponPosesCarryTheirFlashesOnTheMuzzle)
{
    const auto& weapon = Item("ak47");
    ASSERT_EQ(weapon.PatternCount(), 6);
    // Where the game puts it: bottom on the screen's bottom edge when fired.
    const int left = (800 - weapon.Width()) / 2 + 60, top = 600 - weapon.Height();
    EXPECT_GE(left, 0);
    EXPECT_LE(left + weapon.Width(), 800);
    EXPECT_GE(top, 65);

    const int flashPlace[6][2] = {{222, 500}, {322, 492}, {405, 485}, {485, 486}, {558, 488}, {625, 493}};
    for (int band = 0; band < 6; ++band) {
        const auto& flash = Item("Splash_" + std::to_string(band + 1));
        EXPECT_GE(flash.PatternCount(), 1) << band;
        EXPECT_LE(flashPlace[band][0] + flash.Width(), 800) << band;
        EXPECT_LE(flashPlace[band][1] + flash.Height(), 600) << band;
        EXPECT_GE(FlashPixels(flash, 0), 60) << band;
        // The flash's middle, on the screen.
        const double cx = flashPlace[band][0] + flash.Width() / 2.0, cy = flashPlace[band][1] + flash.Height() / 2.0;

        // The pose stands on the bottom edge; its butt is where the bottom row is.
        ASSERT_EQ(LowestRow(weapon, band), weapon.Height() - 1) << band;
        double buttX = 0, count = 0;
        for (int x = 0; x < weapon.Width(); ++x)
            if (!Clear(weapon, PatternPixel(weapon, band, x, weapon.Height() - 1))) buttX += x, count += 1;
        buttX = left + buttX / count;
        const double buttY = 600;
        // The muzzle is the rifle's far end, looking from the butt towards
        // the flash: the middle of the pixels within 3 of the farthest.
        const double ux = cx - buttX, uy = cy - buttY, len = std::hypot(ux, uy);
        auto along = [&](double sx, double sy) { return ((sx - buttX) * ux + (sy - buttY) * uy) / len; };
        double best = -1e9;
        for (int y = 0; y < weapon.Height(); ++y)
            for (int x = 0; x < weapon.Width(); ++x)
                if (!Clear(weapon, PatternPixel(weapon, band, x, y)))
                    best = std::max(best, along(left + x + 0.5, top + y + 0.5));
        double tipX = 0, tipY = 0, tipCount = 0;
        for (int y = 0; y < weapon.Height(); ++y)
            for (int x = 0; x < weapon.Width(); ++x) {
                const double sx = left + x + 0.5, sy = top + y + 0.5;
                if (!Clear(weapon, PatternPixel(weapon, band, x, y)) && along(sx, sy) >= best - 3)
                    tipX += sx, tipY += sy, tipCount += 1;
            }
        tipX /= tipCount;
        tipY /= tipCount;
        EXPECT_LE(std::hypot(tipX - cx, tipY - cy), 6.0)
            << "band " << band + 1 << ": muzzle at " << tipX << ", " << tipY << ", flash centred on " << cx << ", " << cy;
    }
}

TEST_F(BattlefieldArt, HelpPagesSitOnThePlainBoard)
{
    const auto& frame = Item("fon_help");
    const int frameLeft = 393 - frame.Width() / 2, frameTop = 277 - frame.Height() / 2;
    const uint32_t board = frame.Picture.Graphic.Pixel(391 - frameLeft, 279 - frameTop) & 0xFFFFFF;
    for (int page = 1; page <= 4; ++page) {
        const auto& item = Item("help" + std::to_string(page));
        const int cx = page == 2 ? 402 : 391, cy = 279;
        EXPECT_EQ(item.PatternCount(), 1) << page;
        // Centred by the size-0 sprite rule, inside x 70-712 and y 113-445.
        const int left = cx + (0 - item.Width()) / 2, top = cy + (0 - item.Height()) / 2;
        EXPECT_GE(left, 70) << page;
        EXPECT_LE(left + item.Width() - 1, 712) << page;
        EXPECT_GE(top, 113) << page;
        EXPECT_LE(top + item.Height() - 1, 445) << page;
        // Opaque pages must be the board's own colour at their edges, or
        // they would show as a rectangle.
        if (!item.Transparent) {
            for (const auto& [x, y] : {std::pair{0, 0}, std::pair{item.Width() - 1, 0}, std::pair{0, item.Height() - 1},
                                       std::pair{item.Width() - 1, item.Height() - 1}})
                EXPECT_EQ(item.Picture.Graphic.Pixel(x, y) & 0xFFFFFF, board) << page << " at " << x << ", " << y;
        }
        // Something to read: plenty of pixels that are not the board.
        long ink = 0;
        for (int y = 0; y < item.Height(); ++y)
            for (int x = 0; x < item.Width(); ++x) {
                const uint32_t p = item.Picture.Graphic.Pixel(x, y);
                ink += !Clear(item, p) && (p & 0xFFFFFF) != board;
            }
        EXPECT_GT(ink, static_cast<long>(item.Width()) * item.Height() / 20) << page;
    }
}

} // namespace
