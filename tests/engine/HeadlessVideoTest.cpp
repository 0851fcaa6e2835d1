// SPDX-License-Identifier: GPL-3.0-or-later
// Tests of the headless video's recorded frame: every layout read back as
// colours, padded rows skipped, and a copy that outlives the presenter's
// borrowed pixels.
#include "HeadlessPlatform.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <vector>

namespace {

template <typename T>
std::vector<uint8_t> Bytes(T value)
{
    std::vector<uint8_t> bytes(sizeof value);
    std::memcpy(bytes.data(), &value, sizeof value);
    return bytes;
}

TEST(THeadlessVideo, KeepsTheFrameAsColoursInEveryLayout)
{
    struct TCase {
        TFrameFormat Format;
        std::vector<uint8_t> A, B;  // two pixels as they lie in memory
        uint32_t ColourA, ColourB;
    };
    const TCase cases[] = {
        // The unused top byte is not part of the colour.
        {TFrameFormat::XRGB8888, Bytes<uint32_t>(0xFF123456), Bytes<uint32_t>(0x00FEDCBA), 0x123456, 0xFEDCBA},
        // Narrow channels widen by repeating their top bits.
        {TFrameFormat::RGB565, Bytes<uint16_t>(0xF81F), Bytes<uint16_t>(0x8410), 0xFF00FF, 0x848284},
        {TFrameFormat::RGB555, Bytes<uint16_t>(0x7FE0), Bytes<uint16_t>(0x4210), 0xFFFF00, 0x848484},
        {TFrameFormat::RGB888, {0x56, 0x34, 0x12}, {0xBA, 0xDC, 0xFE}, 0x123456, 0xFEDCBA},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.Format));
        THeadlessPlatform platform;
        THeadlessVideo& video = platform.Video();
        EXPECT_TRUE(video.LastFrame().empty());

        // Two rows of A B / B A, each padded with bytes that are no pixel.
        const int bytesPerPixel = BytesPerPixel(c.Format);
        const int pitch = 2 * bytesPerPixel + 5;
        std::vector<uint8_t> pixels(static_cast<size_t>(pitch) * 2, 0x77);
        const auto put = [&](int x, int y, const std::vector<uint8_t>& bytes) {
            std::memcpy(pixels.data() + y * pitch + x * bytesPerPixel, bytes.data(), bytes.size());
        };
        put(0, 0, c.A);
        put(1, 0, c.B);
        put(0, 1, c.B);
        put(1, 1, c.A);

        const TPresentOptions options{false, true, false};
        video.Present({pixels.data(), pitch, 2, 2, c.Format}, options);
        // The presenter's pixels are only lent for the call.
        std::fill(pixels.begin(), pixels.end(), uint8_t{0});

        EXPECT_EQ(video.PresentCount(), 1);
        EXPECT_EQ(video.FrameWidth(), 2);
        EXPECT_EQ(video.FrameHeight(), 2);
        EXPECT_EQ(video.LastFrame(), (std::vector<uint32_t>{c.ColourA, c.ColourB, c.ColourB, c.ColourA}));
        EXPECT_EQ(video.FramePixel(1, 0), c.ColourB);
        EXPECT_EQ(video.FramePixel(2, 0), 0u) << "outside the frame";
        EXPECT_FALSE(video.LastPresentOptions().Stretch);
    }
}

TEST(THeadlessVideo, ANewFrameReplacesTheConvertedOne)
{
    THeadlessPlatform platform;
    THeadlessVideo& video = platform.Video();
    const uint32_t first[] = {0x00112233};
    const uint16_t second[] = {0xF800, 0x001F};
    video.Present({reinterpret_cast<const uint8_t*>(first), 4, 1, 1, TFrameFormat::XRGB8888}, {});
    EXPECT_EQ(video.FramePixel(0, 0), 0x112233u);
    video.Present({reinterpret_cast<const uint8_t*>(second), 4, 2, 1, TFrameFormat::RGB565}, {});
    EXPECT_EQ(video.PresentCount(), 2);
    EXPECT_EQ(video.LastFrame(), (std::vector<uint32_t>{0xFF0000, 0x0000FF}));
}

} // namespace
