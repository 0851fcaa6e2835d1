// SPDX-License-Identifier: GPL-3.0-or-later
// The threads that talk to the database, apart from the threads that serve
// HTTP: a request that needs the database waits here, so one that does not
// (the home page) never waits behind it. The queue is bounded, and a job
// that waited too long is not run, so a database that stops answering
// costs each request a bounded wait and an honest refusal.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

class TWorkQueue {
public:
    using TClock = std::chrono::steady_clock;
    // Called once on a worker: `run` is false when the job waited past its
    // time or the queue is stopping, and the job should only answer.
    using TJob = std::function<void(bool run)>;

    TWorkQueue(unsigned workers, std::size_t capacity, std::chrono::milliseconds maxWait);
    // Stops.
    ~TWorkQueue();
    TWorkQueue(const TWorkQueue&) = delete;
    TWorkQueue& operator=(const TWorkQueue&) = delete;

    // False, and the job is not kept, when the queue is full or stopping.
    bool Push(TJob job);
    // Refuses every job still queued, lets the running ones finish and joins
    // the workers; later pushes fail.
    void Stop();

private:
    struct TQueued {
        TJob Job;
        TClock::time_point Since;
    };
    void Work();

    const std::size_t Capacity;
    const std::chrono::milliseconds MaxWait;
    std::mutex Mutex;
    std::condition_variable Ready;
    std::deque<TQueued> Jobs;
    bool Stopping = false;
    std::vector<std::thread> Workers;
};
