// SPDX-License-Identifier: GPL-3.0-or-later
// Fuzzes the wave library reader and the RIFF walk.
#include "EngineErrors.h"
#include "WaveCollection.h"

#include <cstddef>
#include <cstdint>
#include <span>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::span<const uint8_t> input(data, size);
    TWaveCollection library;
    try {
        library.LoadFromStream(input);
    } catch (const EEngineError&) {
    }
    for (int i = 0; i < library.Count(); ++i) {
        const auto& wave = library.Items(i).Wave;
        const auto riff = wave.SaveToRiff();
        (void)TWave::LoadFromRiff(riff);
        (void)wave.SamplesPerSec();
    }
    try {
        (void)TWave::LoadFromRiff(input);
    } catch (const EEngineError&) {
    }
    return 0;
}
