// SPDX-License-Identifier: GPL-3.0-or-later
// The scores and the tokens handed out, in SQLite or PostgreSQL through
// SOCI. Every operation is one transaction, so several threads and several
// server processes may share one database. Every operation also has a
// deadline: a database that stops answering makes it fail with
// TStoreUnavailable (or another exception) in bounded time, never hang.
#pragma once

#include "Request.h"
#include "SessionPool.h"
#include "Submission.h"
#include "Verification.h"

#include <chrono>
#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace soci {
class row;
}

struct TScoreRow {
    int64_t Rank = 0;
    std::string Name;
    int64_t Score = 0;
    std::string Squad;
    int64_t SubmittedAt = 0;  // seconds since the epoch, UTC
    int64_t Id = 0;           // also its replay's
    std::string State{ScoreState::Unverified};
    std::string Detail;  // the verification's outcome in words
    std::optional<int64_t> Level;
    std::optional<int64_t> GameTimeMs;
};

struct TScorePage {
    int64_t Total = 0;  // rows in the whole table, not just this page
    std::vector<TScoreRow> Rows;
};

enum class ESubmitResult { Stored, UnknownToken, UsedToken };

enum class EUploadResult { Queued, NoScore, AlreadySent };
struct TUpload {
    EUploadResult Result = EUploadResult::NoScore;
    int64_t ScoreId = 0;
};

// For the metrics page: scores in each state, jobs waiting and running,
// and the cumulative buckets of verification times (upper bound in ms,
// jobs, their total ms).
struct TVerifyCounts {
    std::vector<std::pair<std::string, int64_t>> Scores;
    int64_t Queued = 0;
    int64_t Running = 0;
    struct TBucket {
        int64_t UpToMs = 0;
        int64_t Jobs = 0;
        int64_t TotalMs = 0;
    };
    std::vector<TBucket> Times;
};

// A whole number from a query's row, whichever type the database gave it.
int64_t RowNumber(const soci::row& row, std::size_t column);

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
    // Every score, or only the verified ones.
    TScorePage Table(EPeriod period, int64_t now, int64_t offset, int64_t limit, bool verifiedOnly = false);

    // ---- replays and their verification (ScoreStoreReplays.cpp)

    // Stores the replay of the score submitted with `token` with a job to
    // verify it, in one transaction; a score takes one replay.
    TUpload StoreReplay(const std::string& token, std::string_view bytes, int64_t now);
    // A stored replay's bytes, as uploaded.
    std::optional<std::string> Replay(int64_t scoreId);
    // Takes the oldest job that waits or whose worker's lease (milliseconds
    // since the epoch) has run out, leasing it to `worker` until `leaseUntil`.
    // A job found with its attempts used up is marked failed instead. On
    // PostgreSQL, workers in other processes skip the rows taken here.
    std::optional<TVerifyJob> TakeJob(const std::string& worker, int64_t nowMs, int64_t leaseUntil);
    // Settles the job and its score, unless the job was taken again meanwhile.
    void FinishJob(const TVerifyJob& job, const TVerifyOutcome& outcome, int64_t nowMs, int64_t runMs);
    // The verifier broke on the job: queued again, or failed at the last try.
    void FailAttempt(const TVerifyJob& job, const std::string& why, int64_t nowMs);
    TVerifyCounts VerifyCounts();

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

template <class TRead>
inline auto TScoreStore::Read(TRead&& read, std::chrono::milliseconds timeout)
{
    const auto deadline = TClock::now() + timeout;
    for (int attempt = 0;; ++attempt) {
        TSessionPool::TLease lease = Pool.Lease(deadline, attempt > 0);
        try {
            return read(*lease);
        } catch (const std::exception&) {
            // A connection that went stale while idle fails its first call;
            // a read is safe to make again on a fresh one.
            if (attempt > 0 || !lease.Broken() || TClock::now() >= deadline)
                throw;
        }
    }
}
