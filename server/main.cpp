// SPDX-License-Identifier: GPL-3.0-or-later
// zarvenok-server: the score server and web site.
#include "HealthProbe.h"
#include "ScoreServer.h"
#include "ScoreStore.h"
#include "ServiceNotify.h"
#include "VerifyWorkers.h"

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>

#include <sys/resource.h>
#include <unistd.h>

namespace {

void Usage()
{
    std::fputs(
        "usage: zarvenok-server [options] (--sqlite FILE | --postgresql CONNINFO)\n"
        "       zarvenok-server verify-worker [verification options] --postgresql CONNINFO\n"
        "       zarvenok-server --check [--listen ADDRESS] [--port N]\n"
        "  --listen ADDRESS     numeric address to serve on (default 127.0.0.1)\n"
        "  --port N             port (default 8080; 0 picks a free one)\n"
        "  --threads N          threads and connections that use the database (default 4)\n"
        "  --http-threads N     threads that serve HTTP (default 2)\n"
        "  --database-timeout S seconds a database operation may take, connecting included (default 5)\n"
        "  --token-lifetime S   seconds a version token stays valid (default 3600)\n"
        "  --rate R             requests per second per client address (default 2; 0 = no limit)\n"
        "  --burst N            requests a client may make at once (default 30)\n"
        "  --token-rate R       tokens per second per address group (default 0.05; 0 = no limit)\n"
        "  --token-burst N      tokens an address group may have at once (default 20)\n"
        "  --connections-per-client N  open connections per address group (default 32; 0 = no limit)\n"
        "  --client-prefix-v4 N  bits that make an IPv4 address group (default 24; 32 = each address)\n"
        "  --client-prefix-v6 N  bits that make an IPv6 address group (default 64; 128 = each address)\n"
        "  --max-connections N  open connections in all (default 4096; the file limit is raised to fit)\n"
        "  --request-deadline S seconds for a request to arrive whole (default 10)\n"
        "  --sweep-interval S   seconds between sweeps of expired tokens and old weekly rows (default 60)\n"
        "  --trust-forwarded-for  client address from X-Forwarded-For (behind a proxy only)\n"
        "  --play FOLDER        the browser game to serve at /play/ (default: the installed one,\n"
        "                       when there is one; \"none\": no browser game)\n"
        "  --check              ask a running server's /health; exit 0 when it answers 200\n"
        "Verification of uploaded replays:\n"
        "  --workers N          worker threads (default 1; 0 = none here; at most 1 on SQLite)\n"
        "  --verifier PATH      the verifier program; given again for each further game\n"
        "                       version (default: zarvenok-verifier beside this program,\n"
        "                       else the one installed with it)\n"
        "  --verify-seconds S   wall time a re-run may take (default 30)\n"
        "  --verify-cpu S       processor time a re-run may take (default 20)\n"
        "  --verify-memory MIB  memory a re-run may take (default 512)\n"
        "  --verify-lease S     how long a taken job is a worker's before another takes it\n"
        "                       (default: the wall time and 30 s)\n"
        "  --verify-poll S      seconds between looks at an empty queue (default 1)\n"
        "verify-worker runs only workers (no HTTP), for hosts that share a PostgreSQL queue.\n"
        "Prints \"listening on ADDRESS:PORT\" once it serves; stops on SIGINT or SIGTERM.\n"
        "Under systemd with Type=notify and WatchdogSec= it reports readiness and keeps\n"
        "the watchdog fed only while its own /health answers 200.\n",
        stderr);
}

bool ParseNumber(const char* text, double& out)
{
    char* end = nullptr;
    out = std::strtod(text, &end);
    return end != text && *end == '\0' && out >= 0;
}

std::chrono::milliseconds Seconds(double seconds)
{
    return std::chrono::milliseconds(static_cast<int64_t>(seconds * 1000));
}

// Each open connection is a file; so is each database connection, the
// listening socket, the poll sets and the log. The soft limit (1,024 on
// most systems) is raised as far as the hard one allows, and the
// connection cap brought down to fit when that is not enough.
void FitFileLimit(TServerConfig& config)
{
    const rlim_t reserve = 64 + 4 * static_cast<rlim_t>(config.Threads + config.HttpThreads);
    const rlim_t wanted = config.MaxConnections + reserve;
    rlimit limit{};
    if (getrlimit(RLIMIT_NOFILE, &limit) != 0)
        return;
    if (limit.rlim_cur < wanted) {
        limit.rlim_cur = limit.rlim_max == RLIM_INFINITY ? wanted : std::min(wanted, limit.rlim_max);
        setrlimit(RLIMIT_NOFILE, &limit);
        getrlimit(RLIMIT_NOFILE, &limit);
    }
    if (limit.rlim_cur < wanted) {
        const auto fits = static_cast<unsigned>(limit.rlim_cur > 2 * reserve ? limit.rlim_cur - reserve : limit.rlim_cur / 2);
        std::fprintf(stderr, "zarvenok-server: the file limit (%llu) allows %u connections, not %u\n",
                     static_cast<unsigned long long>(limit.rlim_cur), fits, config.MaxConnections);
        config.MaxConnections = fits;
    }
}

// The verifier beside this program (a build tree), else the one installed
// with it, when there is one.
std::string DefaultVerifier()
{
    std::error_code error;
    const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error)
        return {};
    for (const std::filesystem::path& verifier :
         {self.parent_path() / "zarvenok-verifier",
          (self.parent_path() / ZARVENOK_SERVER_INSTALLED_VERIFIER).lexically_normal()}) {
        if (std::filesystem::exists(verifier, error))
            return verifier.string();
    }
    return {};
}

