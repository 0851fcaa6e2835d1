// SPDX-License-Identifier: GPL-3.0-or-later
// Software surface: fill, keyed and clipped blits, stretching, additive
// fill, colour conversion and locking, in every pixel depth.
#include "DirectDrawSurface.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

namespace {

const TPixelFormat kFormats[] = {TPixelFormat::XRGB8888(), TPixelFormat::RGB565(), TPixelFormat::RGB888()};

class SurfaceFormats : public ::testing::TestWithParam<TPixelFormat> {};

TEST_P(SurfaceFormats, FillSetsEveryPixelToTheRawValue)
{
    TDirectDrawSurface s(13, 7, GetParam());
    const uint32_t value = GetParam().RGBToPixel(0x123456);
    s.Fill(value);
    for (int y = 0; y < 7; ++y)
        for (int x = 0; x < 13; ++x) ASSERT_EQ(s.GetPixel(x, y), value) << x << "," << y;
}

// Reference keyed copy, pixel by pixel, to compare the fast paths against.
void ReferenceDraw(std::vector<uint32_t>& dst, int dw, int dh, int x, int y, const std::vector<uint32_t>& src,
                   int sw, int sh, uint32_t key, bool transparent)
{
    for (int r = 0; r < sh; ++r)
        for (int c = 0; c < sw; ++c) {
            const int dx = x + c, dy = y + r;
            if (dx < 0 || dy < 0 || dx >= dw || dy >= dh) continue;
            const uint32_t v = src[static_cast<size_t>(r * sw + c)];
            if (transparent && v == key) continue;
            dst[static_cast<size_t>(dy * dw + dx)] = v;
        }
}

TEST_P(SurfaceFormats, KeyedDrawMatchesAPixelByPixelCopyAtEveryWidthAndClip)
{
    const TPixelFormat format = GetParam();
    std::mt19937 random(7);
    const uint32_t key = format.RGBToPixel(0xFF00FF);
    // A stretch at one to one must give the same pixels as the copy.
    for (const bool stretched : {false, true})
    for (int sw = 1; sw <= 37; sw += 3) {
        for (const auto& [x, y] : {std::pair{0, 0}, {-5, 3}, {20, -2}, {45, 10}, {-40, 0}}) {
            const int sh = 5, dw = 50, dh = 12;
            TDirectDrawSurface src(sw, sh, format), dst(dw, dh, format);
            src.SetTransparentKey(key);
            std::vector<uint32_t> srcPixels, expected;
            for (int i = 0; i < sw * sh; ++i) {
                const uint32_t v = random() % 3 == 0 ? key : format.RGBToPixel(random() & 0xFFFFFF);
                srcPixels.push_back(v);
                src.SetPixel(i % sw, i / sw, v);
            }
            for (int i = 0; i < dw * dh; ++i) {
                const uint32_t v = format.RGBToPixel(random() & 0xFFFFFF);
                expected.push_back(v);
                dst.SetPixel(i % dw, i / dw, v);
            }
            ReferenceDraw(expected, dw, dh, x, y, srcPixels, sw, sh, key, true);
            if (stretched)
                dst.StretchDraw(Bounds(x, y, sw, sh), src.ClientRect(), src, true);
            else
                dst.Draw(x, y, src.ClientRect(), src, true);
            for (int i = 0; i < dw * dh; ++i)
                ASSERT_EQ(dst.GetPixel(i % dw, i / dw), expected[static_cast<size_t>(i)])
                    << (stretched ? "stretched " : "") << "width " << sw << " at " << x << "," << y << " pixel " << i;
        }
    }
}

TEST_P(SurfaceFormats, LoadingPicturePixelsConvertsEachAsRGBToPixelDoes)
{
    const TPixelFormat format = GetParam();
    std::mt19937 random(9);
    std::vector<uint32_t> rgb(9 * 4);
    for (uint32_t& v : rgb) v = random() & 0xFFFFFF;
    rgb[0] = 0xFFFFFF;
    rgb[1] = 0x070307;  // below every narrow channel's first step
    TDirectDrawSurface s(11, 6, format);
    s.LoadFromRGB(1, 1, 9, 4, rgb.data(), 9);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 9; ++x)
            ASSERT_EQ(s.GetPixel(x + 1, y + 1), format.RGBToPixel(rgb[static_cast<size_t>(y * 9 + x)])) << x << "," << y;
    EXPECT_EQ(s.GetPixel(0, 0), 0u);
}

