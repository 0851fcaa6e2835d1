// SPDX-License-Identifier: GPL-3.0-or-later
// Drawing through opaque runs must give exactly the pixels of the per-pixel
// key test: plain and stretched draws of patterns cut from a larger surface,
// clipped at every edge, at every depth.
#include "DirectDrawSurface.h"
#include "OpaqueRuns.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

namespace {

const TPixelFormat kFormats[] = {TPixelFormat::XRGB8888(), TPixelFormat::RGB565(), TPixelFormat::RGB888()};

// A block surface holding a pattern at (3, 2): rows mixing the key and
// colours at random, a row all key, a row with no key, and keys at the very
// first and last column, so runs start and end on every kind of edge.
struct TPatternBlock {
    TDirectDrawSurface Surface;
    TRect Rect;

    TPatternBlock(const TPixelFormat& format, int w, int h, std::mt19937& random)
        : Surface(w + 7, h + 4, format), Rect(Bounds(3, 2, w, h))
    {
        const uint32_t key = format.RGBToPixel(0xFF00FF);
        Surface.SetTransparentKey(key);
        for (int y = 0; y < Surface.Height(); ++y)
            for (int x = 0; x < Surface.Width(); ++x) {
                const int row = y - Rect.Top;
                bool transparent = random() % 3 == 0;
                if (row == 1) transparent = true;
                if (row == 2) transparent = false;
                if (row == 3) transparent = x == Rect.Left || x == Rect.Right - 1;
                Surface.SetPixel(x, y, transparent ? key : format.RGBToPixel(random() & 0xFFFFFF));
            }
    }
};

void FillNoise(TDirectDrawSurface& s, std::mt19937& random)
{
    for (int y = 0; y < s.Height(); ++y)
        for (int x = 0; x < s.Width(); ++x) s.SetPixel(x, y, s.PixelFormat().RGBToPixel(random() & 0xFFFFFF));
}

void ExpectSamePixels(const TDirectDrawSurface& a, const TDirectDrawSurface& b, const std::string& what)
{
    for (int y = 0; y < a.Height(); ++y)
        for (int x = 0; x < a.Width(); ++x)
            ASSERT_EQ(a.GetPixel(x, y), b.GetPixel(x, y)) << what << " at " << x << "," << y;
}

class RunDraws : public ::testing::TestWithParam<TPixelFormat> {};

TEST_P(RunDraws, RunsHoldEveryPixelThatDiffersFromTheKey)
{
    std::mt19937 random(3);
    const TPatternBlock block(GetParam(), 13, 6, random);
    const TOpaqueRuns runs(block.Surface, block.Rect);
    ASSERT_TRUE(runs.Valid());
    EXPECT_TRUE(runs.HasKeyPixel());
    EXPECT_TRUE(runs.LowBitsDecide());
    for (int y = 0; y < runs.Height(); ++y) {
        std::vector<bool> opaque(static_cast<size_t>(runs.Width()), false);
        int end = -1;
        for (const TOpaqueRun run : runs.Row(y)) {
            EXPECT_GT(static_cast<int>(run.Start), end) << "runs are ordered and apart";
            end = run.Start + run.Length;
            for (int x = run.Start; x < end; ++x) opaque[static_cast<size_t>(x)] = true;
        }
        for (int x = 0; x < runs.Width(); ++x)
            EXPECT_EQ(opaque[static_cast<size_t>(x)],
                      block.Surface.GetPixel(block.Rect.Left + x, block.Rect.Top + y) != block.Surface.TransparentKey())
                << x << "," << y;
    }
    EXPECT_FALSE(TOpaqueRuns(block.Surface, block.Rect.Offset(5, 0)).Valid()) << "a rect past the surface has no runs";
}

TEST_P(RunDraws, KeyedDrawMatchesThePerPixelKeyTestAtEveryClip)
{
    const TPixelFormat format = GetParam();
    std::mt19937 random(11);
    for (const int w : {1, 2, 5, 8, 17, 33}) {
        const TPatternBlock block(format, w, 6, random);
        const TOpaqueRuns runs(block.Surface, block.Rect);
        // Inside, past each edge and corner, and wholly outside.
        for (const auto& [x, y] : {std::pair{4, 3}, {-3, 2}, {40 - w + 2, 1}, {5, -4}, {6, 10}, {-2, -3},
                                   {40 - w + 1, 9}, {40, 0}, {0, 12}, {-w, 0}}) {
            TDirectDrawSurface plain(40, 12, format), fast(40, 12, format);
            FillNoise(plain, random);
            fast.Draw(0, 0, plain.ClientRect(), plain, false);
            plain.Draw(x, y, block.Rect, block.Surface, true);
            fast.DrawRuns(x, y, block.Rect, block.Surface, runs);
            ExpectSamePixels(plain, fast, "width " + std::to_string(w) + " at " + std::to_string(x) + "," + std::to_string(y));
        }
    }
}

TEST_P(RunDraws, StretchedDrawMatchesThePlainStretchAtEveryScaleAndClip)
{
    const TPixelFormat format = GetParam();
    std::mt19937 random(5);
    for (const int w : {3, 9, 24, 31}) {
        const TPatternBlock block(format, w, 12, random);
        const TOpaqueRuns runs(block.Surface, block.Rect);
        // Two thirds (far soldiers), one and a half (glyphs), one to one, and
        // unequal scales of the two axes.
        const std::pair<int, int> sizes[] = {{w * 2 / 3 > 0 ? w * 2 / 3 : 1, 8}, {w * 3 / 2, 18}, {w, 12}, {w * 2, 5}};
        for (const auto& [dw, dh] : sizes) {
            for (const auto& [x, y] : {std::pair{2, 2}, {-5, 1}, {50 - dw + 3, 4}, {1, -6}, {3, 30 - dh + 4}, {-4, -5}}) {
                TDirectDrawSurface plain(50, 30, format), fast(50, 30, format);
                FillNoise(plain, random);
                fast.Draw(0, 0, plain.ClientRect(), plain, false);
                const TRect dest = Bounds(x, y, dw, dh);
                plain.StretchDraw(dest, block.Rect, block.Surface, true);
                fast.StretchDrawRuns(dest, block.Rect, block.Surface, runs);
                ExpectSamePixels(plain, fast,
                                 std::to_string(w) + " to " + std::to_string(dw) + "x" + std::to_string(dh) + " at " +
                                     std::to_string(x) + "," + std::to_string(y));
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Depths, RunDraws, ::testing::ValuesIn(kFormats),
                         [](const auto& p) { return "Bits" + std::to_string(p.param.BitCount); });

} // namespace
