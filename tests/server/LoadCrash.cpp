// SPDX-License-Identifier: GPL-3.0-or-later
// The load, crash, seed and churn runs of server-loadrun (see LoadRuns.h).
#include "LoadRuns.h"

#include "LoadSupport.h"

#include "ScoreRecord.h"
#include "TextEncoding.h"

#include <signal.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace {

std::vector<std::string> ServerArgs(const TDatabase& db)
{
    std::vector<std::string> args = UnlimitedArgs();
    args.insert(args.end(), db.ServerArgs.begin(), db.ServerArgs.end());
    return args;
}

} // namespace

int Load(const std::string& binary, const std::string& backend, int serverCount, int clients,
         int submissions, int reads)
{
    TDatabase db(backend);
    std::vector<std::unique_ptr<TServerProcess>> servers;
    for (int i = 0; i < serverCount; ++i)
        servers.push_back(std::make_unique<TServerProcess>(binary, ServerArgs(db)));

    std::atomic<int> nextJob{0};
    std::atomic<int> refused{0};
    std::mutex merge;
    std::vector<double> latencies;
    const int jobs = submissions + reads;
    const auto start = TClock::now();
    std::vector<std::thread> threads;
    for (int c = 0; c < clients; ++c)
        threads.emplace_back([&] {
            TClient client;
            std::vector<double> mine;
            for (int job; (job = nextJob++) < jobs;) {
                // Submissions and reads interleave: every other job is a read
                // while both kinds remain.
                const int pairs = std::min(submissions, reads);
                const bool read = job < 2 * pairs ? job % 2 == 1 : job >= submissions + pairs;
                const int n = job < 2 * pairs ? job / 2 : job - pairs;
                const std::string& base = servers[static_cast<std::size_t>(n) % servers.size()]->Base;
                if (read) {
                    const std::string target = n % 2 == 0 ? "/cgi/version.pl?prg=Zarvenok&show&type=0&all=1"
                                                          : "/api/scores?period=week&all=1";
                    if (client.Get(base + target, &mine).Status != 200)
                        ++refused;
                } else {
                    const std::string& other =
                        servers[static_cast<std::size_t>(n + 1) % servers.size()]->Base;
                    const THttpReply reply = Submit(client, base, other, NameOf(n), 1000 + n, &mine);
                    if (reply.Status != 200 || reply.Body.rfind("OK", 0) != 0)
                        ++refused;
                }
            }
            std::lock_guard lock(merge);
            latencies.insert(latencies.end(), mine.begin(), mine.end());
        });
    for (auto& thread : threads)
        thread.join();
    const double seconds = std::chrono::duration<double>(TClock::now() - start).count();

    std::sort(latencies.begin(), latencies.end());
    const auto table = ReadTable(servers[0]->Base);
    std::printf("load: %s, %d server process%s, %d clients, %d submissions (2 requests each) and %d page reads\n",
                backend.c_str(), serverCount, serverCount == 1 ? "" : "es", clients, submissions, reads);
    std::printf("load: %zu requests in %.2f s = %.0f requests/s; latency ms p50 %.2f p90 %.2f p99 %.2f max %.2f\n",
                latencies.size(), seconds, static_cast<double>(latencies.size()) / seconds,
                Percentile(latencies, 50), Percentile(latencies, 90), Percentile(latencies, 99),
                latencies.empty() ? 0.0 : latencies.back());
    std::printf("load: %d refused or failed, %zu rows stored\n", refused.load(), table.size());

    bool ok = refused == 0 && table.size() == static_cast<std::size_t>(submissions);
    for (int n = 0; n < submissions && ok; ++n) {
        const auto row = table.find(NameOf(n));
        ok = row != table.end() && row->second == 1000 + n;
    }
    if (!ok) {
        std::fprintf(stderr, "load: FAILED: every submission must be answered OK and stored once\n");
        return 1;
    }
    return 0;
}

int Crash(const std::string& binary, const std::string& backend, int rounds, int killAfter)
{
    TDatabase db(backend);
    std::map<std::string, int64_t> answeredOk;
    std::map<std::string, int64_t> attempted;
    int serial = 0;
    for (int round = 1; round <= rounds; ++round) {
        TServerProcess server(binary, ServerArgs(db));
        std::atomic<bool> stop{false};
        std::atomic<int> oks{0};
        std::mutex merge;
        std::vector<std::thread> threads;
        for (int c = 0; c < 8; ++c)
            threads.emplace_back([&, c] {
                TClient client;
                std::map<std::string, int64_t> mineOk;
                std::map<std::string, int64_t> mineTried;
                for (int i = 0; !stop; ++i) {
                    const int n = serial + c * 100000 + i;
                    mineTried[NameOf(n)] = n;
                    const THttpReply reply = Submit(client, server.Base, server.Base, NameOf(n), n, nullptr);
                    if (reply.Status == 200 && reply.Body.rfind("OK", 0) == 0) {
                        mineOk[NameOf(n)] = n;
                        ++oks;
                    } else if (reply.Status != 0) {
                        stop = true;  // refused by a live server: a fault of its own
                        std::fprintf(stderr, "crash: a submission was refused with %ld %s\n",
                                     reply.Status, reply.Body.c_str());
                    } else {
                        break;  // the server is gone
                    }
                }
                std::lock_guard lock(merge);
                answeredOk.insert(mineOk.begin(), mineOk.end());
                attempted.insert(mineTried.begin(), mineTried.end());
            });
        const auto deadline = TClock::now() + std::chrono::seconds(120);
        while (oks < killAfter && !stop && TClock::now() < deadline)
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        const bool reached = oks >= killAfter;
        server.Stop(SIGKILL);
        stop = true;
        for (auto& thread : threads)
            thread.join();
        if (!reached)
            Die("crash: the submissions did not run as expected before the kill");
        serial += 1000000;
        std::printf("crash: round %d: SIGKILL after %d submissions answered OK\n", round, oks.load());
    }

    TServerProcess restarted(binary, ServerArgs(db));
    const auto table = ReadTable(restarted.Base);
    std::size_t missing = 0;
    for (const auto& [name, score] : answeredOk) {
        const auto row = table.find(name);
        if (row == table.end() || row->second != score)
            ++missing;
    }
    std::size_t strangers = 0;
    for (const auto& [name, score] : table)
        if (attempted.find(name) == attempted.end())
            ++strangers;
    std::printf("crash: %zu answered OK in all, %zu rows after restart (in-flight ones may be stored "
                "unanswered), %zu answered-OK rows missing, %zu rows never sent\n",
                answeredOk.size(), table.size(), missing, strangers);
    if (missing != 0 || strangers != 0 || answeredOk.empty()) {
        std::fprintf(stderr, "crash: FAILED\n");
        return 1;
    }
    return 0;
}