// The browser game's folder: the one asked for, else the installed one
// beside the program when it is there.
std::filesystem::path PlayFolder(const std::string& asked)
{
    if (asked == "none") return {};
    if (!asked.empty()) return asked;
    std::error_code error;
    const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error) return {};
    const std::filesystem::path installed = (program.parent_path() / ZARVENOK_SERVER_INSTALLED_PLAY).lexically_normal();
    return std::filesystem::is_regular_file(installed / "index.html", error) ? installed : std::filesystem::path();
}

} // namespace

int main(int argc, char** argv)
{
    TServerConfig config;
    TVerifyConfig verify;
    bool workerOnly = false;
    bool leaseGiven = false;
    if (argc > 1 && std::string_view(argv[1]) == "verify-worker") {
        workerOnly = true;
        --argc;
        ++argv;
    }
    EStoreBackend backend = EStoreBackend::Sqlite;
    std::string where;
    double databaseTimeout = 5;
    bool check = false;
    std::string play;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--trust-forwarded-for") {
            config.TrustForwardedFor = true;
            continue;
        }
        if (arg == "--check") {
            check = true;
            continue;
        }
        if (arg == "--help" || arg == "-h") {
            Usage();
            return 0;
        }
        if (i + 1 >= argc) {
            Usage();
            return 2;
        }
        const char* value = argv[++i];
        double number = 0;
        const bool numeric = ParseNumber(value, number);
        if (arg == "--sqlite") {
            backend = EStoreBackend::Sqlite;
            where = value;
        } else if (arg == "--postgresql") {
            backend = EStoreBackend::PostgreSql;
            where = value;
        } else if (arg == "--play") {
            play = value;
        } else if (arg == "--listen") {
            config.Address = value;
        } else if (arg == "--port" && numeric && number <= 65535) {
            config.Port = static_cast<uint16_t>(number);
        } else if (arg == "--threads" && numeric && number >= 1 && number <= 256) {
            config.Threads = static_cast<unsigned>(number);
        } else if (arg == "--http-threads" && numeric && number >= 1 && number <= 64) {
            config.HttpThreads = static_cast<unsigned>(number);
        } else if (arg == "--database-timeout" && numeric && number >= 0.1 && number <= 600) {
            databaseTimeout = number;
        } else if (arg == "--token-lifetime" && numeric && number >= 1) {
            config.TokenLifetime = static_cast<int64_t>(number);
        } else if (arg == "--rate" && numeric) {
            config.RatePerSecond = number;
        } else if (arg == "--burst" && numeric && number >= 1) {
            config.Burst = number;
        } else if (arg == "--token-rate" && numeric) {
            config.TokenRatePerSecond = number;
        } else if (arg == "--token-burst" && numeric && number >= 1) {
            config.TokenBurst = number;
        } else if ((arg == "--connections-per-client" || arg == "--connections-per-address") && numeric) {
            config.ConnectionsPerGroup = static_cast<unsigned>(number);
        } else if (arg == "--client-prefix-v4" && numeric && number >= 1 && number <= 32) {
            config.GroupPrefixes.V4 = static_cast<unsigned>(number);
        } else if (arg == "--client-prefix-v6" && numeric && number >= 1 && number <= 128) {
            config.GroupPrefixes.V6 = static_cast<unsigned>(number);
        } else if (arg == "--max-connections" && numeric && number >= 1 && number <= 1'000'000) {
            config.MaxConnections = static_cast<unsigned>(number);
        } else if (arg == "--request-deadline" && numeric && number >= 0.1 && number <= 3600) {
            config.RequestDeadline = Seconds(number);
        } else if (arg == "--sweep-interval" && numeric && number <= 86400) {
            config.SweepInterval = Seconds(number);
        } else if (arg == "--workers" && numeric && number <= 64) {
            verify.Workers = static_cast<unsigned>(number);
        } else if (arg == "--verifier" && *value != '\0') {
            verify.Verifiers.emplace_back(value);
        } else if (arg == "--verify-seconds" && numeric && number >= 0.1 && number <= 3600) {
            verify.Limits.Wall = Seconds(number);
        } else if (arg == "--verify-cpu" && numeric && number >= 1 && number <= 3600) {
            verify.Limits.CpuSeconds = static_cast<unsigned>(number);
        } else if (arg == "--verify-memory" && numeric && number >= 16 && number <= 65536) {
            verify.Limits.MemoryBytes = static_cast<std::size_t>(number) << 20;
        } else if (arg == "--verify-lease" && numeric && number >= 0.1 && number <= 86400) {
            verify.Lease = Seconds(number);
            leaseGiven = true;
        } else if (arg == "--verify-poll" && numeric && number >= 0.01 && number <= 3600) {
            verify.Idle = Seconds(number);
        } else {
            std::fprintf(stderr, "zarvenok-server: bad option %s %s\n", argv[i - 1], value);
            Usage();
            return 2;
        }
    }
    if (check) {
        const THealth health = ProbeHealth(config.Address, config.Port, Seconds(databaseTimeout + 1));
        std::printf("%s\n", health.Detail.c_str());
        return health.Status == 200 ? 0 : 1;
    }
    if (where.empty()) {
        Usage();
        return 2;
    }
    if (!leaseGiven)
        verify.Lease = verify.Limits.Wall + std::chrono::seconds(30);
    if (verify.Lease <= verify.Limits.Wall) {
        // A job still running would be taken by another worker.
        std::fprintf(stderr, "zarvenok-server: --verify-lease must be longer than --verify-seconds\n");
        return 2;
    }
    if (verify.Verifiers.empty())
        if (std::string found = DefaultVerifier(); !found.empty())
            verify.Verifiers.push_back(std::move(found));
    if (verify.Verifiers.empty() && verify.Workers > 0) {
        std::fprintf(stderr, "zarvenok-server: no verifier program (--verifier); replays are kept unverified\n");
        verify.Workers = 0;
    }
    if (workerOnly && verify.Workers == 0) {
        std::fprintf(stderr, "zarvenok-server: a verify-worker needs a verifier and at least one worker\n");
        return 2;
    }
    if (backend == EStoreBackend::Sqlite && (workerOnly || verify.Workers > 1)) {
        // SQLite takes one writer at a time: one worker, inside the server.
        std::fprintf(stderr, "zarvenok-server: on SQLite the server runs one worker itself\n");
        return 2;
    }
    config.PlayFolder = PlayFolder(play);

    // Signals are taken synchronously below; threads started later inherit
    // the mask, so none of them is interrupted.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);
    std::signal(SIGPIPE, SIG_IGN);
    FitFileLimit(config);

    TServiceNotifier manager;
    try {
        if (workerOnly) {
            TScoreStore store(backend, where, std::max(1U, verify.Workers), Seconds(databaseTimeout));
            TVerifyWorkers workers(store, verify);
            std::printf("verifying with %u workers\n", verify.Workers);
            std::fflush(stdout);
            manager.Ready();
            int signal = 0;
            sigwait(&stopSignals, &signal);
            manager.Stopping();
            std::fprintf(stderr, "zarvenok-server: stopping\n");
            return 0;
        }
        // One connection more than the threads that serve: the sweeper's;
        // and one for each worker.
        TScoreStore store(backend, where, config.Threads + 1 + verify.Workers, Seconds(databaseTimeout));
        std::unique_ptr<TVerifyWorkers> workers;
        if (verify.Workers > 0) {
            workers = std::make_unique<TVerifyWorkers>(store, verify);
            config.ReplayQueued = [&workers] { workers->Wake(); };
        }
        TScoreServer server(config, store);
        std::printf("listening on %s:%u\n", config.Address.c_str(), server.Port());
        std::fflush(stdout);
        manager.Ready();
        const auto interval = manager.WatchdogInterval();
        for (;;) {
            int signal = 0;
            if (interval.count() <= 0) {
                sigwait(&stopSignals, &signal);
                break;
            }
            const timespec wait{static_cast<time_t>(interval.count() / 1000),
                                static_cast<long>(interval.count() % 1000) * 1'000'000};
            signal = sigtimedwait(&stopSignals, nullptr, &wait);
            if (signal > 0)
                break;
            // Fed only while a request the whole way through succeeds: a
            // server that cannot reach its database for the watchdog's time
            // is restarted, as is one that stopped serving.
            const THealth health = ProbeHealth(config.Address, server.Port(), interval);
            if (health.Status == 200) {
                manager.KeepAlive();
                manager.Status("serving");
            } else {
                manager.Status("unhealthy: " + health.Detail);
            }
        }
        manager.Stopping();
        std::fprintf(stderr, "zarvenok-server: stopping\n");
    } catch (const std::exception& e) {
        std::fprintf(stderr, "zarvenok-server: %s\n", e.what());
        return 1;
    }
    return 0;
}