TEST_P(SurfaceFormats, BlendAddSaturatesEachChannel)
{
    const TPixelFormat format = GetParam();
    TDirectDrawSurface s(4, 1, format);
    s.SetPixel(0, 0, format.RGBToPixel(0xFF0000)); // full red
    s.SetPixel(1, 0, format.RGBToPixel(0x000000));
    s.SetPixel(2, 0, format.RGBToPixel(0x80FF40));
    s.SetPixel(3, 0, format.RGBToPixel(0x204060));
    s.BlendAddRect(Bounds(-10, -10, 13, 20), 0x0000FF); // pure red, clipped to x < 3
    EXPECT_EQ(format.PixelToRGB(s.GetPixel(0, 0)), 0xFF0000u);
    EXPECT_EQ(format.PixelToRGB(s.GetPixel(1, 0)), 0xFF0000u);
    EXPECT_EQ(format.PixelToRGB(s.GetPixel(2, 0)), format.PixelToRGB(format.RGBToPixel(0xFFFF40)));
    EXPECT_EQ(s.GetPixel(3, 0), format.RGBToPixel(0x204060)) << "outside the rectangle";
}

INSTANTIATE_TEST_SUITE_P(Depths, SurfaceFormats, ::testing::ValuesIn(kFormats),
                         [](const auto& p) { return "Bits" + std::to_string(p.param.BitCount); });

TEST(TDirectDrawSurface, DrawClipsSourceAndDestinationTogether)
{
    const TPixelFormat f = TPixelFormat::XRGB8888();
    TDirectDrawSurface pattern(64, 2, f);
    for (int x = 0; x < 64; ++x) {
        pattern.SetPixel(x, 0, static_cast<uint32_t>(x + 1));
        pattern.SetPixel(x, 1, static_cast<uint32_t>(x + 1));
    }
    TDirectDrawSurface back(800, 600, f);
    back.Draw(-10, 0, pattern.ClientRect(), pattern, false);
    EXPECT_EQ(back.GetPixel(0, 0), 11u) << "column 10 lands at x = 0";
    EXPECT_EQ(back.GetPixel(53, 0), 64u) << "column 63 lands at x = 53";
    EXPECT_EQ(back.GetPixel(54, 0), 0u);

    back.Fill(0);
    back.Draw(800, 0, pattern.ClientRect(), pattern, false);
    back.Draw(0, 601, pattern.ClientRect(), pattern, false);
    back.Draw(790, 599, pattern.ClientRect(), pattern, false);
    EXPECT_EQ(back.GetPixel(799, 599), 10u) << "only the part inside is drawn";
    EXPECT_EQ(back.GetPixel(799, 598), 0u);

    // A source rectangle reaching past its own surface is cut on that side.
    back.Fill(0);
    back.Draw(100, 100, Bounds(60, -1, 10, 3), pattern, false);
    EXPECT_EQ(back.GetPixel(100, 101), 61u);
    EXPECT_EQ(back.GetPixel(103, 101), 64u);
    EXPECT_EQ(back.GetPixel(104, 101), 0u);
    EXPECT_EQ(back.GetPixel(100, 100), 0u) << "the row above the source is cut from the destination too";
}

