// SPDX-License-Identifier: GPL-3.0-or-later
// The shell's game-wide values, one struct for each concern: activation and
// the level-intro timers, the player's pointer and trigger, and the music.
#pragma once

#include <cstdint>
#include <string>

// Focus, resizing and which level-intro timers are waiting to fire.
struct TActivationFlags {
    // The application lost activation: frames do nothing until it returns.
    bool FocusLost = false;
    bool ResizeSeen = false;
    bool PausedBeforeFocusLoss = false;
    // Set while the level intro waits for that timer (suspended with the focus).
    bool Timer1Pending = false;
    bool Timer2Pending = false;
    bool Timer3Pending = false;
};

// The pointer on the 800 x 600 surface and the held trigger.
struct TInputState {
    int32_t MouseX = 0;
    int32_t MouseY = 0;
    bool TriggerHeld = false;
};

// The loaded music module.
struct TMusicState {
    int32_t SongHandle = 0;
    int32_t LastSongOrder = 0;
    // The track of the loaded module, for the tools ("" when none).
    std::string SongTrack;
};
