// SPDX-License-Identifier: GPL-3.0-or-later
// The three built music modules, played through by libxmp (the game's
// player) and libopenmpt (an independent one).
#include "ModulePlayers.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>

namespace {

struct TTrack {
    const char* Name;
    double MinSeconds, MaxSeconds;
};

std::ostream& operator<<(std::ostream& out, const TTrack& track)
{
    return out << "track " << track.Name;
}

class MusicModule : public ::testing::TestWithParam<TTrack> {
protected:
    std::vector<uint8_t> Module() const
    {
        const std::vector<uint8_t> bytes = ReadBinaryFile(std::string(ZARVENOK_BUILD_DIR) + "/Music/" + GetParam().Name + ".xm");
        EXPECT_FALSE(bytes.empty()) << "Music/" << GetParam().Name << ".xm is missing from the build";
        return bytes;
    }

    // What the game needs of a render, and what a listener would notice.
    void CheckRender(const TModuleRender& render, const char* player) const
    {
        SCOPED_TRACE(player);
        ASSERT_TRUE(render.Loaded);
        EXPECT_TRUE(render.Messages.empty()) << render.Messages.front();
        EXPECT_GE(render.Seconds, GetParam().MinSeconds);
        EXPECT_LE(render.Seconds, GetParam().MaxSeconds);
        EXPECT_EQ(render.ClippedSamples, 0);
        EXPECT_LT(render.Peak, 0.99);
        EXPECT_GT(20 * std::log10(render.Rms), -30.0) << "nearly silent";
        // Straight through the order list: position 0 only at the start and
        // left early, so the game's continuation restarts the song only when
        // it really ends.
        ASSERT_GE(render.OrderCount, 4);
        std::vector<int> expected;
        for (int i = 0; i < render.OrderCount; ++i) expected.push_back(i);
        std::vector<int> positions = render.Positions;
        // A player may already report the way back to the start as the song ends.
        if (positions.size() == expected.size() + 1 && positions.back() == 0) positions.pop_back();
        EXPECT_EQ(positions, expected);
        EXPECT_LT(render.SecondsAtFirstPosition, 10.0);
    }
};

TEST_P(MusicModule, PlaysThroughWithTheGamesPlayer)
{
    CheckRender(RenderWithXmp(Module(), 22050), "libxmp");
}

TEST_P(MusicModule, PlaysThroughWithAnIndependentPlayer)
{
    CheckRender(RenderWithOpenMpt(Module(), 22050), "libopenmpt");
}

// Heard on speakers: instruments placed across the stereo field, no
// offset pushing the cones, and sections that build and ease off.
TEST_P(MusicModule, IsStereoFreeOfOffsetAndRisesAndFalls)
{
    for (const bool independent : {false, true}) {
        SCOPED_TRACE(independent ? "libopenmpt" : "libxmp");
        const TModuleRender render = independent ? RenderWithOpenMpt(Module(), 22050) : RenderWithXmp(Module(), 22050);
        ASSERT_TRUE(render.Loaded);
        const auto db = [](double v) { return 20 * std::log10(std::max(v, 1e-9)); };
        EXPECT_LT(std::abs(render.MeanLeft), 0.001) << "offset on the left";
        EXPECT_LT(std::abs(render.MeanRight), 0.001) << "offset on the right";
        EXPECT_GT(db(render.SideRms) - db(render.Rms), -20.0) << "the sides hardly differ: mono in two channels";
        EXPECT_NEAR(db(render.LeftRms), db(render.RightRms), 2.0) << "lopsided";
        // Sections by order position: a build to a peak, and an easing off
        // somewhere after it.
        std::vector<double> sections;
        for (size_t i = 0; i < render.PositionLeftRms.size(); ++i)
            sections.push_back(std::hypot(render.PositionLeftRms[i], render.PositionRightRms[i]) / std::sqrt(2.0));
        ASSERT_GE(sections.size(), 4u);
        const size_t loudest = static_cast<size_t>(std::max_element(sections.begin(), sections.end()) - sections.begin());
        const double before = *std::min_element(sections.begin(), sections.begin() + static_cast<std::ptrdiff_t>(loudest) + 1);
        const double after = *std::min_element(sections.begin() + static_cast<std::ptrdiff_t>(loudest), sections.end());
        EXPECT_GE(db(sections[loudest]) - db(before), 4.0) << "no build";
        EXPECT_GE(db(sections[loudest]) - db(after), 3.0) << "no easing off after the peak";
    }
}

// As the game plays it: loud enough to stand beside the effects without
// clipping, and wide, the sides carrying instruments and doubles of their
// own rather than one mix in two channels, yet one band, not two.
TEST_P(MusicModule, IsWideAndLevelledForTheGame)
{
    const TModuleRender render = RenderWithXmp(Module(), 22050);
    ASSERT_TRUE(render.Loaded);
    EXPECT_GE(render.Correlation, 0.6) << "the sides drift apart";
    EXPECT_LE(render.Correlation, 0.8) << "narrow: nearly mono";
    EXPECT_NEAR(render.Lufs, -16.0, 1.0) << "loudness";
    EXPECT_EQ(render.ClippedSamples, 0);
    EXPECT_LT(render.Peak, 0.99);
}

INSTANTIATE_TEST_SUITE_P(Tracks, MusicModule,
                         ::testing::Values(TTrack{"1", 60, 90}, TTrack{"2", 90, 120}, TTrack{"3", 30, 45}),
                         [](const auto& trackInfo) { return std::string("Track") + trackInfo.param.Name; });

} // namespace
