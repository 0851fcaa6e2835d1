// SPDX-License-Identifier: GPL-3.0-or-later
// The simulator's event queue.
#include "HeadlessEvents.h"

#include <algorithm>

void THeadlessEvents::Push(TInputEvent::TKind kind)
{
    TInputEvent event;
    event.Kind = kind;
    Queue_.push_back(event);
}

bool THeadlessEvents::WaitEvent(TInputEvent& event, uint32_t timeoutMs)
{
    if (!Queue_.empty()) {
        event = Queue_.front();
        Queue_.pop_front();
        return true;
    }
    uint32_t step = timeoutMs;
    if (WaitLimit_) {
        // Times compare modulo 2^32; a limit already passed allows no wait.
        const uint32_t left = *WaitLimit_ - Clock_.Now();
        step = left > 0x7FFFFFFFu ? 0 : std::min(step, left);
    }
    Clock_.Advance(step);
    return false;
}
