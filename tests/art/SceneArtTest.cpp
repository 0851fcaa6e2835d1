// SPDX-License-Identifier: GPL-3.0-or-later
// The battlefield's scenes and scenery in the built library: opaque
// backdrops with their own ground and smooth skies, scenery standing on the
// ground at its depth, and wrecks that read as dead.
#include "BattlefieldArtFixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace {

struct TScenery {
    const char* Name;
    int X, Y;
};

// The scenes' objects at the places the game creates them.
const TScenery kScenery[] = {
    {"Scene1_stone", 230, 421},    {"Scene1_bochka", 602, 394},  {"Scene1_kolodez", 490, 437},
    {"Scene1_tank", 357, 318},     {"Scene1_house1", 0, 297},    {"Scene1_house2", 689, 302},
    {"Scene1_palma", 29, 175},     {"Scene2_palma", 505, 103},   {"Scene2_plane", 1, 267},
    {"Scene2_kolodez", 410, 457},  {"Scene2_vert", 323, 286},    {"Scene2_house1", 638, 313},
    {"Scene2_house2", 0, 155},     {"Scene3_palma", 356, 176},   {"Scene3_gruzovic", 0, 298},
    {"Scene3_kolodez", 0, 437},    {"Scene3_bochka", 493, 418},  {"Scene3_bochki", 594, 409},
    {"Scene3_trava", 275, 412},    {"Scene3_house1", 569, 142},  {"Scene4_palma1", 568, 113},
    {"Scene4_tarelka", 0, 259},    {"Scene4_bochka1", 81, 401},  {"Scene4_bochka2", 331, 383},
    {"Scene4_bochka3", 471, 370},  {"Scene4_pushka1", 627, 398}, {"Scene4_pushka2", 590, 304},
    {"Scene4_trava1", 0, 357},     {"Scene4_trava2", 583, 390},
};

TEST_F(BattlefieldArt, ScenesAreOpaqueBackdropsWithSkyAboveAndGroundBelow)
{
    // The helicopter's average colour, outline and all.
    const auto& heli = Item("terror8_move");
    long hr = 0, hg = 0, hb = 0, hn = 0;
    for (int y = 0; y < heli.Height(); ++y)
        for (int x = 0; x < heli.Width(); ++x) {
            const uint32_t px = PatternPixel(heli, 0, x, y);
            if (Clear(heli, px)) continue;
            const TRgb c = Rgb(px);
            hr += c.R, hg += c.G, hb += c.B, ++hn;
        }
    ASSERT_GT(hn, 0);
    const TRgb helicopter{static_cast<int>(hr / hn), static_cast<int>(hg / hn), static_cast<int>(hb / hn)};
    std::vector<TRgb> skies;
    for (int n = 1; n <= 4; ++n) {
        const auto& item = Item("Scene" + std::to_string(n));
        EXPECT_EQ(item.Picture.Width(), 800) << n;
        EXPECT_EQ(item.Picture.Height(), 600) << n;
        EXPECT_EQ(item.PatternCount(), 1) << n;
        EXPECT_FALSE(item.Transparent) << n;
        // Averaged across the screen: a sky of the scene's own hour where
        // the helicopter flies, sand on the road and on the square where
        // soldiers walk.
        auto average = [&](int y1, int y2) {
            long r = 0, g = 0, b = 0, count = 0;
            for (int y = y1; y <= y2; y += 3)
                for (int x = 0; x < 800; x += 3) {
                    const TRgb c = Rgb(item.Picture.Graphic.Pixel(x, y));
                    r += c.R, g += c.G, b += c.B, ++count;
                }
            return TRgb{static_cast<int>(r / count), static_cast<int>(g / count), static_cast<int>(b / count)};
        };
        const TRgb sky = average(65, 220), road = average(310, 369), square = average(410, 519);
        EXPECT_GT(Distance(sky, square), 60) << "scene " << n << ": the sky does not stand apart from the ground";
        EXPECT_GT(Distance(sky, helicopter), 60) << "scene " << n << ": the helicopter would melt into the sky";
        EXPECT_GT(road.R, road.B + 10) << "scene " << n << " road";
        EXPECT_GT(square.R, square.B + 40) << "scene " << n << " square";
        skies.push_back(sky);
    }
    // Each scene has its own hour and weather: no two skies alike.
    for (size_t i = 0; i < skies.size(); ++i)
        for (size_t j = i + 1; j < skies.size(); ++j) EXPECT_GT(Distance(skies[i], skies[j]), 40) << "scenes " << i + 1 << " and " << j + 1;
}

