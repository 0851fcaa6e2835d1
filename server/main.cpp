// zarvenok-server: the score server and web site.
#include "ScoreServer.h"
#include "ScoreStore.h"

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <string>
#include <string_view>

#include <unistd.h>

namespace {

void Usage()
{
    std::fputs(
        "usage: zarvenok-server [options] (--sqlite FILE | --postgresql CONNINFO)\n"
        "  --listen ADDRESS     numeric address to serve on (default 127.0.0.1)\n"
        "  --port N             port (default 8080; 0 picks a free one)\n"
        "  --threads N          serving threads and database connections (default 4)\n"
        "  --token-lifetime S   seconds a version token stays valid (default 3600)\n"
        "  --rate R             requests per second per client address (default 2; 0 = no limit)\n"
        "  --burst N            requests a client may make at once (default 30)\n"
        "  --connections-per-address N  open connections per client (default 32; 0 = no limit)\n"
        "  --trust-forwarded-for  client address from X-Forwarded-For (behind a proxy only)\n"
        "Prints \"listening on ADDRESS:PORT\" once it serves; stops on SIGINT or SIGTERM.\n",
        stderr);
}

bool ParseNumber(const char* text, double& out)
{
    char* end = nullptr;
    out = std::strtod(text, &end);
    return end != text && *end == '\0' && out >= 0;
}

} // namespace

int main(int argc, char** argv)
{
    TServerConfig config;
    EStoreBackend backend = EStoreBackend::Sqlite;
    std::string where;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--trust-forwarded-for") {
            config.TrustForwardedFor = true;
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
        } else if (arg == "--listen") {
            config.Address = value;
        } else if (arg == "--port" && numeric && number <= 65535) {
            config.Port = static_cast<uint16_t>(number);
        } else if (arg == "--threads" && numeric && number >= 1 && number <= 256) {
            config.Threads = static_cast<unsigned>(number);
        } else if (arg == "--token-lifetime" && numeric && number >= 1) {
            config.TokenLifetime = static_cast<int64_t>(number);
        } else if (arg == "--rate" && numeric) {
            config.RatePerSecond = number;
        } else if (arg == "--burst" && numeric && number >= 1) {
            config.Burst = number;
        } else if (arg == "--connections-per-address" && numeric) {
            config.ConnectionsPerAddress = static_cast<unsigned>(number);
        } else {
            std::fprintf(stderr, "zarvenok-server: bad option %s %s\n", argv[i - 1], value);
            Usage();
            return 2;
        }
    }
    if (where.empty()) {
        Usage();
        return 2;
    }

    // Signals are taken synchronously below; threads started later inherit
    // the mask, so none of them is interrupted.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);
    std::signal(SIGPIPE, SIG_IGN);

    try {
        TScoreStore store(backend, where, config.Threads);
        TScoreServer server(config, store);
        std::printf("listening on %s:%u\n", config.Address.c_str(), server.Port());
        std::fflush(stdout);
        int signal = 0;
        sigwait(&stopSignals, &signal);
        std::fprintf(stderr, "zarvenok-server: stopping\n");
    } catch (const std::exception& e) {
        std::fprintf(stderr, "zarvenok-server: %s\n", e.what());
        return 1;
    }
    return 0;
}