int Seed(const std::string& base, char** rest, int count)
{
    for (int i = 0; i + 2 < count; i += 3) {
        const THttpReply reply = SubmitScore(base, base, rest[i], std::atoi(rest[i + 1]), rest[i + 2]);
        if (reply.Status != 200)
            Die(std::string("seeding ") + rest[i] + " answered " + std::to_string(reply.Status) + " " + reply.Body);
    }
    return 0;
}


int Churn(const std::string& base, double seconds, const std::string& logPath)
{
    std::FILE* log = std::fopen(logPath.c_str(), "w");
    if (log == nullptr)
        Die("cannot write " + logPath);
    std::mutex merge;
    const auto until = TClock::now() + std::chrono::milliseconds(static_cast<int64_t>(seconds * 1000));
    auto record = [&](TClock::time_point start, const char* kind, long status, const std::string& name) {
        const double at = std::chrono::duration<double>(start.time_since_epoch()).count();
        const double ms = std::chrono::duration<double, std::milli>(TClock::now() - start).count();
        std::lock_guard lock(merge);
        std::fprintf(log, "%.4f %.2f %s %ld %s\n", at, ms, kind, status, name.c_str());
    };
    std::vector<std::thread> threads;
    // One reader of the home page alone, which shows whether it ever waits.
    threads.emplace_back([&] {
        TClient client("", false, 10);
        while (TClock::now() < until) {
            const auto start = TClock::now();
            record(start, "home", client.Get(base + "/").Status, "-");
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
    });
    for (int c = 0; c < 6; ++c)
        threads.emplace_back([&, c] {
            TClient client("", false, 10);
            for (int i = 0; TClock::now() < until; ++i) {
                const std::string name = NameOf(c * 1000000 + i);
                auto start = TClock::now();
                const THttpReply version = client.Get(base + "/cgi/version.pl?version&prg=Zarvenok");
                record(start, "version", version.Status, name);
                if (version.Status == 200) {
                    const std::string entry = BuildScoreRecord(name, 1000 + i, ReplyField(version.Body, 5), "OUT");
                    start = TClock::now();
                    const THttpReply stored =
                        client.Get(base + "/cgi/version.pl?hs&prg=Zarvenok&inf=" + EncodeLine(entry));
                    record(start, "submit", stored.Status, name);
                }
                start = TClock::now();
                record(start, "table", client.Get(base + "/api/scores?all=1").Status, "-");
                // Not a flood: a steady trickle that shows each moment.
                std::this_thread::sleep_for(std::chrono::milliseconds(20));
            }
        });
    for (auto& thread : threads)
        thread.join();
    std::fclose(log);
    return 0;
}

int Sweep(const std::string& binary, const std::string& backend, int64_t tokens, double seconds)
{
    TDatabase db(backend);
    // Started once to make the tables, then given a backlog of expired tokens.
    TServerProcess(binary, ServerArgs(db)).Stop(SIGTERM);
    const std::string n = std::to_string(tokens);
    db.Execute(db.Postgres() ? "INSERT INTO tokens (token, issued_at, used) SELECT md5(g::text), 1, 0 "
                               "FROM generate_series(1, " + n + ") g"
                             : "WITH RECURSIVE g(x) AS (SELECT 1 UNION ALL SELECT x + 1 FROM g WHERE x < " + n +
                                   ") INSERT INTO tokens (token, issued_at, used) SELECT printf('%032x', x), 1, 0 FROM g");
    TServerProcess server(binary, ServerArgs(db));
    const auto until = TClock::now() + std::chrono::milliseconds(static_cast<int64_t>(seconds * 1000));
    std::mutex merge;
    std::vector<double> latencies;
    std::atomic<int> refused{0};
    std::vector<std::thread> threads;
    for (int c = 0; c < 8; ++c)
        threads.emplace_back([&, c] {
            TClient client;
            std::vector<double> mine;
            for (int i = 0; TClock::now() < until; ++i) {
                const THttpReply reply = Submit(client, server.Base, server.Base, NameOf(c * 1000000 + i), i, &mine);
                refused += reply.Status != 200;
            }
            std::lock_guard lock(merge);
            latencies.insert(latencies.end(), mine.begin(), mine.end());
        });
    for (auto& thread : threads)
        thread.join();
    const int64_t left = db.Number("SELECT COUNT(*) FROM tokens WHERE issued_at = 1");
    std::printf("sweep: %s, %lld expired tokens; submissions for %.0f s beside the sweep: %s, %d refused; %lld "
                "expired tokens left\n",
                backend.c_str(), static_cast<long long>(tokens), seconds, Percentiles(latencies).c_str(),
                refused.load(), static_cast<long long>(left));
    return refused == 0 ? 0 : 1;
}
