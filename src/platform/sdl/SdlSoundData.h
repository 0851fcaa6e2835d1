// SPDX-License-Identifier: GPL-3.0-or-later
// A recording converted once to the mixer's output format. Every copy of a
// sound plays from the same converted samples.
#pragma once

#include "SdlMixerChannels.h"

#include <cstdint>
#include <memory>
#include <span>
#include <vector>

class TSdlSoundData {
public:
    // From a RIFF "fmt " block and its sample data: 8-bit (unsigned) or
    // 16-bit (signed) PCM, mono or stereo, any rate from 1000 to 200000.
    // nullptr for anything else, for empty data, or when the converted
    // samples would exceed MaxBytes.
    static std::shared_ptr<const TSdlSoundData> Create(std::span<const uint8_t> format,
                                                       std::span<const uint8_t> data, const TSdlMixerOutput& mixer);
    // The same recording played as if it had been recorded at rate samples
    // per second (higher sounds higher and shorter); nullptr when impossible.
    std::shared_ptr<const TSdlSoundData> AtRate(uint32_t rate, const TSdlMixerOutput& mixer) const;

    const uint8_t* Samples() const { return Samples_.data(); }
    uint32_t Size() const { return static_cast<uint32_t>(Samples_.size()); }
    // Bytes of one sample frame in the mixer's format.
    uint32_t FrameBytes() const { return FrameBytes_; }
    // The recording's own rate.
    uint32_t Rate() const { return Source_->Rate; }

    static constexpr size_t MaxBytes = 64u << 20;

private:
    struct TSource {
        uint16_t Channels = 0;
        uint16_t Bits = 0;
        uint32_t Rate = 0;
        std::vector<uint8_t> Data;  // whole frames only
    };
    static std::shared_ptr<const TSdlSoundData> Convert(std::shared_ptr<const TSource> source, uint32_t rate,
                                                        const TSdlMixerOutput& mixer);

    std::shared_ptr<const TSource> Source_;
    std::vector<uint8_t> Samples_;
    uint32_t FrameBytes_ = 1;
};
