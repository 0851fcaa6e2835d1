// SPDX-License-Identifier: GPL-3.0-or-later
// The open mixer as its buffers see it: whether it is open, its output
// format, and which buffer started the sound on each mixer channel. The
// device and every buffer share it, so a buffer that outlives the device
// finds it closed instead of touching a closed mixer.
#pragma once

#include <cstdint>
#include <vector>

struct TSdlMixerOutput {
    int Frequency = 0;
    uint16_t Format = 0;  // an SDL audio format
    int Channels = 0;
};

class TSdlMixerChannels {
public:
    bool IsOpen() const { return Open_; }
    const TSdlMixerOutput& Output() const { return Output_; }

    void Opened(const TSdlMixerOutput& output, int channelCount);
    void Closed();

    // A channel that plays nothing, now owned by owner; the mixer gets more
    // channels when all are busy. -1 when none can be had.
    int Claim(const void* owner);
    // Whether owner started the last sound on the channel.
    bool Owns(int channel, const void* owner) const;
    void Release(int channel, const void* owner);
    int ChannelCount() const { return static_cast<int>(Owners_.size()); }

    // Enough for every sound of a busy battle; past it a new sound is dropped.
    static constexpr int MaxChannels = 256;

private:
    bool Open_ = false;
    TSdlMixerOutput Output_;
    std::vector<const void*> Owners_;
};
