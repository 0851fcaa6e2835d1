// The three built music modules, played through by libxmp (the game's
// player) and libopenmpt (an independent one).
#include "ModulePlayers.h"

#include <gtest/gtest.h>

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

INSTANTIATE_TEST_SUITE_P(Tracks, MusicModule,
                         ::testing::Values(TTrack{"1", 60, 90}, TTrack{"2", 90, 120}, TTrack{"3", 30, 45}),
                         [](const auto& trackInfo) { return std::string("Track") + trackInfo.param.Name; });

} // namespace
