// SPDX-License-Identifier: GPL-3.0-or-later
// The open mixer's channel table shared by the device and its buffers.
#include "SdlMixerChannels.h"

#include <SDL_mixer.h>

#include <algorithm>

void TSdlMixerChannels::Opened(const TSdlMixerOutput& output, int channelCount)
{
    Open_ = true;
    Output_ = output;
    Owners_.assign(static_cast<size_t>(channelCount), nullptr);
}

void TSdlMixerChannels::Closed()
{
    Open_ = false;
    Owners_.clear();
}

int TSdlMixerChannels::Claim(const void* owner)
{
    if (!Open_) return -1;
    const int count = ChannelCount();
    for (int channel = 0; channel < count; ++channel) {
        if (Mix_Playing(channel) == 0) {
            Owners_[static_cast<size_t>(channel)] = owner;
            return channel;
        }
    }
    if (count >= MaxChannels) return -1;
    const int grown = Mix_AllocateChannels(std::min(MaxChannels, std::max(8, count * 2)));
    if (grown <= count) return -1;
    Owners_.resize(static_cast<size_t>(grown), nullptr);
    Owners_[static_cast<size_t>(count)] = owner;
    return count;
}

bool TSdlMixerChannels::Owns(int channel, const void* owner) const
{
    return Open_ && channel >= 0 && channel < ChannelCount() && Owners_[static_cast<size_t>(channel)] == owner;
}

void TSdlMixerChannels::Release(int channel, const void* owner)
{
    if (Owns(channel, owner)) Owners_[static_cast<size_t>(channel)] = nullptr;
}
