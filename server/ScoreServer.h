// SPDX-License-Identifier: GPL-3.0-or-later
// The HTTP side: libmicrohttpd serving the queries, the table and the home
// page from a score store. Requests that need the database are handed to
// the store's own threads and their connections suspended meanwhile, so
// the threads that serve HTTP never wait for the database.
#pragma once

#include "ClientGroup.h"
#include "RateLimiter.h"
#include "Request.h"
#include "ScoreStore.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

struct MHD_Daemon;
struct MHD_Connection;
class TConnectionGuard;
class TSweeper;
class TWorkQueue;

struct TServerConfig {
    std::string Address = "127.0.0.1";
    uint16_t Port = 8080;            // 0: any free port (see TScoreServer::Port)
    unsigned Threads = 4;            // threads that use the database, one connection each
    unsigned HttpThreads = 2;        // threads that serve HTTP
    int64_t TokenLifetime = 3600;    // seconds
    double RatePerSecond = 2;        // requests per client address; 0 turns the limit off
    double Burst = 30;
    double TokenRatePerSecond = 0.05;  // tokens per address group; 0 turns the limit off
    double TokenBurst = 20;
    unsigned ConnectionsPerGroup = 32;  // open connections per address group; 0: no limit
    TGroupPrefixes GroupPrefixes;
    unsigned MaxConnections = 4096;  // in all
    // From a connection's start (or its previous reply) to its request
    // having arrived whole, however slowly it comes.
    std::chrono::milliseconds RequestDeadline{10000};
    // How often expired tokens and old weekly rows are swept; 0: never.
    std::chrono::milliseconds SweepInterval{60000};
    // Take the client's address from the last X-Forwarded-For entry, for a
    // server that only a reverse proxy talks to.
    bool TrustForwardedFor = false;
    std::function<int64_t()> Now;    // seconds since the epoch; the system clock when empty
    // Called when a replay has been queued for verification.
    std::function<void()> ReplayQueued;
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
        unsigned RetryAfter = 0;  // seconds, for a Retry-After header
        std::string_view Allow;   // for 405
        std::string Disposition;  // a Content-Disposition, for a file
    };

    // The steps of one request, for libmicrohttpd's callbacks.
    int Step(MHD_Connection* connection, const char* method, void* exchange, const char* uploadData,
             std::size_t* uploadSize);
    void ConnectionOpened(MHD_Connection* connection);
    void ConnectionClosed(MHD_Connection* connection);
    void RequestDone(MHD_Connection* connection);

    // Connections open now, and those closed for missing the deadline.
    std::size_t OpenConnections() const;
    std::size_t ReapedConnections() const;

private:
    // A request refused on its method or body alone (true).
    // `upload` is set for a replay's upload, whose body is then read.
    bool Refuse(MHD_Connection* connection, const char* method, std::string_view target, TReply& reply, bool& upload);
    // Answers at once (true) or queues the request for a database thread.
    bool Start(MHD_Connection* connection, void* exchange, const char* method, TReply& reply);
    // The reply to a request that needs the database, on a database thread.
    TReply Answer(const TRequest& request, const TSubmission& record, const std::string& body);
    int Send(MHD_Connection* connection, const TReply& reply);
    std::string ClientAddress(MHD_Connection* connection) const;
    int64_t Now() const;

    TServerConfig Config;
    TScoreStore& Store;
    TRateLimiter Limiter;
    TRateLimiter TokenLimiter;
    std::unique_ptr<TConnectionGuard> Guard;
    std::unique_ptr<TWorkQueue> Queue;
    std::unique_ptr<TSweeper> Sweeper;
    MHD_Daemon* Daemon = nullptr;
};

// A fresh token: TokenLength hex digits from the system's random source.
std::string NewToken();
