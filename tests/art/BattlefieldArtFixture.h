// SPDX-License-Identifier: GPL-3.0-or-later
// What the battlefield's picture tests share: the built library and a few
// measures of patterns (colour distance, flashes, mirror images, likeness).
#pragma once

#include "GraphicLibraryFixture.h"

#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

class BattlefieldArt : public GraphicLibrary {
protected:
    struct TRgb {
        int R, G, B;
    };
    static int Distance(TRgb a, TRgb b) { return std::abs(a.R - b.R) + std::abs(a.G - b.G) + std::abs(a.B - b.B); }
    static TRgb Rgb(uint32_t p) { return {static_cast<int>((p >> 16) & 0xFF), static_cast<int>((p >> 8) & 0xFF), static_cast<int>(p & 0xFF)}; }

    // Lowest row of a pattern with an opaque pixel, or -1.
    static int LowestRow(const TPictureCollectionItem& item, int p) { return OpaqueBounds(item, p).Bottom; }

    // Pixels of a muzzle flash's colours: white-hot, yellow and orange fire.
    static long FlashPixels(const TPictureCollectionItem& item, int p)
    {
        long n = 0;
        for (int y = 0; y < item.Height(); ++y)
            for (int x = 0; x < item.Width(); ++x) {
                const uint32_t px = PatternPixel(item, p, x, y);
                if (Clear(item, px)) continue;
                const TRgb c = Rgb(px);
                n += c.R >= 250 && c.G >= 140 && c.B <= 210 && c.G - c.B >= 40;
            }
        return n;
    }

    // Share of pixels whose clear-or-opaque state matches between pattern p
    // of a and the mirror image of pattern q of b.
    static double MirrorMatch(const TPictureCollectionItem& a, int p, const TPictureCollectionItem& b, int q)
    {
        long same = 0, all = 0;
        for (int y = 0; y < a.Height(); ++y)
            for (int x = 0; x < a.Width(); ++x) {
                const bool ca = Clear(a, PatternPixel(a, p, x, y));
                const bool cb = Clear(b, PatternPixel(b, q, b.Width() - 1 - x, y));
                if (ca && cb) continue;
                ++all;
                same += ca == cb;
            }
        return all == 0 ? 0 : static_cast<double>(same) / static_cast<double>(all);
    }

    static bool SamePattern(const TPictureCollectionItem& a, int p, const TPictureCollectionItem& b, int q)
    {
        if (a.Width() != b.Width() || a.Height() != b.Height()) return false;
        for (int y = 0; y < a.Height(); ++y)
            for (int x = 0; x < a.Width(); ++x) {
                const uint32_t pa = PatternPixel(a, p, x, y), pb = PatternPixel(b, q, x, y);
                if (Clear(a, pa) != Clear(b, pb) || (!Clear(a, pa) && (pa & 0xFFFFFF) != (pb & 0xFFFFFF))) return false;
            }
        return true;
    }

    // The same drawing in two pictures: each picture has its own palette,
    // so soft edges may differ a little in colour, but not in shape.
    static bool AlikePatterns(const TPictureCollectionItem& a, int p, const TPictureCollectionItem& b, int q)
    {
        if (a.Width() != b.Width() || a.Height() != b.Height()) return false;
        long differ = 0;
        for (int y = 0; y < a.Height(); ++y)
            for (int x = 0; x < a.Width(); ++x) {
                const uint32_t pa = PatternPixel(a, p, x, y), pb = PatternPixel(b, q, x, y);
                if (Clear(a, pa) != Clear(b, pb)) {
                    ++differ;
                } else if (!Clear(a, pa)) {
                    const TRgb ca = Rgb(pa), cb = Rgb(pb);
                    differ += std::abs(ca.R - cb.R) + std::abs(ca.G - cb.G) + std::abs(ca.B - cb.B) > 48;
                }
            }
        return differ * 100 <= static_cast<long>(a.Width()) * a.Height();
    }

    static void ExpectOneSize(const std::vector<std::string>& names)
    {
        for (const auto& name : names) {
            EXPECT_EQ(Item(name).Width(), Item(names[0]).Width()) << name;
            EXPECT_EQ(Item(name).Height(), Item(names[0]).Height()) << name;
            EXPECT_EQ(Item(name).Picture.Width(), Item(name).Width() * Item(name).PatternCount()) << name;
        }
    }
};
