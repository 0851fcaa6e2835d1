// The scores and the tokens handed out, in SQLite or PostgreSQL through
// SOCI. Every operation is one transaction, so several threads and several
// server processes may share one database. Every operation also has a
// deadline: a database that stops answering makes it fail with
// TStoreUnavailable (or another exception) in bounded time, never hang.
#pragma once

#include "Request.h"
#include "SessionPool.h"
#include "Submission.h"

#include <chrono>
#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

struct TScoreRow {
    int64_t Rank = 0;
    std::string Name;
    int64_t Score = 0;
    std::string Squad;
    int64_t SubmittedAt = 0;  // seconds since the epoch, UTC
};

struct TScorePage {
    int64_t Total = 0;  // rows in the whole table, not just this page
    std::vector<TScoreRow> Rows;
};

enum class ESubmitResult { Stored, UnknownToken, UsedToken };

// The weekly table holds the rows of the last seven days.
inline constexpr int64_t WeekSeconds = 7 * 24 * 3600;

class TScoreStore {
public:
    // `where` is a file path for SQLite and a libpq connection string for
    // PostgreSQL. Makes or updates the tables; a PostgreSQL database that
    // cannot be reached yet is prepared when it can. `timeout` bounds each
    // operation, connecting included.
    TScoreStore(EStoreBackend backend, const std::string& where, std::size_t connections,
                std::chrono::milliseconds timeout = std::chrono::seconds(5));
    ~TScoreStore();
    TScoreStore(const TScoreStore&) = delete;
    TScoreStore& operator=(const TScoreStore&) = delete;

    void IssueToken(const std::string& token, int64_t now);

    // Uses the record's token up and stores the record, or stores nothing.
    // Only tokens issued within `lifetime` seconds of `now` count. An
    // exception means nothing was stored, except when the connection broke
    // while the commit was under way and the outcome could not be read back
    // (the token then makes sure a second attempt cannot store it twice).
    ESubmitResult Submit(const TSubmission& record, int64_t now, int64_t lifetime);

    // One page of the all-time table or of the last week's (up to `now`),
    // best first (ties: earlier first). Costs the same however large the
    // table; `offset` is bounded by the caller.
    TScorePage Table(EPeriod period, int64_t now, int64_t offset, int64_t limit);

    // Stores a row as given, bypassing the token; for imports and tests.
    void InsertScore(const TSubmission& record, int64_t submittedAt);

    // Counts every row; for tests and tools, not for pages.
    int64_t CountScores();

    std::chrono::milliseconds Timeout() const { return OperationTimeout; }

    // Throws when the database cannot answer within `timeout`.
    void Ping(std::chrono::milliseconds timeout);

    // One small batch of housekeeping each, returning the rows deleted:
    // tokens older than `lifetime`, and rows that have left the week.
    int SweepTokens(int64_t now, int64_t lifetime, int batch);
    int SweepWeek(int64_t now, int batch);

private:
    using TClock = std::chrono::steady_clock;
    void PrepareConnection(soci::session& sql);
    // Runs `read` on a connection; when that connection turns out broken, once
    // more on another.
    template <class TRead>
    auto Read(TRead&& read, std::chrono::milliseconds timeout);
    std::unique_lock<std::mutex> WriteLock();

    EStoreBackend Backend;
    std::chrono::milliseconds OperationTimeout;
    std::mutex SchemaMutex;
    bool SchemaReady = false;
    // SQLite takes one writer at a time; queueing here is fairer and quicker
    // than its busy handler's sleeps. Other processes still meet that handler.
    std::mutex SqliteWrites;
    TSessionPool Pool;
};
