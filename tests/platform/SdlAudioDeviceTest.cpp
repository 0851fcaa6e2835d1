// SPDX-License-Identifier: GPL-3.0-or-later
// The mixer-backed sound device: which recordings become buffers, and how
// buffers and their duplicates play, stop and share the mixer's channels.
#include "SdlAudioDevice.h"
#include "SdlSoundBuffer.h"
#include "SdlTestSupport.h"

#include <SDL_mixer.h>

#include <cmath>
#include <cstring>
#include <set>

namespace {

std::vector<uint8_t> FormatBlock(uint16_t tag, uint16_t channels, uint32_t rate, uint16_t bits, size_t size = 16)
{
    std::vector<uint8_t> block(size, 0);
    const auto put16 = [&](size_t at, uint16_t v) {
        block[at] = static_cast<uint8_t>(v);
        block[at + 1] = static_cast<uint8_t>(v >> 8);
    };
    const auto put32 = [&](size_t at, uint32_t v) {
        put16(at, static_cast<uint16_t>(v));
        put16(at + 2, static_cast<uint16_t>(v >> 16));
    };
    if (size < 16) {
        block.resize(16);
    }
    const uint16_t align = static_cast<uint16_t>(channels * bits / 8);
    put16(0, tag);
    put16(2, channels);
    put32(4, rate);
    put32(8, rate * align);
    put16(12, align);
    put16(14, bits);
    block.resize(size);
    return block;
}

// A tone of the given length in the block's format.
std::vector<uint8_t> Tone(uint16_t channels, uint32_t rate, uint16_t bits, uint32_t milliseconds)
{
    const size_t frames = static_cast<size_t>(rate) * milliseconds / 1000;
    std::vector<uint8_t> data;
    for (size_t i = 0; i < frames; ++i) {
        const double s = std::sin(static_cast<double>(i) * 0.05);
        for (uint16_t c = 0; c < channels; ++c) {
            if (bits == 8) {
                data.push_back(static_cast<uint8_t>(128 + 100 * s));
            } else {
                const auto v = static_cast<int16_t>(20000 * s);
                data.push_back(static_cast<uint8_t>(v));
                data.push_back(static_cast<uint8_t>(static_cast<uint16_t>(v) >> 8));
            }
        }
    }
    return data;
}

class SdlAudioTest : public SdlPlatformTest {
protected:
    void SetUp() override
    {
        SdlPlatformTest::SetUp();
        ASSERT_TRUE(Audio().Open());
    }
    TSdlAudioDevice& Audio() { return Platform->SdlAudio(); }

    std::unique_ptr<TSdlSoundBuffer> Buffer(uint32_t milliseconds)
    {
        std::unique_ptr<ISoundBuffer> buffer =
            Audio().CreateBuffer(FormatBlock(1, 1, 22050, 16), Tone(1, 22050, 16, milliseconds));
        EXPECT_NE(buffer, nullptr);
        return std::unique_ptr<TSdlSoundBuffer>(static_cast<TSdlSoundBuffer*>(buffer.release()));
    }
    std::unique_ptr<TSdlSoundBuffer> Copy(TSdlSoundBuffer& buffer)
    {
        return std::unique_ptr<TSdlSoundBuffer>(static_cast<TSdlSoundBuffer*>(buffer.Duplicate().release()));
    }
};

} // namespace

