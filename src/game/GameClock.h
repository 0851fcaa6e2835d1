// SPDX-License-Identifier: GPL-3.0-or-later
// The game's clock: the platform's, read once per step of the loop. While a
// step runs (an event, the due timers and the frame) every reading is the
// one taken at its start, so what a step did depends on that one reading
// alone and a replay that gives the step the same reading does the same.
// Outside a step it reads the platform's clock as it goes. A replay pins it
// to the recorded readings instead.
#pragma once

#include "Platform.h"

#include <cstdint>
#include <optional>

class TGameClock : public IClock {
public:
    explicit TGameClock(IClock& source) : Source_(source) {}

    uint32_t Now() override
    {
        if (Depth_ > 0) return Latched_;
        return Pinned_ ? *Pinned_ : Source_.Now();
    }
    // The time the step saw moves on with the sleep, as the platform's does.
    void Sleep(uint32_t milliseconds) override
    {
        Source_.Sleep(milliseconds);
        Latched_ += milliseconds;
    }

    // Steps nest: the outermost one takes the reading.
    void BeginStep()
    {
        if (Depth_++ == 0) Latched_ = Pinned_ ? *Pinned_ : Source_.Now();
    }
    void EndStep() { --Depth_; }

    // From now on each step reads `reading` (a replay's recorded time);
    // Unpin gives the platform's clock back.
    void Pin(uint32_t reading) { Pinned_ = reading; }
    void Unpin() { Pinned_.reset(); }

private:
    IClock& Source_;
    uint32_t Latched_ = 0;
    std::optional<uint32_t> Pinned_;
    int Depth_ = 0;
};

// One step of the loop, for the scope it lives in.
class TClockStep {
public:
    explicit TClockStep(TGameClock& clock) : Clock_(clock) { Clock_.BeginStep(); }
    ~TClockStep() { Clock_.EndStep(); }
    TClockStep(const TClockStep&) = delete;
    TClockStep& operator=(const TClockStep&) = delete;

private:
    TGameClock& Clock_;
};