TEST(TDirectDrawSurface, StretchDrawScalesClipsAndSkipsTheKey)
{
    const TPixelFormat f = TPixelFormat::RGB565();
    TDirectDrawSurface src(2, 2, f);
    src.SetPixel(0, 0, 1);
    src.SetPixel(1, 0, 2);
    src.SetPixel(0, 1, 3);
    src.SetPixel(1, 1, 9); // the key
    src.SetTransparentKey(9);
    TDirectDrawSurface dst(6, 6, f);
    dst.Fill(7);
    dst.StretchDraw(Bounds(-2, -2, 8, 8), src.ClientRect(), src, true);
    // Each source pixel covers 4 x 4; the destination starts 2 pixels in.
    const uint32_t expected[6][6] = {{1, 1, 2, 2, 2, 2}, {1, 1, 2, 2, 2, 2}, {3, 3, 7, 7, 7, 7},
                                     {3, 3, 7, 7, 7, 7}, {3, 3, 7, 7, 7, 7}, {3, 3, 7, 7, 7, 7}};
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 6; ++x) EXPECT_EQ(dst.GetPixel(x, y), expected[y][x]) << x << "," << y;

    dst.Fill(7);
    dst.StretchDraw(Bounds(0, 0, 0, 5), src.ClientRect(), src, true);
    dst.StretchDraw(Bounds(0, 0, 5, 5), Bounds(1, 1, 0, 1), src, true);
    EXPECT_EQ(dst.GetPixel(0, 0), 7u) << "empty rectangles draw nothing";
}

TEST(TDirectDrawSurface, ColorMatchConvertsAndLeavesThePixelAlone)
{
    struct Case {
        TPixelFormat Format;
        uint32_t ColorRef;
        uint32_t Pixel;
    };
    const Case cases[] = {
        {TPixelFormat::XRGB8888(), 0x00FF00FF, 0x00FF00FF}, // fuchsia
        {TPixelFormat::XRGB8888(), 0x00123456, 0x00563412},
        {TPixelFormat::RGB565(), 0x00FF00FF, 0xF81F},
        {TPixelFormat::RGB565(), 0x000000FF, 0xF800},
        {TPixelFormat::RGB555(), 0x0000FF00, 0x03E0},
        {TPixelFormat::RGB888(), 0x00FF0000, 0x0000FF}, // blue
        {TPixelFormat::XRGB8888(), 0xFF000005, 0x00FFFFFF}, // system: window background
    };
    for (const auto& c : cases) {
        TDirectDrawSurface s(2, 2, c.Format);
        s.SetPixel(0, 0, 0x1234);
        EXPECT_EQ(s.ColorMatch(c.ColorRef), c.Pixel) << std::hex << c.ColorRef;
        EXPECT_EQ(s.GetPixel(0, 0), 0x1234u);
    }
}

TEST(TDirectDrawSurface, LostSurfaceCannotBeLockedOrDrawn)
{
    const TPixelFormat f = TPixelFormat::XRGB8888();
    TDirectDrawSurface a(4, 4, f), b(4, 4, f);
    b.Fill(5);
    TDirectDrawSurface::TLockedRect locked;
    ASSERT_TRUE(a.Lock(locked));
    EXPECT_EQ(locked.Width, 4);
    EXPECT_EQ(locked.BitCount, 32);
    ASSERT_TRUE(a.Lock(locked)) << "locks nest";
    a.Unlock();
    a.Unlock();
    EXPECT_EQ(a.LockCount(), 0);

    a.MarkLost();
    EXPECT_FALSE(a.Lock(locked));
    a.Draw(0, 0, b.ClientRect(), b, false);
    a.Restore();
    EXPECT_EQ(a.GetPixel(0, 0), 0u) << "a draw onto a lost surface does nothing";
    a.Draw(0, 0, b.ClientRect(), b, false);
    EXPECT_EQ(a.GetPixel(3, 3), 5u);
}

TEST(TPixelFormat, NarrowChannelsWidenToFullScale)
{
    const TPixelFormat f = TPixelFormat::RGB565();
    EXPECT_EQ(f.PixelToRGB(0xFFFF), 0xFFFFFFu);
    EXPECT_EQ(f.PixelToRGB(f.RGBToPixel(0x808080)), 0x848284u);
    EXPECT_EQ(TPixelFormat::RGB555().RGBToPixel(0xFFFFFF), 0x7FFFu);
}

} // namespace
