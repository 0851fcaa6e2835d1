// SPDX-License-Identifier: GPL-3.0-or-later
// The weapon's fire mode and the shot of the current frame.
#pragma once

#include <cstdint>

struct TFireState {
    // Off during a burst period: every pointer move with the trigger held fires.
    bool SingleFire = true;
    // A shot since the weapon's last move: the next move shows the flash.
    bool ShotFired = false;
    // Hit points one shot takes.
    int32_t ShotPower = 1;
};