// Every scene its own ground, its sky graded without bands, and shadows
// that darken rather than dither.
TEST_F(BattlefieldArt, ScenesHaveTheirOwnGroundAndSmoothSkies)
{
    auto pixel = [](const TPictureCollectionItem& item, int x, int y) { return item.Picture.Graphic.Pixel(x, y) & 0xFFFFFF; };
    for (int a = 1; a <= 4; ++a)
        for (int b = a + 1; b <= 4; ++b) {
            const auto& sa = Item("Scene" + std::to_string(a));
            const auto& sb = Item("Scene" + std::to_string(b));
            long same = 0, all = 0;
            for (int y = 385; y <= 535; ++y)
                for (int x = 0; x < 800; ++x) same += pixel(sa, x, y) == pixel(sb, x, y), ++all;
            EXPECT_LT(same * 100, all * 40) << "scenes " << a << " and " << b << " share their ground";
        }
    for (int n = 1; n <= 4; ++n) {
        const auto& scene = Item("Scene" + std::to_string(n));
        // Each row's commonest colour, down the open sky (rows that clouds
        // or the sun fill half of are passed over).
        std::vector<int> light;
        for (int y = 0; y < 200; ++y) {
            std::map<uint32_t, int> count;
            for (int x = 0; x < 800; ++x) ++count[pixel(scene, x, y)];
            const auto common = std::max_element(count.begin(), count.end(), [](const auto& l, const auto& r) { return l.second < r.second; });
            const TRgb c = Rgb(common->first);
            light.push_back(common->second >= 400 ? c.R + c.G + c.B : -1);
        }
        int steps = 0, jump = 0;
        for (size_t y = 1; y < light.size(); ++y) {
            if (light[y] < 0 || light[y - 1] < 0) continue;
            steps += light[y] != light[y - 1];
            jump = std::max(jump, std::abs(light[y] - light[y - 1]));
        }
        EXPECT_GE(steps, 12) << "scene " << n << ": a sky in a few bands";
        EXPECT_LE(jump, 18) << "scene " << n << ": a hard edge in the sky";
        // Checkerboard dithering: two by two pixels alike across both
        // diagonals and unlike along them.
        long checks = 0;
        for (int y = 0; y + 1 < 600; ++y)
            for (int x = 0; x + 1 < 800; ++x) {
                const uint32_t p = pixel(scene, x, y);
                checks += p == pixel(scene, x + 1, y + 1) && pixel(scene, x + 1, y) == pixel(scene, x, y + 1) && p != pixel(scene, x + 1, y);
            }
        EXPECT_LT(checks, 200) << "scene " << n << " is dithered";
    }
    // Sprites: a keyed checkerboard is see-through dithering.
    for (const char* name : {"terror1_move", "terror1_fight", "terror1_dead", "terror5_move", "terror6_move", "terror7_move", "gotov", "popal"}) {
        const auto& item = Item(name);
        long checks = 0;
        for (int p = 0; p < item.PatternCount(); ++p)
            for (int y = 0; y + 1 < item.Height(); ++y)
                for (int x = 0; x + 1 < item.Width(); ++x) {
                    const bool c00 = Clear(item, PatternPixel(item, p, x, y)), c11 = Clear(item, PatternPixel(item, p, x + 1, y + 1));
                    const bool c10 = Clear(item, PatternPixel(item, p, x + 1, y)), c01 = Clear(item, PatternPixel(item, p, x, y + 1));
                    checks += c00 == c11 && c10 == c01 && c00 != c10;
                }
        EXPECT_LT(checks, 20 * item.PatternCount()) << name << " is dithered";
    }
}

