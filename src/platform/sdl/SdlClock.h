// SPDX-License-Identifier: GPL-3.0-or-later
// The game's clock on SDL's millisecond counter.
#pragma once

#include "Platform.h"

class TSdlClock final : public IClock {
public:
    // SDL's tick count, which wraps after about 49 days like the game expects.
    uint32_t Now() override;
    void Sleep(uint32_t milliseconds) override;
};