TEST_F(SdlAudioTest, OnlyPcmOfEightOrSixteenBitsInMonoOrStereoBecomesABuffer)
{
    const std::vector<uint8_t> someData(4000, 0x80);
    const struct {
        const char* What;
        std::vector<uint8_t> Format;
        size_t DataBytes;
    } refused[] = {
        {"float samples", FormatBlock(3, 1, 22050, 32), 4000},
        {"compressed samples", FormatBlock(2, 1, 22050, 4), 4000},
        {"12-bit samples", FormatBlock(1, 1, 22050, 12), 4000},
        {"24-bit samples", FormatBlock(1, 1, 22050, 24), 4000},
        {"no channels", FormatBlock(1, 0, 22050, 8), 4000},
        {"three channels", FormatBlock(1, 3, 22050, 8), 4000},
        {"rate 0", FormatBlock(1, 1, 0, 8), 4000},
        {"rate 500", FormatBlock(1, 1, 500, 8), 4000},
        {"rate 4 000 000 000", FormatBlock(1, 1, 4000000000u, 8), 4000},
        {"a block too short", FormatBlock(1, 1, 22050, 8, 14), 4000},
        {"no samples", FormatBlock(1, 1, 22050, 8), 0},
        {"less than one frame", FormatBlock(1, 2, 22050, 16), 3},
        {"extensible block naming floats", [] {
             std::vector<uint8_t> b = FormatBlock(0xFFFE, 1, 22050, 16, 40);
             b[24] = 3;
             return b;
         }(), 4000},
    };
    for (const auto& c : refused)
        EXPECT_EQ(Audio().CreateBuffer(c.Format, std::span(someData).first(c.DataBytes)), nullptr) << c.What;

    // Accepted ones come out at the mixer's rate and layout.
    const TSdlMixerOutput& output = Audio().Output();
    const double frameBytes = SDL_AUDIO_BITSIZE(output.Format) / 8.0 * output.Channels;
    const struct {
        const char* What;
        std::vector<uint8_t> Format;
        std::vector<uint8_t> Data;
        double Seconds;
    } accepted[] = {
        {"8-bit mono 11025", FormatBlock(1, 1, 11025, 8), Tone(1, 11025, 8, 500), 0.5},
        {"16-bit stereo 44100", FormatBlock(1, 2, 44100, 16), Tone(2, 44100, 16, 250), 0.25},
        {"16-bit mono 22050", FormatBlock(1, 1, 22050, 16), Tone(1, 22050, 16, 400), 0.4},
        {"8-bit stereo 8000", FormatBlock(1, 2, 8000, 8), Tone(2, 8000, 8, 300), 0.3},
        {"extensible 16-bit stereo 48000", [] {
             std::vector<uint8_t> b = FormatBlock(0xFFFE, 2, 48000, 16, 40);
             b[24] = 1;
             return b;
         }(), Tone(2, 48000, 16, 200), 0.2},
    };
    for (const auto& c : accepted) {
        std::unique_ptr<ISoundBuffer> buffer = Audio().CreateBuffer(c.Format, c.Data);
        ASSERT_NE(buffer, nullptr) << c.What;
        const auto size = static_cast<double>(static_cast<TSdlSoundBuffer&>(*buffer).Size());
        EXPECT_NEAR(size / frameBytes / output.Frequency, c.Seconds, 0.01) << c.What;
        EXPECT_EQ(std::fmod(size, frameBytes), 0.0) << c.What;
    }
}

TEST_F(SdlAudioTest, PlayRunsToTheEndAndFreesItsChannelForTheNextSound)
{
    std::unique_ptr<TSdlSoundBuffer> shortOne = Buffer(100);
    std::unique_ptr<TSdlSoundBuffer> other = Buffer(2000);
    EXPECT_FALSE(shortOne->IsPlaying());
    shortOne->Play(false);
    EXPECT_TRUE(shortOne->IsPlaying());
    const int channel = shortOne->Channel();
    EXPECT_GE(channel, 0);
    ASSERT_TRUE(WaitFor([&] { return !shortOne->IsPlaying(); }));
    EXPECT_EQ(shortOne->Position(), 0u);

    // The next sound may take the same channel; the first one must not
    // think it plays again, nor stop the other one.
    other->Play(false);
    EXPECT_EQ(other->Channel(), channel);
    EXPECT_FALSE(shortOne->IsPlaying());
    shortOne->Stop();
    EXPECT_TRUE(other->IsPlaying());
    other->Stop();
}

