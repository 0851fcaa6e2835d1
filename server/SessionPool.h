// SPDX-License-Identifier: GPL-3.0-or-later
// The database connections of one server process. A connection that broke
// (the database restarted, killed it, or stopped answering) is replaced the
// next time it is needed; every call has a deadline, after which it is cut
// off; and a server that starts while the database is away connects when it
// comes back.
#pragma once

#include "DeadlineWatch.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <functional>
#include <memory>
#include <mutex>
#include <stdexcept>
#include <string>
#include <vector>

namespace soci {
class session;
}

enum class EStoreBackend { Sqlite, PostgreSql };

// The database cannot be used now; the request may be tried again later.
class TStoreUnavailable : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class TSessionPool {
public:
    using TClock = std::chrono::steady_clock;
    // Run on every new connection before its first use.
    using TPrepare = std::function<void(soci::session&)>;

    // `where`: a file for SQLite, a libpq connection string for PostgreSQL
    // (given a connect time-out of its own unless it names one). Connects
    // lazily: nothing is opened here.
    TSessionPool(EStoreBackend backend, std::string where, std::size_t size, TPrepare prepare);
    ~TSessionPool();
    TSessionPool(const TSessionPool&) = delete;
    TSessionPool& operator=(const TSessionPool&) = delete;

    class TLease {
    public:
        TLease(TLease&& other) noexcept;
        TLease& operator=(TLease&&) = delete;
        ~TLease();
        soci::session& operator*() const;
        soci::session* operator->() const { return &**this; }
        // After a failed call: true when the connection is gone or cut off,
        // so that it is replaced before its next use.
        bool Broken();

    private:
        friend class TSessionPool;
        TLease(TSessionPool* pool, std::size_t slot, uint64_t ticket)
            : Pool(pool), Slot(slot), Ticket(ticket) {}
        TSessionPool* Pool;
        std::size_t Slot;
        uint64_t Ticket;
    };

    // A connection for calls that must be over by `deadline`; a newly
    // opened one when `fresh` (after a connection turned out broken, the
    // others may be too). Throws TStoreUnavailable when none is free or none
    // can be opened in time.
    TLease Lease(TClock::time_point deadline, bool fresh = false);

    EStoreBackend Backend() const { return Kind; }

private:
    struct TSlot {
        std::unique_ptr<soci::session> Session;
        bool InUse = false;
        bool Broken = false;
        std::atomic<bool> Interrupted{false};
    };
    void Open(TSlot& slot);
    std::function<void()> Interrupter(TSlot& slot);
    void Return(std::size_t slot, uint64_t ticket);

    const EStoreBackend Kind;
    const std::string Where;
    const TPrepare Prepare;
    std::mutex Mutex;
    std::condition_variable Freed;
    std::vector<std::unique_ptr<TSlot>> Slots;
    TDeadlineWatch Watch;
};

// `conninfo` with connect_timeout set to `seconds` unless it sets one.
std::string WithConnectTimeout(const std::string& conninfo, int seconds);
