// SPDX-License-Identifier: GPL-3.0-or-later
// The simulator's clock: time stands still until the simulator (or a
// sleep) moves it, so every run of a script is the same run.
#pragma once

#include "Platform.h"

#include <cstdint>

class THeadlessClock : public IClock {
public:
    explicit THeadlessClock(uint32_t start = 0) : Now_(start) {}

    uint32_t Now() override { return Now_; }
    void Sleep(uint32_t milliseconds) override { Advance(milliseconds); }

    // Wraps at 2^32 like the real count.
    void Advance(uint32_t milliseconds) { Now_ += milliseconds; }
    void SetNow(uint32_t milliseconds) { Now_ = milliseconds; }

private:
    uint32_t Now_;
};