TEST_F(SdlAudioTest, StopKeepsThePositionAndPlayGoesOnFromThere)
{
    std::unique_ptr<TSdlSoundBuffer> buffer = Buffer(3000);
    buffer->Play(false);
    ASSERT_TRUE(WaitFor([&] { return buffer->Position() > 0; }));
    buffer->Stop();
    EXPECT_FALSE(buffer->IsPlaying());
    const uint32_t stopped = buffer->Position();
    EXPECT_GT(stopped, 0u);
    EXPECT_LT(stopped, buffer->Size());
    SDL_Delay(60);
    EXPECT_EQ(buffer->Position(), stopped);

    buffer->Play(false);
    EXPECT_TRUE(buffer->IsPlaying());
    EXPECT_GE(buffer->Position(), stopped);
    buffer->Stop();
    buffer->Rewind();
    EXPECT_EQ(buffer->Position(), 0u);

    // Rewinding a playing buffer starts it over; looping goes round.
    buffer->Play(true);
    const uint32_t quarter = buffer->Size() / 4;
    ASSERT_TRUE(WaitFor([&] { return buffer->Position() > quarter; }));
    const uint32_t later = buffer->Position();
    buffer->Rewind();
    EXPECT_TRUE(buffer->IsPlaying());
    EXPECT_LT(buffer->Position(), later);
    buffer->Stop();
}

TEST_F(SdlAudioTest, DuplicatesSoundTogetherOnChannelsOfTheirOwn)
{
    std::unique_ptr<TSdlSoundBuffer> main = Buffer(2000);
    main->SetVolume(-600);
    std::vector<std::unique_ptr<TSdlSoundBuffer>> copies;
    const int count = TSdlAudioDevice::InitialChannels * 2 + 3;
    for (int i = 0; i < count; ++i) copies.push_back(Copy(*main));
    std::set<int> channels;
    for (auto& copy : copies) {
        copy->Play(false);
        ASSERT_TRUE(copy->IsPlaying());
        channels.insert(copy->Channel());
        EXPECT_EQ(Mix_Volume(copy->Channel(), -1), 64);
    }
    EXPECT_EQ(static_cast<int>(channels.size()), count);
    EXPECT_GE(Audio().ChannelCount(), count);

    copies.front()->Stop();
    EXPECT_FALSE(copies.front()->IsPlaying());
    EXPECT_TRUE(copies.back()->IsPlaying());
    // A copy destroyed while it plays takes its sound with it.
    const int lastChannel = copies.back()->Channel();
    copies.pop_back();
    EXPECT_EQ(Mix_Playing(lastChannel), 0);
}

TEST_F(SdlAudioTest, ClosingSilencesBuffersThatOutliveIt)
{
    std::unique_ptr<TSdlSoundBuffer> buffer = Buffer(2000);
    buffer->Play(true);
    ASSERT_TRUE(buffer->IsPlaying());
    Audio().Close();
    EXPECT_FALSE(buffer->IsPlaying());
    buffer->Play(false);
    EXPECT_FALSE(buffer->IsPlaying());
    EXPECT_EQ(buffer->Duplicate(), nullptr);
    EXPECT_EQ(Audio().CreateBuffer(FormatBlock(1, 1, 22050, 16), Tone(1, 22050, 16, 100)), nullptr);
    // Opening again works, and new buffers play.
    ASSERT_TRUE(Audio().Open());
    std::unique_ptr<TSdlSoundBuffer> fresh = Buffer(500);
    fresh->Play(false);
    EXPECT_TRUE(fresh->IsPlaying());
}

TEST(TSdlSoundBuffer, DecibelsBecomeMixerVolumesAndPanGains)
{
    const std::pair<int, int> volumes[] = {{0, 128}, {300, 128}, {-600, 64}, {-2000, 13}, {-10000, 0}, {-20000, 0}};
    for (const auto& [hundredths, volume] : volumes)
        EXPECT_EQ(TSdlSoundBuffer::MixerVolumeOf(hundredths), volume) << hundredths;

    const struct {
        int Pan;
        int Left, Right;
    } pans[] = {{0, 255, 255}, {600, 128, 255}, {-600, 255, 128}, {10000, 0, 255}, {-12000, 255, 0}};
    for (const auto& p : pans) {
        uint8_t left = 0;
        uint8_t right = 0;
        TSdlSoundBuffer::PanGainsOf(p.Pan, left, right);
        EXPECT_EQ(left, p.Left) << p.Pan;
        EXPECT_EQ(right, p.Right) << p.Pan;
    }
}
