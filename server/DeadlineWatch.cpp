// SPDX-License-Identifier: GPL-3.0-or-later
// The deadline thread.
#include "DeadlineWatch.h"

TDeadlineWatch::TDeadlineWatch() : Thread([this] { Watch(); }) {}

TDeadlineWatch::~TDeadlineWatch()
{
    {
        std::lock_guard lock(Mutex);
        Stopping = true;
    }
    Changed.notify_all();
    Thread.join();
}

uint64_t TDeadlineWatch::Arm(TClock::time_point deadline, std::function<void()> interrupt)
{
    uint64_t ticket = 0;
    {
        std::lock_guard lock(Mutex);
        ticket = Next++;
        Armed.emplace(ticket, TArmed{deadline, std::move(interrupt)});
    }
    Changed.notify_all();
    return ticket;
}

bool TDeadlineWatch::Disarm(uint64_t ticket)
{
    std::lock_guard lock(Mutex);
    const auto it = Armed.find(ticket);
    if (it == Armed.end())
        return false;
    const bool fired = it->second.Fired;
    Armed.erase(it);
    return fired;
}

void TDeadlineWatch::Watch()
{
    std::unique_lock lock(Mutex);
    while (!Stopping) {
        auto next = TClock::time_point::max();
        const auto now = TClock::now();
        for (auto& [ticket, armed] : Armed) {
            if (armed.Fired)
                continue;
            // Under the lock, so Disarm cannot return while it runs.
            if (armed.Deadline <= now) {
                armed.Fired = true;
                armed.Interrupt();
            } else {
                next = std::min(next, armed.Deadline);
            }
        }
        if (next == TClock::time_point::max())
            Changed.wait(lock);
        else
            Changed.wait_until(lock, next);
    }
}
