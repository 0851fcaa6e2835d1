// SPDX-License-Identifier: GPL-3.0-or-later
// Where the frame goes in an output area and how it is sampled.
#include "FrameLayout.h"

#include <gtest/gtest.h>

TEST(FrameLayout, WholeFactorsByDefaultForcedOrSmoothOnRequest)
{
    const TPresentOptions stretched{true, true, false};
    const TPresentOptions centred{false, true, false};
    const TPresentOptions topLeft{false, false, false};
    const TFrameScaling whole{};
    const TFrameScaling smooth{0, true};
    const TFrameScaling forced1{1, false};
    const TFrameScaling forced3{3, false};
    const struct {
        int OutputWidth, OutputHeight;
        TPresentOptions Options;
        TFrameScaling Scaling;
        TRect Expected;
        bool Filtered;
    } cases[] = {
        {800, 600, stretched, whole, {0, 0, 800, 600}, false},
        {1024, 768, stretched, whole, {112, 84, 912, 684}, false},
        {1920, 1080, stretched, whole, {560, 240, 1360, 840}, false},
        {1600, 1200, stretched, whole, {0, 0, 1600, 1200}, false},
        {2560, 1440, stretched, whole, {480, 120, 2080, 1320}, false},
        {3840, 2160, stretched, whole, {720, 180, 3120, 1980}, false},
        // Too small for 1x: shrunk to fit, smoothly.
        {640, 480, stretched, whole, {0, 0, 640, 480}, true},
        {700, 600, stretched, whole, {0, 37, 700, 562}, true},
        // Smooth fills the area as the frame's proportions allow.
        {800, 600, stretched, smooth, {0, 0, 800, 600}, false},
        {1024, 768, stretched, smooth, {0, 0, 1024, 768}, true},
        {1920, 1080, stretched, smooth, {240, 0, 1680, 1080}, true},
        {1600, 900, stretched, smooth, {200, 0, 1400, 900}, true},
        {800, 900, stretched, smooth, {0, 150, 800, 750}, false},
        // A forced factor while it fits, else the largest that does.
        {2560, 1440, stretched, forced1, {880, 420, 1680, 1020}, false},
        {3840, 2160, stretched, forced3, {720, 180, 3120, 1980}, false},
        {2560, 1440, stretched, forced3, {480, 120, 2080, 1320}, false},
        {2560, 1440, stretched, TFrameScaling{3, true}, {320, 0, 2240, 1440}, true},
        // Not stretched: 1:1.
        {1024, 768, centred, whole, {112, 84, 912, 684}, false},
        {640, 480, centred, whole, {-80, -60, 720, 540}, false},
        {1024, 768, topLeft, smooth, {0, 0, 800, 600}, false},
    };
    for (const auto& c : cases) {
        const TFrameLayout layout = LayFrame(c.OutputWidth, c.OutputHeight, 800, 600, c.Options, c.Scaling);
        EXPECT_EQ(layout.Target, c.Expected) << c.OutputWidth << "x" << c.OutputHeight << " scale " << c.Scaling.Scale
                                             << " smooth " << c.Scaling.Smooth << " stretch " << c.Options.Stretch;
        EXPECT_EQ(layout.Filtered, c.Filtered) << c.OutputWidth << "x" << c.OutputHeight;
    }
    EXPECT_TRUE(LayFrame(800, 600, 0, 600, stretched, whole).Target.IsEmpty());
}

TEST(FrameLayout, ANewWindowStartsAtTheLargestWholeFactorThatFits)
{
    const struct {
        int Width, Height;
        TFrameScaling Scaling;
        int Expected;
    } cases[] = {
        {1920, 1080, {}, 1},  {2560, 1440, {}, 2}, {3840, 2160, {}, 3}, {1600, 1200, {}, 2},
        {1599, 1200, {}, 1},  {1366, 768, {}, 1},  {640, 480, {}, 1},   {0, 0, {}, 1},
        {1920, 1080, {2, false}, 2}, {2560, 1440, {1, true}, 1},
    };
    for (const auto& c : cases)
        EXPECT_EQ(StartingScale(c.Width, c.Height, 800, 600, c.Scaling), c.Expected) << c.Width << "x" << c.Height;
}
