// SPDX-License-Identifier: GPL-3.0-or-later
// The sweeping thread.
#include "Sweeper.h"

#include <cstdio>

namespace {

// Between batches, so writers queued behind one get their turn.
constexpr auto Pause = std::chrono::milliseconds(5);

} // namespace

TSweeper::TSweeper(TScoreStore& store, std::function<int64_t()> now, int64_t tokenLifetime,
                   std::chrono::milliseconds interval)
    : Store(store), Now(std::move(now)), TokenLifetime(tokenLifetime), Interval(interval),
      Thread([this] { Run(); })
{
}

TSweeper::~TSweeper()
{
    {
        std::lock_guard lock(Mutex);
        Stopping = true;
    }
    Wake.notify_all();
    Thread.join();
}

int64_t TSweeper::Swept()
{
    std::lock_guard lock(Mutex);
    return SweptRows;
}

bool TSweeper::SweepAll(const std::function<int()>& batch)
{
    for (;;) {
        const int deleted = batch();
        std::unique_lock lock(Mutex);
        SweptRows += deleted;
        if (deleted < Batch)
            return true;
        if (Wake.wait_for(lock, Pause, [this] { return Stopping; }))
            return false;
    }
}

void TSweeper::Run()
{
    std::unique_lock lock(Mutex);
    while (!Stopping) {
        lock.unlock();
        std::string error;
        try {
            const int64_t now = Now();
            if (SweepAll([&] { return Store.SweepTokens(now, TokenLifetime, Batch); }))
                SweepAll([&] { return Store.SweepWeek(now, Batch); });
        } catch (const std::exception& e) {
            error = e.what();
        }
        lock.lock();
        // Said once, not at every round while the database is away.
        if (!error.empty() && error != LastError)
            std::fprintf(stderr, "zarvenok-server: sweeping failed: %s\n", error.c_str());
        LastError = error;
        Wake.wait_for(lock, Interval, [this] { return Stopping; });
    }
}
