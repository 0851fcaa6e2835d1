// SPDX-License-Identifier: GPL-3.0-or-later
// Tests of the headless audio device and module player: how long a buffer
// stays busy in fake time, what is recorded, and what cannot be made.
#include "HeadlessAudio.h"
#include "HeadlessClock.h"
#include "HeadlessMusic.h"
#include "SoundRig.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>
#include <unistd.h>

namespace {

TEST(THeadlessAudioDevice, BufferIsBusyForItsSampleLength)
{
    struct TCase {
        uint16_t Channels;
        uint32_t Rate;
        uint16_t Bits;
        size_t Bytes;
        uint32_t Start;
        uint32_t LengthMs;
    };
    const TCase cases[] = {
        {1, 1000, 8, 100, 0, 100},
        {2, 22050, 16, 4410 * 4, 0, 200},
        {1, 44100, 16, 2, 0, 1},                   // one sample still counts
        {1, 1000, 8, 50, 0xFFFFFFF0u, 50},         // across the clock's wrap
        {2, 8000, 8, 8001 * 2 + 1, 0, 1001},      // a part sample is ignored, the rest rounds up
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.LengthMs);
        THeadlessClock clock;
        clock.SetNow(c.Start);
        THeadlessAudioDevice device(clock);
        ASSERT_TRUE(device.Open());
        const auto buffer = device.CreateBuffer(PcmFormatBlock(c.Channels, c.Rate, c.Bits),
                                                std::vector<uint8_t>(c.Bytes, 0));
        ASSERT_NE(buffer, nullptr);
        buffer->Play(false);
        clock.SetNow(c.Start + c.LengthMs - 1);
        EXPECT_TRUE(buffer->IsPlaying());
        clock.SetNow(c.Start + c.LengthMs);
        EXPECT_FALSE(buffer->IsPlaying());
    }
}

TEST(THeadlessAudioDevice, StopKeepsThePlaceAndLoopingNeverEnds)
{
    THeadlessClock clock;
    THeadlessAudioDevice device(clock);
    device.Open();
    auto buffer = device.CreateBuffer(PcmFormatBlock(1, 1000, 8), std::vector<uint8_t>(100, 0));
    buffer->SetLabel("hum");
    buffer->Play(false);
    clock.Advance(30);
    buffer->Stop();
    clock.Advance(500);
    buffer->Play(false); // goes on from 30 ms
    clock.Advance(69);
    EXPECT_TRUE(buffer->IsPlaying());
    clock.Advance(1);
    EXPECT_FALSE(buffer->IsPlaying());
    buffer->Stop(); // already finished: nothing to record

    buffer->Play(true);
    clock.Advance(100'000);
    EXPECT_TRUE(buffer->IsPlaying());
    auto copy = buffer->Duplicate();
    copy->Play(false);
    EXPECT_EQ(device.BufferCount("hum"), 2);
    EXPECT_EQ(device.PlayingCount("hum"), 2);
    buffer.reset(); // freeing a sounding buffer silences it
    EXPECT_EQ(device.Log().Take(), (TEvents{"play hum", "stop hum", "play hum", "loop hum", "play hum", "stop hum"}));
    EXPECT_EQ(device.BufferCount(), 1);
}

TEST(THeadlessAudioDevice, WhatCannotBeMade)
{
    THeadlessClock clock;
    THeadlessAudioDevice device(clock);
    const auto format = PcmFormatBlock(1, 1000, 8);
    const std::vector<uint8_t> samples(10, 0);
    EXPECT_EQ(device.CreateBuffer(format, samples), nullptr); // not open

    device.SetHasDevice(false);
    EXPECT_FALSE(device.Open());
    device.SetHasDevice(true);
    ASSERT_TRUE(device.Open());
    EXPECT_NE(device.CreateBuffer(format, samples), nullptr);

    auto noChannels = format;
    noChannels[2] = 0;
    auto noRate = format;
    std::fill(noRate.begin() + 4, noRate.begin() + 8, 0);
    auto noAlign = format;
    noAlign[12] = 0;
    const auto stereo16 = PcmFormatBlock(2, 1000, 16);
    EXPECT_EQ(device.CreateBuffer(std::vector<uint8_t>(format.begin(), format.begin() + 13), samples), nullptr);
    EXPECT_EQ(device.CreateBuffer(noChannels, samples), nullptr);
    EXPECT_EQ(device.CreateBuffer(noRate, samples), nullptr);
    EXPECT_EQ(device.CreateBuffer(noAlign, samples), nullptr);
    EXPECT_EQ(device.CreateBuffer(format, {}), nullptr);
    EXPECT_EQ(device.CreateBuffer(stereo16, std::vector<uint8_t>(3, 0)), nullptr); // less than one sample
    EXPECT_EQ(device.BufferCount(), 0);
}

TEST(THeadlessAudioDevice, BuffersOutlivingTheDeviceFallSilent)
{
    THeadlessClock clock;
    auto device = std::make_unique<THeadlessAudioDevice>(clock);
    device->Open();
    auto buffer = device->CreateBuffer(PcmFormatBlock(1, 1000, 8), std::vector<uint8_t>(100, 0));
    buffer->Play(true);
    device.reset();
    EXPECT_FALSE(buffer->IsPlaying());
    EXPECT_EQ(buffer->Duplicate(), nullptr);
    buffer->Play(false);
    EXPECT_FALSE(buffer->IsPlaying());
}

// ---- module player ----

TEST(THeadlessModulePlayer, LoadsExistingFilesAndRecordsWithTheAudioDevice)
{
    const auto dir = std::filesystem::temp_directory_path() / ("zarvenok-music-" + std::to_string(getpid()));
    std::filesystem::create_directories(dir);
    const std::string track = (dir / "2.xm").string();
    std::FILE* file = std::fopen(track.c_str(), "wb");
    ASSERT_NE(file, nullptr);
    std::fclose(file);

    THeadlessClock clock;
    THeadlessSoundLog log;
    THeadlessAudioDevice device(clock, log);
    THeadlessModulePlayer music(log);
    EXPECT_EQ(music.SongLoadFromFile((dir / "9.xm").string()), 0);
    EXPECT_EQ(music.LoadedFileName(), "");

    const int32_t handle = music.SongLoadFromFile(track);
    std::filesystem::remove_all(dir);
    ASSERT_NE(handle, 0);
    EXPECT_EQ(music.LoadedFileName(), "2.xm");
    EXPECT_EQ(music.SongGetOrder(handle), 0);
    music.SongPlay(handle);
    music.SetOrder(3);
    EXPECT_EQ(music.SongGetOrder(handle), 3);
    EXPECT_EQ(music.SongGetOrder(handle + 1), 0);

    device.Open();
    auto buffer = device.CreateBuffer(PcmFormatBlock(1, 1000, 8), std::vector<uint8_t>(10, 0));
    buffer->SetLabel("Fight");
    buffer->Play(false);

    music.SongFree(handle);
    music.SongFree(handle); // already gone
    EXPECT_EQ(music.SongGetOrder(handle), 0);
    EXPECT_EQ(music.LoadedFileName(), "");
    EXPECT_EQ(log.Take(), (TEvents{"music 2", "play Fight", "music stop"}));
    EXPECT_TRUE(log.Take().empty());
}

} // namespace
