// SPDX-License-Identifier: GPL-3.0-or-later
// What the verification tests share: a real server on loopback with workers
// of its own or zarvenok-server verify-worker processes beside it, a game's
// score sent with its replay through the game's own client, and the table
// read once no score is pending.
#pragma once

#include "CurlHttpClient.h"
#include "ServerFixture.h"
#include "ServerRequests.h"
#include "TestReplay.h"
#include "VerifyWorkers.h"

#include <nlohmann/json.hpp>

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include <map>
#include <thread>

extern char** environ;

namespace verify_fixture {

using namespace std::chrono_literals;
using TClock = std::chrono::steady_clock;

class Verify : public Server {
protected:
    void StartVerifying(unsigned workers = 1, const std::string& verifier = FAKE_VERIFIER)
    {
        Start([this](TServerConfig& config) {
            config.ReplayQueued = [this] {
                if (Workers)
                    Workers->Wake();
            };
        });
        TVerifyConfig verify;
        verify.Workers = workers;
        verify.Verifiers = {verifier};
        verify.Limits.Wall = WallLimit;
        verify.Limits.CpuSeconds = CpuLimit;
        verify.Limits.MemoryBytes = std::size_t{256} << 20;
        verify.Lease = 10s;
        verify.Idle = 100ms;
        Workers = std::make_unique<TVerifyWorkers>(*Store, verify);
    }

    void TearDown() override
    {
        Http.reset();
        Workers.reset();
        Server::TearDown();
    }

    // The version query as a game starts, `gameSeconds` of play, then the
    // submission: the token it used.
    std::string Play(const std::string& name, int64_t score, int64_t gameSeconds)
    {
        const std::string token = IssueToken();
        Clock += gameSeconds + 1;
        EXPECT_EQ(Get(Submission(BuildScoreRecord(name, static_cast<int32_t>(score), token, ""))).Status, 200);
        return token;
    }

    THttpResult Upload(const std::string& token, const std::vector<uint8_t>& replay)
    {
        auto transfer = StartReplayUpload(Client, Base, token, replay);
        while (transfer->Poll().Outcome == THttpOutcome::Pending)
            std::this_thread::sleep_for(5ms);
        return transfer->Poll();
    }

    // Every score's row by its id, once none is pending any more.
    std::map<int64_t, nlohmann::json> SettledById()
    {
        const auto deadline = TClock::now() + 120s;
        for (;;) {
            std::map<int64_t, nlohmann::json> rows;
            const nlohmann::json doc = nlohmann::json::parse(Get("/api/scores?all=1").Body);
            bool pending = false;
            for (const auto& row : doc.at("scores")) {
                rows[row.at("id").get<int64_t>()] = row;
                pending = pending || row.at("state") == "pending";
            }
            if (!pending || TClock::now() > deadline)
                return rows;
            std::this_thread::sleep_for(50ms);
        }
    }

    // The same by name.
    std::map<std::string, nlohmann::json> Settled()
    {
        std::map<std::string, nlohmann::json> rows;
        for (const auto& [id, row] : SettledById())
            rows[row.at("name").get<std::string>()] = row;
        return rows;
    }

    TCurlHttpClient Client;
    std::unique_ptr<TVerifyWorkers> Workers;
    std::chrono::milliseconds WallLimit = 3s;
    unsigned CpuLimit = 2;
};

// zarvenok-server verify-worker processes on one PostgreSQL queue.
class WorkerProcesses : public Verify {
protected:
    // Limits of `seconds` of wall and processor time, and a lease a second longer.
    pid_t StartWorker(const std::string& verifier = FAKE_VERIFIER, int seconds = 4)
    {
        const std::string conninfo = Where;
        std::vector<std::string> args = {SERVER_PROGRAM, "verify-worker", "--postgresql", conninfo,
                                         "--verifier", verifier, "--verify-seconds", std::to_string(seconds),
                                         "--verify-cpu", std::to_string(seconds),
                                         "--verify-lease", std::to_string(seconds + 1), "--verify-poll", "0.1"};
        std::vector<char*> argv;
        for (std::string& arg : args)
            argv.push_back(arg.data());
        argv.push_back(nullptr);
        pid_t pid = 0;
        EXPECT_EQ(posix_spawn(&pid, SERVER_PROGRAM, nullptr, nullptr, argv.data(), environ), 0);
        Pids.push_back(pid);
        return pid;
    }

    void Stop(pid_t pid, int signal)
    {
        ::kill(pid, signal);
        int status = 0;
        ::waitpid(pid, &status, 0);
        std::erase(Pids, pid);
    }

    void TearDown() override
    {
        for (pid_t pid : std::vector<pid_t>(Pids))
            Stop(pid, SIGTERM);
        Verify::TearDown();
    }

    int64_t Number(const std::string& query) { return QueryNumber(Where, query); }

    std::vector<pid_t> Pids;
};


} // namespace verify_fixture
