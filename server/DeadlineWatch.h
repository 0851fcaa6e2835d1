// SPDX-License-Identifier: GPL-3.0-or-later
// Interrupts database calls that run past their deadline. A database that
// is frozen, or a network that drops packets, leaves a blocking call
// waiting for ever: the server's own statement time-out cannot fire when
// the server is the part that stopped. So the client side cuts the call
// off itself, through the interrupt given for it.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <thread>

class TDeadlineWatch {
public:
    using TClock = std::chrono::steady_clock;

    TDeadlineWatch();
    ~TDeadlineWatch();
    TDeadlineWatch(const TDeadlineWatch&) = delete;
    TDeadlineWatch& operator=(const TDeadlineWatch&) = delete;

    // Calls `interrupt` once, on the watch's thread, if the deadline passes
    // before Disarm. Returns the ticket for Disarm.
    uint64_t Arm(TClock::time_point deadline, std::function<void()> interrupt);
    // After it returns the interrupt is not running and will not run.
    // True when it has fired.
    bool Disarm(uint64_t ticket);

private:
    struct TArmed {
        TClock::time_point Deadline;
        std::function<void()> Interrupt;
        bool Fired = false;
    };
    void Watch();

    std::mutex Mutex;
    std::condition_variable Changed;
    std::map<uint64_t, TArmed> Armed;
    uint64_t Next = 1;
    bool Stopping = false;
    std::thread Thread;
};