TEST_F(BattlefieldArt, SceneryStandsOnTheGroundAtItsDepth)
{
    for (const TScenery& s : kScenery) {
        const auto& item = Item(s.Name);
        EXPECT_EQ(item.PatternCount(), 1) << s.Name;
        EXPECT_TRUE(item.Transparent) << s.Name;
        // Big enough to hide behind, and on the screen.
        EXPECT_GE(item.Width(), 40) << s.Name;
        EXPECT_GE(item.Height(), 40) << s.Name;
        EXPECT_LE(s.X + item.Width(), 800) << s.Name;
        // Its depth is its bottom edge: that is where it must touch the
        // ground, somewhere between the road's far side and the front band.
        const int bottom = s.Y + item.Height();
        EXPECT_GE(bottom, 300) << s.Name;
        EXPECT_LE(bottom, 530) << s.Name;
        const TBounds b = OpaqueBounds(item);
        EXPECT_GE(b.Bottom, item.Height() - 3) << s.Name << " floats above its depth";
        EXPECT_GT(b.Opaque * 6, static_cast<long>(item.Width()) * item.Height()) << s.Name << " is mostly empty";
    }
}

// Scenery that looks like an enemy draws wasted shots: the wrecks and the
// abandoned guns are flatter and duller than anything alive, and nothing
// on them shines (no lit lamps, no bright glass, no fire).
TEST_F(BattlefieldArt, WrecksReadAsDeadAtAGlance)
{
    struct TTone {
        double Saturation = 0, Spread = 0, Bright = 0;
    };
    // Over the paint (neither the outlines nor sand heaped against it):
    // its colourfulness and the spread of its lightness; over everything,
    // the share of shining pixels: lamps, fire and clear blue glass.
    auto tone = [](const TPictureCollectionItem& item) {
        double sum = 0, sum2 = 0, chroma = 0, shine = 0, n = 0, all = 0;
        for (int y = 0; y < item.Height(); ++y)
            for (int x = 0; x < item.Width(); ++x) {
                const uint32_t px = PatternPixel(item, 0, x, y);
                if (Clear(item, px)) continue;
                const TRgb c = Rgb(px);
                const int hi = std::max({c.R, c.G, c.B}), lo = std::min({c.R, c.G, c.B});
                all += 1;
                shine += hi >= 235 || (c.B >= 150 && c.B > c.R + 25);
                const double light = 0.3 * c.R + 0.59 * c.G + 0.11 * c.B;
                if (light < 40 || light > 175) continue;
                sum += light, sum2 += light * light, n += 1;
                chroma += hi - lo;
            }
        return TTone{chroma / n, std::sqrt(sum2 / n - (sum / n) * (sum / n)), shine / all};
    };
    const std::pair<const char*, const char*> wrecks[] = {
        {"Scene1_tank", "terror5_move"}, {"Scene3_gruzovic", "terror6_move"}, {"Scene2_vert", "terror8_move"}};
    for (const auto& [wreck, live] : wrecks) {
        const TTone dead = tone(Item(wreck)), alive = tone(Item(live));
        EXPECT_LT(dead.Saturation, alive.Saturation * 0.8) << wreck;
        EXPECT_LT(dead.Spread, alive.Spread) << wreck << " is no flatter than " << live;
        EXPECT_LT(dead.Bright, 0.002) << wreck << " shines";
    }
    for (const char* gun : {"Scene4_pushka1", "Scene4_pushka2"}) {
        const TTone t = tone(Item(gun));
        EXPECT_LT(t.Saturation, tone(Item("terror5_move")).Saturation) << gun;
        EXPECT_LT(t.Bright, 0.002) << gun;
    }
}

} // namespace
