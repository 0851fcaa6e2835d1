// SPDX-License-Identifier: GPL-3.0-or-later
// A small stage for sound tests: a fake clock, the headless audio device, a
// sound component and a wave list bound to it, with recordings whose length
// in milliseconds equals their sample count (mono, 8 bits, 1000 per second).
#pragma once

#include "DXSound.h"
#include "HeadlessAudio.h"
#include "HeadlessClock.h"
#include "WaveCollection.h"

#include <cstdint>
#include <string>
#include <vector>

// A PCM format block: tag 1, channels, rate, byte rate, block align, bits.
inline std::vector<uint8_t> PcmFormatBlock(uint16_t channels, uint32_t rate, uint16_t bits)
{
    const uint32_t align = channels * bits / 8u;
    const uint32_t byteRate = rate * align;
    std::vector<uint8_t> block;
    const auto put = [&](uint32_t value, int bytes) {
        for (int i = 0; i < bytes; ++i) block.push_back(static_cast<uint8_t>(value >> (8 * i)));
    };
    put(1, 2);
    put(channels, 2);
    put(rate, 4);
    put(byteRate, 4);
    put(align, 2);
    put(bits, 2);
    return block;
}

// A recording lasting the given milliseconds; 0 gives one without samples.
inline TWave MillisecondWave(int milliseconds)
{
    TWave wave;
    wave.Format = PcmFormatBlock(1, 1000, 8);
    wave.Data.assign(static_cast<size_t>(milliseconds), 0x80);
    return wave;
}

// "shot" 100 ms, "engine" 100 ms looped, "silent" without samples.
inline std::vector<TWaveLibraryEntry> StandardLibrary(int shotMaxPlayingCount = 0)
{
    return {
        {"shot", false, shotMaxPlayingCount, MillisecondWave(100)},
        {"engine", true, 0, MillisecondWave(100)},
        {"silent", false, 0, MillisecondWave(0)},
    };
}

struct TSoundRig {
    explicit TSoundRig(bool hasDevice = true)
    {
        Device.SetHasDevice(hasDevice);
        Waves.SetDXSound(&Sound);
        Sound.FormLoaded();
    }

    void Load(const std::vector<TWaveLibraryEntry>& entries) { Waves.Items.LoadFromStream(WriteWaveLibrary(entries)); }
    TWaveCollectionItem& Item(const std::string& name) { return Waves.Items.Find(name); }
    // The device's events since the last call.
    std::vector<std::string> Events() { return Device.Log().Take(); }

    THeadlessClock Clock;
    THeadlessAudioDevice Device{Clock};
    TDXSound Sound{Device, Clock};
    TDXWaveList Waves;
};

using TEvents = std::vector<std::string>;
