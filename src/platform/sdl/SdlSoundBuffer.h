// SPDX-License-Identifier: GPL-3.0-or-later
// One sound buffer on the mixer. While it sounds it has a mixer channel of
// its own; duplicates share the converted samples.
//
// The mixer cannot tell where a channel is, so the buffer counts the bytes
// the mixer takes from it. Stop therefore keeps the exact position and the
// next Play resumes there, except that a looped play always starts at the
// beginning (the mixer loops whole chunks only). A play that ran to its end
// leaves the position at the beginning.
#pragma once

#include "Platform.h"
#include "SdlMixerChannels.h"
#include "SdlSoundData.h"

#include <atomic>
#include <memory>

struct Mix_Chunk;

class TSdlSoundBuffer final : public ISoundBuffer {
public:
    TSdlSoundBuffer(std::shared_ptr<TSdlMixerChannels> mixer, std::shared_ptr<const TSdlSoundData> data);
    ~TSdlSoundBuffer() override;
    TSdlSoundBuffer(const TSdlSoundBuffer&) = delete;
    TSdlSoundBuffer& operator=(const TSdlSoundBuffer&) = delete;

    void Play(bool looped) override;
    void Stop() override;
    void Rewind() override;
    bool IsPlaying() override;
    bool IsLost() override { return false; }
    void SetVolume(int hundredthsOfDecibel) override;
    void SetPan(int hundredthsOfDecibel) override;
    // Takes effect at the next Play; 0 is the recording's own rate.
    void SetFrequency(uint32_t samplesPerSecond) override;
    std::unique_ptr<ISoundBuffer> Duplicate() override;

    // Where the next Play starts, in bytes of the converted samples.
    uint32_t Position();
    // The channel the buffer sounds on; -1 while silent.
    int Channel();
    // Bytes of the samples this buffer plays.
    uint32_t Size() const;

    // Attenuation in hundredths of a decibel as a mixer volume (0 to 128).
    static int MixerVolumeOf(int hundredthsOfDecibel);
    // Pan in hundredths of a decibel (positive: the left side quieter) as
    // the mixer's left and right gains (0 to 255).
    static void PanGainsOf(int hundredthsOfDecibel, uint8_t& left, uint8_t& right);

private:
    const std::shared_ptr<const TSdlSoundData>& Current() const { return Pitched_ ? Pitched_ : Data_; }
    bool OwnsChannel() const;
    // Notices a play that ended by itself.
    void Settle();
    void ApplyPan();
    static void CountPlayed(int channel, void* stream, int length, void* self);

    std::shared_ptr<TSdlMixerChannels> Mixer_;
    std::shared_ptr<const TSdlSoundData> Data_;
    std::shared_ptr<const TSdlSoundData> Pitched_;
    // The samples of the play under way, kept alive while the channel reads them.
    std::shared_ptr<const TSdlSoundData> Playing_;
    std::unique_ptr<Mix_Chunk> Chunk_;
    int Channel_ = -1;
    bool Looped_ = false;
    uint32_t Start_ = 0;
    uint32_t Position_ = 0;
    std::atomic<uint32_t> Played_{0};
    int Volume_ = 0;
    int Pan_ = 0;
    uint32_t Frequency_ = 0;
};
