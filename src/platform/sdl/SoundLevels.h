// SPDX-License-Identifier: GPL-3.0-or-later
// The player's sound levels: the music and effects volumes and the mute
// switch, applied by the sound device and the module player.
#pragma once

#include <algorithm>

struct TSoundLevels {
    int Music = 100;  // 0 to 100
    int Sound = 100;  // 0 to 100
    bool Muted = false;
    bool operator==(const TSoundLevels&) const = default;
};

// The amplitude factor of a volume from 0 to 100, rising with its square
// so that equal steps sound about equally large.
inline double VolumeGain(int volume)
{
    const double level = std::clamp(volume, 0, 100) / 100.0;
    return level * level;
}
