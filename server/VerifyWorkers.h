// SPDX-License-Identifier: GPL-3.0-or-later
// Threads that take verification jobs from the store's queue, check each
// replay in a child process and store the outcome with its score. A job is
// leased while it runs: should this process die, another worker (here or on
// another host sharing the PostgreSQL database) takes it when the lease
// runs out.
#pragma once

#include "ScoreStore.h"
#include "VerifierProcess.h"

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

struct TVerifyConfig {
    unsigned Workers = 1;
    // Tried in turn while one says the replay is not of its version.
    std::vector<std::string> Verifiers;
    TVerifierLimits Limits;
    // How long a taken job stays this worker's; past it, the job is taken
    // again. Longer than a run may take, with the store's calls.
    std::chrono::milliseconds Lease{60000};
    // Between looks at an empty queue, for jobs queued by other processes.
    std::chrono::milliseconds Idle{1000};
};

class TVerifyWorkers {
public:
    TVerifyWorkers(TScoreStore& store, TVerifyConfig config);
    // Waits for the jobs under way.
    ~TVerifyWorkers();
    TVerifyWorkers(const TVerifyWorkers&) = delete;
    TVerifyWorkers& operator=(const TVerifyWorkers&) = delete;

    // A job was queued: an idle worker looks at once.
    void Wake();

private:
    void Work(unsigned index);
    // One job, when there is one (true).
    bool RunOne(const std::string& name);

    TScoreStore& Store;
    const TVerifyConfig Config;
    std::mutex Mutex;
    std::condition_variable Changed;
    bool Stopping = false;
    unsigned Wakes = 0;
    std::vector<std::thread> Threads;
};

// Milliseconds since the epoch, as the leases count them.
int64_t EpochMilliseconds();
