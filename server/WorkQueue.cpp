// SPDX-License-Identifier: GPL-3.0-or-later
// The database workers.
#include "WorkQueue.h"

TWorkQueue::TWorkQueue(unsigned workers, std::size_t capacity, std::chrono::milliseconds maxWait)
    : Capacity(capacity), MaxWait(maxWait)
{
    for (unsigned i = 0; i < std::max(1U, workers); ++i)
        Workers.emplace_back([this] { Work(); });
}

TWorkQueue::~TWorkQueue()
{
    Stop();
}

void TWorkQueue::Stop()
{
    {
        std::lock_guard lock(Mutex);
        Stopping = true;
    }
    Ready.notify_all();
    for (auto& worker : Workers)
        if (worker.joinable())
            worker.join();
}

bool TWorkQueue::Push(TJob job)
{
    {
        std::lock_guard lock(Mutex);
        if (Stopping || Jobs.size() >= Capacity)
            return false;
        Jobs.push_back({std::move(job), TClock::now()});
    }
    Ready.notify_one();
    return true;
}

void TWorkQueue::Work()
{
    std::unique_lock lock(Mutex);
    for (;;) {
        Ready.wait(lock, [this] { return Stopping || !Jobs.empty(); });
        if (Jobs.empty())
            return;
        TQueued queued = std::move(Jobs.front());
        Jobs.pop_front();
        const bool run = !Stopping && TClock::now() - queued.Since <= MaxWait;
        lock.unlock();
        queued.Job(run);
        lock.lock();
    }
}
