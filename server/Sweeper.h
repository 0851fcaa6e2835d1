// SPDX-License-Identifier: GPL-3.0-or-later
// Housekeeping outside requests: expired tokens and rows that have left the
// weekly table are deleted in small batches on a thread of their own, so
// no request ever waits for a large delete.
#pragma once

#include "ScoreStore.h"

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

class TSweeper {
public:
    // Sweeps every `interval`, first at once. `now` gives seconds since the
    // epoch.
    TSweeper(TScoreStore& store, std::function<int64_t()> now, int64_t tokenLifetime,
             std::chrono::milliseconds interval);
    ~TSweeper();
    TSweeper(const TSweeper&) = delete;
    TSweeper& operator=(const TSweeper&) = delete;

    // Rows deleted so far.
    int64_t Swept();

    static constexpr int Batch = 500;

private:
    void Run();
    // Batches until one comes back short; false when stopped.
    bool SweepAll(const std::function<int()>& batch);

    TScoreStore& Store;
    std::function<int64_t()> Now;
    const int64_t TokenLifetime;
    const std::chrono::milliseconds Interval;
    std::mutex Mutex;
    std::condition_variable Wake;
    bool Stopping = false;
    int64_t SweptRows = 0;
    std::string LastError;
    std::thread Thread;
};
