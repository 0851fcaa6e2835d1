// SPDX-License-Identifier: GPL-3.0-or-later
// A recording converted once to the mixer's output format.
#include "SdlSoundData.h"

#include <SDL.h>

#include <algorithm>
#include <climits>
#include <cstring>

namespace {

uint16_t Le16(std::span<const uint8_t> bytes, size_t at)
{
    return static_cast<uint16_t>(bytes[at] | (bytes[at + 1] << 8));
}

uint32_t Le32(std::span<const uint8_t> bytes, size_t at)
{
    return static_cast<uint32_t>(Le16(bytes, at)) | (static_cast<uint32_t>(Le16(bytes, at + 2)) << 16);
}

constexpr uint16_t FormatPcm = 1;
constexpr uint16_t FormatExtensible = 0xFFFE;
constexpr uint32_t MinRate = 1000;
constexpr uint32_t MaxRate = 200000;

} // namespace

std::shared_ptr<const TSdlSoundData> TSdlSoundData::Create(std::span<const uint8_t> format,
                                                           std::span<const uint8_t> data,
                                                           const TSdlMixerOutput& mixer)
{
    if (format.size() < 16) return nullptr;
    const uint16_t tag = Le16(format, 0);
    // The extensible block names its real format in its first sub-format field.
    const bool pcm = tag == FormatPcm || (tag == FormatExtensible && format.size() >= 26 && Le16(format, 24) == FormatPcm);
    auto source = std::make_shared<TSource>();
    source->Channels = Le16(format, 2);
    source->Rate = Le32(format, 4);
    source->Bits = Le16(format, 14);
    if (!pcm || (source->Channels != 1 && source->Channels != 2) || (source->Bits != 8 && source->Bits != 16) ||
        source->Rate < MinRate || source->Rate > MaxRate)
        return nullptr;
    const size_t frame = source->Channels * (source->Bits / 8u);
    const size_t length = data.size() / frame * frame;
    if (length == 0 || length > MaxBytes) return nullptr;
    source->Data.assign(data.begin(), data.begin() + static_cast<ptrdiff_t>(length));
    const uint32_t rate = source->Rate;
    return Convert(std::move(source), rate, mixer);
}

std::shared_ptr<const TSdlSoundData> TSdlSoundData::AtRate(uint32_t rate, const TSdlMixerOutput& mixer) const
{
    if (rate < MinRate || rate > MaxRate) return nullptr;
    return Convert(Source_, rate, mixer);
}

std::shared_ptr<const TSdlSoundData> TSdlSoundData::Convert(std::shared_ptr<const TSource> source, uint32_t rate,
                                                            const TSdlMixerOutput& mixer)
{
    if (mixer.Channels <= 0 || mixer.Frequency <= 0) return nullptr;
    SDL_AudioCVT cvt;
    const SDL_AudioFormat from = source->Bits == 8 ? AUDIO_U8 : AUDIO_S16LSB;
    const int built = SDL_BuildAudioCVT(&cvt, from, static_cast<Uint8>(source->Channels), static_cast<int>(rate),
                                        mixer.Format, static_cast<Uint8>(mixer.Channels), mixer.Frequency);
    if (built < 0) return nullptr;

    const size_t length = source->Data.size();
    const size_t multiple = static_cast<size_t>(std::max(cvt.len_mult, 1));
    // The conversion works in place in a buffer len_mult times the input.
    if (length > static_cast<size_t>(INT_MAX) / multiple || length * multiple > 4 * MaxBytes) return nullptr;
    if (static_cast<double>(length) * cvt.len_ratio > static_cast<double>(MaxBytes)) return nullptr;

    auto result = std::shared_ptr<TSdlSoundData>(new TSdlSoundData());
    result->Samples_.resize(length * multiple);
    std::memcpy(result->Samples_.data(), source->Data.data(), length);
    size_t converted = length;
    if (built == 1) {
        cvt.buf = result->Samples_.data();
        cvt.len = static_cast<int>(length);
        if (SDL_ConvertAudio(&cvt) != 0) return nullptr;
        converted = static_cast<size_t>(std::max(cvt.len_cvt, 0));
    }
    result->FrameBytes_ = static_cast<uint32_t>(SDL_AUDIO_BITSIZE(mixer.Format) / 8 * mixer.Channels);
    converted = converted / result->FrameBytes_ * result->FrameBytes_;
    if (converted == 0) return nullptr;
    result->Samples_.resize(converted);
    result->Samples_.shrink_to_fit();
    result->Source_ = std::move(source);
    return result;
}
