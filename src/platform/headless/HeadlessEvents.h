// SPDX-License-Identifier: GPL-3.0-or-later
// The simulator's event source: a queue of input and window events that the
// simulator fills. Waiting on an empty queue lets fake time pass instead.
#pragma once

#include "HeadlessClock.h"
#include "Platform.h"

#include <cstdint>
#include <deque>
#include <optional>

class THeadlessEvents : public IEventSource {
public:
    explicit THeadlessEvents(THeadlessClock& clock) : Clock_(clock) {}

    // Returns the next queued event at once; with none, the clock moves on by
    // the timeout (but not past the wait limit) and false is returned.
    bool WaitEvent(TInputEvent& event, uint32_t timeoutMs) override;

    void Push(const TInputEvent& event) { Queue_.push_back(event); }
    void Push(TInputEvent::TKind kind);
    bool Empty() const { return Queue_.empty(); }
    size_t Size() const { return Queue_.size(); }
    void Clear() { Queue_.clear(); }

    // A clock time that waiting never passes (the end of a simulated wait);
    // empty: no limit.
    void SetWaitLimit(std::optional<uint32_t> clockTime) { WaitLimit_ = clockTime; }

private:
    THeadlessClock& Clock_;
    std::deque<TInputEvent> Queue_;
    std::optional<uint32_t> WaitLimit_;
};
