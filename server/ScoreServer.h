// The HTTP side: libmicrohttpd serving the queries, the table and the home
// page from a score store.
#pragma once

#include "RateLimiter.h"
#include "ScoreStore.h"

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

struct MHD_Daemon;
struct MHD_Connection;

struct TServerConfig {
    std::string Address = "127.0.0.1";
    uint16_t Port = 8080;            // 0: any free port (see TScoreServer::Port)
    unsigned Threads = 4;
    int64_t TokenLifetime = 3600;    // seconds
    double RatePerSecond = 2;        // per client address; 0 turns the limit off
    double Burst = 30;
    unsigned ConnectionsPerAddress = 32;  // 0: no limit
    // Take the client's address from the last X-Forwarded-For entry, for a
    // server that only a reverse proxy talks to.
    bool TrustForwardedFor = false;
    std::function<int64_t()> Now;    // seconds since the epoch; the system clock when empty
};

class TScoreServer {
public:
    // Starts serving at once; throws std::runtime_error when it cannot.
    TScoreServer(TServerConfig config, TScoreStore& store);
    ~TScoreServer();
    TScoreServer(const TScoreServer&) = delete;
    TScoreServer& operator=(const TScoreServer&) = delete;

    uint16_t Port() const;

    struct TReply {
        unsigned Status = 200;
        std::string_view Type;
        std::string Body;
        bool RetryLater = false;
    };
    // The reply to one GET of `target` (path and raw query).
    TReply Answer(MHD_Connection* connection, const std::string& target);

private:
    std::string ClientAddress(MHD_Connection* connection) const;
    int64_t Now() const;

    TServerConfig Config;
    TScoreStore& Store;
    TRateLimiter Limiter;
    MHD_Daemon* Daemon = nullptr;
};

// A fresh token: TokenLength hex digits from the system's random source.
std::string NewToken();
