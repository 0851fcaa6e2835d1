// SPDX-License-Identifier: GPL-3.0-or-later
// What the runs of server-loadrun share: a database for the run, a real
// server process, a client that keeps its connection (or not) and may speak
// from any loopback address, and the figures.
#pragma once

#include "Support.h"

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

using TClock = std::chrono::steady_clock;

inline constexpr int SkipCode = 77;

[[noreturn]] void Die(const std::string& message);

// A database for the run: where it is and how the server is told.
// BACKEND is "sqlite" (a file in a fresh folder) or "postgresql" (a fresh
// database on the cluster named by ZARVENOK_TEST_POSTGRESQL); without that
// cluster the run exits with SkipCode, or fails under CI.
class TDatabase {
public:
    explicit TDatabase(const std::string& backend);
    ~TDatabase();
    TDatabase(const TDatabase&) = delete;
    TDatabase& operator=(const TDatabase&) = delete;

    std::vector<std::string> ServerArgs;
    // Runs SQL straight on the database, beside the server; Number throws
    // when the query fails.
    void Execute(const std::string& sql);
    int64_t Number(const std::string& sql);
    bool Postgres() const { return Pg.has_value(); }

private:
    std::filesystem::path Dir;
    std::optional<TPostgresDatabase> Pg;
};

// The options of a run that measures the server itself: no per-client
// limits in the way (or ZARVENOK_LOADRUN_SERVER_ARGS, for an older server).
std::vector<std::string> UnlimitedArgs();

// One zarvenok-server process on a free port of its own choosing, listening
// on 127.0.0.1; it never outlives this program.
class TServerProcess {
public:
    TServerProcess(const std::string& binary, const std::vector<std::string>& args);
    ~TServerProcess() { Stop(SIGTERM_); }
    TServerProcess(const TServerProcess&) = delete;
    TServerProcess& operator=(const TServerProcess&) = delete;

    void Stop(int signal);
    std::string Base;
    int Port = 0;

private:
    static constexpr int SIGTERM_ = 15;
    int Pid = -1;
};

// A libcurl client. It keeps one connection open, as a browser or the game
// would, unless told to open a fresh one each time; it speaks from `source`
// (any 127.x.y.z) when one is given.
class TClient {
public:
    explicit TClient(const std::string& source = "", bool fresh = false, long timeoutSeconds = 30);
    ~TClient();
    TClient(const TClient&) = delete;
    TClient& operator=(const TClient&) = delete;

    // Appends the time taken in milliseconds to `latencies` when given.
    THttpReply Get(const std::string& url, std::vector<double>* latencies = nullptr);

private:
    static std::size_t Collect(char* data, std::size_t size, std::size_t count, void* out);
    void* Curl;
    std::string Body;
};

// Distinct letters-only names: "L" and the number in base 26.
std::string NameOf(int n);

// Version from one server, submission to another (or the same).
THttpReply Submit(TClient& client, const std::string& versionBase, const std::string& submitBase,
                  const std::string& name, int score, std::vector<double>* latencies);

// Every row of the all-time table, name to score.
std::map<std::string, int64_t> ReadTable(const std::string& base);

// "p50 1.23 p90 ... p99 ... max ..." in milliseconds; sorts `latencies`.
std::string Percentiles(std::vector<double>& latencies);
double Percentile(const std::vector<double>& sorted, double p);
