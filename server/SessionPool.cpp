// SPDX-License-Identifier: GPL-3.0-or-later
// Connections through SOCI, replaced when broken, cut off at deadlines.
#include "SessionPool.h"

#include <libpq-fe.h>
#include <soci/postgresql/soci-postgresql.h>
#include <soci/soci.h>
#include <soci/sqlite3/soci-sqlite3.h>

#include <sys/socket.h>

namespace {

// Long enough for a loaded database to accept, short enough that a request
// waiting on a frozen one is refused while its client still waits.
constexpr int ConnectTimeoutSeconds = 2;

PGconn* PostgresConnection(soci::session& session)
{
    return static_cast<soci::postgresql_session_backend*>(session.get_backend())->conn_;
}

} // namespace

std::string WithConnectTimeout(const std::string& conninfo, int seconds)
{
    if (conninfo.find("connect_timeout") != std::string::npos)
        return conninfo;
    const std::string setting = "connect_timeout=" + std::to_string(seconds);
    if (conninfo.rfind("postgresql://", 0) == 0 || conninfo.rfind("postgres://", 0) == 0)
        return conninfo + (conninfo.find('?') == std::string::npos ? "?" : "&") + setting;
    return setting + " " + conninfo;
}

TSessionPool::TSessionPool(EStoreBackend backend, std::string where, std::size_t size, TPrepare prepare)
    : Kind(backend), Where(std::move(where)), Prepare(std::move(prepare))
{
    for (std::size_t i = 0; i < std::max<std::size_t>(1, size); ++i)
        Slots.push_back(std::make_unique<TSlot>());
}

TSessionPool::~TSessionPool() = default;

std::function<void()> TSessionPool::Interrupter(TSlot& slot)
{
    soci::session& session = *slot.Session;
    if (Kind == EStoreBackend::Sqlite) {
        sqlite_api::sqlite3* db = static_cast<soci::sqlite3_session_backend*>(session.get_backend())->conn_;
        return [db, &slot] {
            slot.Interrupted = true;
            sqlite_api::sqlite3_interrupt(db);
        };
    }
    // Taken now: the socket stays the connection's until it is closed,
    // which only its lease holder does, after disarming.
    const int fd = PQsocket(PostgresConnection(session));
    return [fd, &slot] {
        slot.Interrupted = true;
        // The blocked call then sees the connection end and fails.
        if (fd >= 0)
            ::shutdown(fd, SHUT_RDWR);
    };
}

void TSessionPool::Open(TSlot& slot)
{
    slot.Session.reset();
    auto session = std::make_unique<soci::session>();
    if (Kind == EStoreBackend::Sqlite)
        session->open(soci::sqlite3, "db=\"" + Where + "\"");
    else
        session->open(soci::postgresql, WithConnectTimeout(Where, ConnectTimeoutSeconds));
    slot.Session = std::move(session);
    slot.Broken = false;
}

TSessionPool::TLease TSessionPool::Lease(TClock::time_point deadline, bool fresh)
{
    std::size_t index = 0;
    {
        std::unique_lock lock(Mutex);
        auto free = [&] {
            // A connection already open first; a closed or broken one next.
            for (int pass = 0; pass < 2; ++pass)
                for (index = 0; index < Slots.size(); ++index) {
                    const TSlot& slot = *Slots[index];
                    if (!slot.InUse && (pass == 1 || (slot.Session && !slot.Broken)))
                        return true;
                }
            return false;
        };
        if (!Freed.wait_until(lock, deadline, free))
            throw TStoreUnavailable("no database connection came free in time");
        Slots[index]->InUse = true;
    }
    TSlot& slot = *Slots[index];
    const bool opening = fresh || !slot.Session || slot.Broken;
    try {
        if (opening)
            Open(slot);
    } catch (const std::exception& e) {
        Return(index, 0);
        throw TStoreUnavailable(std::string("cannot connect to the database: ") + e.what());
    }
    slot.Interrupted = false;
    TLease lease(this, index, Watch.Arm(deadline, Interrupter(slot)));
    if (opening) {
        try {
            Prepare(*slot.Session);
        } catch (const std::exception& e) {
            slot.Broken = true;
            throw TStoreUnavailable(std::string("cannot prepare the database connection: ") + e.what());
        }
    }
    return lease;
}

void TSessionPool::Return(std::size_t index, uint64_t ticket)
{
    TSlot& slot = *Slots[index];
    if (ticket != 0)
        Watch.Disarm(ticket);
    // A cut-off PostgreSQL connection has lost its socket, whatever the
    // call it was in made of that.
    if (slot.Interrupted && Kind == EStoreBackend::PostgreSql)
        slot.Broken = true;
    if (!slot.Broken && Kind == EStoreBackend::PostgreSql && slot.Session &&
        PQstatus(PostgresConnection(*slot.Session)) != CONNECTION_OK)
        slot.Broken = true;
    {
        std::lock_guard lock(Mutex);
        slot.InUse = false;
    }
    Freed.notify_one();
}

TSessionPool::TLease::TLease(TLease&& other) noexcept
    : Pool(other.Pool), Slot(other.Slot), Ticket(other.Ticket)
{
    other.Pool = nullptr;
}

TSessionPool::TLease::~TLease()
{
    if (Pool != nullptr)
        Pool->Return(Slot, Ticket);
}

soci::session& TSessionPool::TLease::operator*() const
{
    return *Pool->Slots[Slot]->Session;
}

bool TSessionPool::TLease::Broken()
{
    TSlot& slot = *Pool->Slots[Slot];
    if (Pool->Kind == EStoreBackend::PostgreSql &&
        (slot.Interrupted || PQstatus(PostgresConnection(*slot.Session)) != CONNECTION_OK))
        slot.Broken = true;
    return slot.Broken;
}
