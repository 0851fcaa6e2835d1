// SPDX-License-Identifier: GPL-3.0-or-later
// What keeps slow and greedy clients from holding the server: a cap on the
// connections one address group may have open, and an absolute deadline for
// a request to arrive whole, however slowly its bytes trickle in. The HTTP
// library's own time-out restarts at every byte; this one does not.
#pragma once

#include "ClientGroup.h"

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <mutex>
#include <string>
#include <thread>
#include <unordered_map>

struct sockaddr;

class TConnectionGuard {
public:
    using TClock = std::chrono::steady_clock;

    // `perGroup` 0: no cap. Starts the thread that enforces the deadline.
    TConnectionGuard(unsigned perGroup, TGroupPrefixes prefixes, std::chrono::milliseconds deadline);
    ~TConnectionGuard();
    TConnectionGuard(const TConnectionGuard&) = delete;
    TConnectionGuard& operator=(const TConnectionGuard&) = delete;

    // A connection was accepted on socket `fd`; one over its group's cap is
    // shut down at once (the server then closes it). False for those.
    bool Opened(const void* connection, int fd, const sockaddr* peer);
    void Closed(const void* connection);
    // Its request has arrived whole: the deadline stops while the server
    // works on it.
    void RequestArrived(const void* connection);
    // The reply is on its way: the next request, or the rest of this one's
    // sending, has a fresh deadline.
    void Answered(const void* connection);

    std::size_t OpenConnections();
    std::size_t Reaped();

private:
    struct TEntry {
        int Fd = -1;
        std::string Group;
        TClock::time_point Since;
        bool Busy = false;
        bool Shut = false;
    };
    void Reap();
    static void Shut(TEntry& entry);

    const unsigned PerGroup;
    const TGroupPrefixes Prefixes;
    const std::chrono::milliseconds Deadline;
    std::mutex Mutex;
    std::condition_variable Wake;
    bool Stopping = false;
    std::size_t ReapedCount = 0;
    std::unordered_map<const void*, TEntry> Entries;
    std::unordered_map<std::string, unsigned> Groups;
    std::thread Reaper;
};
