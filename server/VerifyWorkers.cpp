// SPDX-License-Identifier: GPL-3.0-or-later
// The workers' loop.
#include "VerifyWorkers.h"

#include "QuietLog.h"
#include "JobCheck.h"

#include <unistd.h>

#include <cstdio>

namespace {

TQuietLog WorkerLog("verification: ");

std::string HostName()
{
    char name[256] = {};
    if (::gethostname(name, sizeof name - 1) != 0)
        return "host";
    return name;
}

} // namespace

int64_t EpochMilliseconds()
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::system_clock::now().time_since_epoch())
        .count();
}

TVerifyWorkers::TVerifyWorkers(TScoreStore& store, TVerifyConfig config) : Store(store), Config(std::move(config))
{
    if (Config.Workers > 0) {
        std::error_code error;
        const std::filesystem::path temp = std::filesystem::temp_directory_path(error);
        if (!error)
            RemoveStaleJobFolders(temp);
    }
    for (unsigned i = 0; i < Config.Workers; ++i)
        Threads.emplace_back([this, i] { Work(i); });
}

TVerifyWorkers::~TVerifyWorkers()
{
    {
        std::lock_guard lock(Mutex);
        Stopping = true;
    }
    Changed.notify_all();
    for (std::thread& thread : Threads)
        thread.join();
}

void TVerifyWorkers::Wake()
{
    {
        std::lock_guard lock(Mutex);
        ++Wakes;
    }
    Changed.notify_one();
}

void TVerifyWorkers::Work(unsigned index)
{
    const std::string name = HostName() + ":" + std::to_string(::getpid()) + "/" + std::to_string(index);
    for (;;) {
        unsigned seen = 0;
        {
            std::lock_guard lock(Mutex);
            if (Stopping)
                return;
            seen = Wakes;
        }
        bool worked = false;
        try {
            worked = RunOne(name);
        } catch (const std::exception& e) {
            // The database is away: the job's lease runs out and it is taken again.
            WorkerLog.Say(e.what());
        }
        if (worked)
            continue;
        std::unique_lock lock(Mutex);
        Changed.wait_for(lock, Config.Idle, [&] { return Stopping || Wakes != seen; });
    }
}

bool TVerifyWorkers::RunOne(const std::string& name)
{
    const int64_t now = EpochMilliseconds();
    const std::optional<TVerifyJob> job = Store.TakeJob(name, now, now + Config.Lease.count());
    if (!job)
        return false;
    const auto start = std::chrono::steady_clock::now();
    const TJobResult result = CheckJob(*job, Config.Verifiers, Config.Limits);
    const auto took = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start);
    if (result.Settled) {
        Store.FinishJob(*job, result.Outcome, EpochMilliseconds(), took.count());
    } else {
        WorkerLog.Say("score " + std::to_string(job->ScoreId) + ", attempt " + std::to_string(job->Attempts) + ": " +
                      result.Why);
        Store.FailAttempt(*job, result.Why, EpochMilliseconds());
    }
    return true;
}
