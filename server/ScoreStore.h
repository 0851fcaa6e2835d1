// The scores and the tokens handed out, in SQLite or PostgreSQL through
// SOCI. Every operation is one transaction, so several threads and several
// server processes may share one database.
#pragma once

#include "Submission.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace soci {
class connection_pool;
}

enum class EStoreBackend { Sqlite, PostgreSql };

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

class TScoreStore {
public:
    // `where` is a file path for SQLite and a libpq connection string for
    // PostgreSQL. Creates the tables when they are missing.
    TScoreStore(EStoreBackend backend, const std::string& where, std::size_t connections);
    ~TScoreStore();
    TScoreStore(const TScoreStore&) = delete;
    TScoreStore& operator=(const TScoreStore&) = delete;

    void IssueToken(const std::string& token, int64_t now, int64_t lifetime);

    // Uses the record's token up and stores the record, or stores nothing.
    // Only tokens issued within `lifetime` seconds of `now` count.
    ESubmitResult Submit(const TSubmission& record, int64_t now, int64_t lifetime);

    // Rows submitted at `since` or later, best first (ties: earlier first).
    TScorePage Table(int64_t since, int64_t offset, int64_t limit);

    // Stores a row as given, bypassing the token; for imports and tests.
    void InsertScore(const TSubmission& record, int64_t submittedAt);

    int64_t CountScores();

private:
    void CreateSchema();
    void PurgeTokens(int64_t now, int64_t lifetime);

    EStoreBackend Backend;
    std::unique_ptr<soci::connection_pool> Pool;
    std::size_t PoolSize;
    std::atomic<int64_t> LastPurge{0};
    // SQLite takes one writer at a time; queueing here is fairer and quicker
    // than its busy handler's sleeps. Other processes still meet that handler.
    std::mutex SqliteWrites;
    std::unique_lock<std::mutex> WriteLock();
};
