// SPDX-License-Identifier: GPL-3.0-or-later
// The player's levels as heard in the mixed output: the effects volume,
// the music volume, and the mute switch over both.
#include "SdlAudioDevice.h"
#include "SdlModulePlayer.h"
#include "SdlTestSupport.h"

#include <SDL_mixer.h>

#include <atomic>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>

namespace {

// The loudest sample of the final mix since the last reset.
std::atomic<int> Peak{0};
std::atomic<int> Mixes{0};

void MeasureMix(void* /*data*/, Uint8* stream, int length)
{
    int peak = Peak.load();
    for (int i = 0; i + 1 < length; i += 2) {
        int16_t sample = 0;
        std::memcpy(&sample, stream + i, sizeof sample);
        peak = std::max(peak, std::abs(static_cast<int>(sample)));
    }
    Peak.store(peak);
    Mixes.fetch_add(1);
}

class SdlLevelsTest : public SdlPlatformTest {
protected:
    void SetUp() override
    {
        SdlPlatformTest::SetUp();
        ASSERT_TRUE(Audio().Open());
        Mix_SetPostMix(MeasureMix, nullptr);
    }
    void TearDown() override
    {
        if (Audio().IsOpen()) Mix_SetPostMix(nullptr, nullptr);
        SdlPlatformTest::TearDown();
    }
    TSdlAudioDevice& Audio() { return Platform->SdlAudio(); }

    // The peak over `count` mixes that began after this call.
    int PeakOfNextMixes(int count)
    {
        // A mix already under way may have begun before a change.
        const int skip = Mixes.load() + 2;
        if (!WaitFor([&] { return Mixes.load() >= skip; })) return -1;
        Peak.store(0);
        const int end = Mixes.load() + count;
        if (!WaitFor([&] { return Mixes.load() >= end; })) return -1;
        return Peak.load();
    }

    // A looped 16-bit mono tone, 22050 Hz, at amplitude 20000.
    std::unique_ptr<ISoundBuffer> Tone()
    {
        std::vector<uint8_t> format(16, 0);
        const auto put = [&](size_t at, uint32_t value, int bytes) {
            for (int i = 0; i < bytes; ++i) format[at + static_cast<size_t>(i)] = static_cast<uint8_t>(value >> (8 * i));
        };
        put(0, 1, 2);
        put(2, 1, 2);
        put(4, 22050, 4);
        put(8, 44100, 4);
        put(12, 2, 2);
        put(14, 16, 2);
        std::vector<uint8_t> data;
        for (int i = 0; i < 22050; ++i) {
            const auto v = static_cast<int16_t>(20000 * std::sin(i * 0.05));
            data.push_back(static_cast<uint8_t>(v));
            data.push_back(static_cast<uint8_t>(static_cast<uint16_t>(v) >> 8));
        }
        return Audio().CreateBuffer(format, data);
    }
};

} // namespace

TEST_F(SdlLevelsTest, TheEffectsVolumeScalesTheMixAndMuteSilencesIt)
{
    int told = 0;
    TSoundLevels last;
    Audio().SetLevelsChangedHandler([&](const TSoundLevels& levels) {
        ++told;
        last = levels;
    });
    std::unique_ptr<ISoundBuffer> tone = Tone();
    ASSERT_NE(tone, nullptr);
    tone->Play(true);
    const int full = PeakOfNextMixes(4);
    EXPECT_GT(full, 15000);

    // Volume 50 is a quarter of the amplitude.
    Audio().SetLevels({100, 50, false});
    EXPECT_NEAR(PeakOfNextMixes(4), full / 4, full / 20);
    EXPECT_TRUE(Audio().ToggleMute());
    EXPECT_TRUE(Audio().Muted());
    EXPECT_EQ(PeakOfNextMixes(4), 0);
    EXPECT_EQ(told, 1);
    EXPECT_EQ(last, (TSoundLevels{100, 50, true}));
    EXPECT_FALSE(Audio().ToggleMute());
    EXPECT_NEAR(PeakOfNextMixes(4), full / 4, full / 20);
    EXPECT_EQ(told, 2);
    EXPECT_EQ(last, (TSoundLevels{100, 50, false}));

    // The levels hold across closing and opening the device, and while closed.
    tone.reset();
    Audio().Close();
    EXPECT_TRUE(Audio().ToggleMute());
    ASSERT_TRUE(Audio().Open());
    Mix_SetPostMix(MeasureMix, nullptr);
    tone = Tone();
    tone->Play(true);
    EXPECT_EQ(PeakOfNextMixes(4), 0);
    EXPECT_FALSE(Audio().ToggleMute());
    EXPECT_NEAR(PeakOfNextMixes(4), full / 4, full / 20);
    Audio().SetLevels({100, 0, false});
    EXPECT_EQ(PeakOfNextMixes(4), 0);
}

TEST_F(SdlLevelsTest, TheMusicVolumeScalesTheModuleAndMuteSilencesIt)
{
    if (!std::filesystem::exists(ZARVENOK_BUILT_TRACK)) GTEST_SKIP() << "no " << ZARVENOK_BUILT_TRACK << " in this build";
    TSdlModulePlayer& music = Platform->SdlMusic();
    const int32_t handle = music.SongLoadFromFile(ZARVENOK_BUILT_TRACK);
    ASSERT_NE(handle, 0);
    music.SongPlay(handle);
    // A second of music, against the quarter amplitude of volume 50.
    const int full = PeakOfNextMixes(45);
    EXPECT_GT(full, 1000);
    Audio().SetLevels({50, 100, false});
    const int half = PeakOfNextMixes(45);
    EXPECT_GT(half, 0);
    EXPECT_LT(half, full / 2);
    Audio().ToggleMute();
    EXPECT_EQ(PeakOfNextMixes(20), 0);
    Audio().ToggleMute();
    Audio().SetLevels({0, 100, false});
    EXPECT_EQ(PeakOfNextMixes(20), 0);
    Audio().SetLevels({100, 100, false});
    EXPECT_GT(PeakOfNextMixes(45), 1000);
    music.SongFree(handle);
}
