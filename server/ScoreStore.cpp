// SPDX-License-Identifier: GPL-3.0-or-later
// SOCI behind the score store.
#include "ScoreStore.h"

#include "StoreSchema.h"

#include <soci/soci.h>

#include <cstdio>
#include <ctime>

int64_t RowNumber(const soci::row& row, std::size_t column)
{
    // The databases and their declared types differ in the C++ type a
    // whole number comes as.
    switch (row.get_properties(column).get_data_type()) {
    case soci::dt_integer: return row.get<int>(column);
    case soci::dt_unsigned_long_long: return static_cast<int64_t>(row.get<unsigned long long>(column));
    case soci::dt_double: return static_cast<int64_t>(row.get<double>(column));
    case soci::dt_string: return std::stoll(row.get<std::string>(column));
    default: return row.get<long long>(column);
    }
}

TScoreStore::TScoreStore(EStoreBackend backend, const std::string& where, std::size_t connections,
                         std::chrono::milliseconds timeout)
    : Backend(backend), OperationTimeout(timeout),
      Pool(backend, where, connections, [this](soci::session& sql) { PrepareConnection(sql); })
{
    try {
        Ping(OperationTimeout);
    } catch (const std::exception& e) {
        // A file that cannot be opened is a mistake to report now; a
        // database server may simply not be up yet.
        if (backend == EStoreBackend::Sqlite)
            throw;
        std::fprintf(stderr, "zarvenok-server: the database is not reachable yet (%s); "
                             "answering 503 until it is\n", e.what());
    }
}

TScoreStore::~TScoreStore() = default;

void TScoreStore::PrepareConnection(soci::session& sql)
{
    const std::string ms = std::to_string(OperationTimeout.count());
    if (Backend == EStoreBackend::Sqlite) {
        // Concurrent writers wait for each other instead of failing; an
        // answered commit is on disk before the reply leaves.
        sql << "PRAGMA busy_timeout = " + ms;
        sql << "PRAGMA synchronous = FULL";
    } else {
        // "already exists, skipping" on every start is noise.
        sql << "SET client_min_messages = warning";
        // The database's own limit, for statements it is slow at while it
        // still answers; a database that stops answering is cut off by the
        // pool's deadline instead.
        sql << "SET statement_timeout = " + ms;
    }
    std::lock_guard lock(SchemaMutex);
    if (!SchemaReady) {
        const auto write = WriteLock();
        PrepareSchema(sql, Backend, static_cast<int64_t>(std::time(nullptr)));
        SchemaReady = true;
    }
}

std::unique_lock<std::mutex> TScoreStore::WriteLock()
{
    if (Backend == EStoreBackend::Sqlite)
        return std::unique_lock(SqliteWrites);
    return {};
}

void TScoreStore::IssueToken(const std::string& token, int64_t now)
{
    const auto deadline = TClock::now() + OperationTimeout;
    const long long issued = now;
    for (int attempt = 0;; ++attempt) {
        TSessionPool::TLease lease = Pool.Lease(deadline, attempt > 0);
        try {
            const auto lock = WriteLock();
            // A second attempt may follow a first that committed before its
            // connection broke: the same token, once.
            *lease << (attempt == 0 ? "INSERT INTO tokens (token, issued_at, used) VALUES (:t, :i, 0)"
                                    : "INSERT INTO tokens (token, issued_at, used) VALUES (:t, :i, 0) "
                                      "ON CONFLICT (token) DO NOTHING"),
                soci::use(token), soci::use(issued);
            return;
        } catch (const std::exception&) {
            if (attempt > 0 || !lease.Broken() || TClock::now() >= deadline)
                throw;
        }
    }
}

ESubmitResult TScoreStore::Submit(const TSubmission& record, int64_t now, int64_t lifetime)
{
    const auto deadline = TClock::now() + OperationTimeout;
    const long long cutoff = now - lifetime;
    const long long score = record.Score;
    const long long at = now;
    for (int attempt = 0;; ++attempt) {
        bool committing = false;
        {
            TSessionPool::TLease lease = Pool.Lease(deadline, attempt > 0);
            soci::session& sql = *lease;
            try {
                const auto lock = WriteLock();
                soci::transaction tr(sql);
                soci::statement take = (sql.prepare << "UPDATE tokens SET used = 1 "
                                                       "WHERE token = :t AND used = 0 AND issued_at >= :c",
                                        soci::use(record.Token), soci::use(cutoff));
                take.execute(true);
                if (take.get_affected_rows() != 1) {
                    int used = 0;
                    soci::indicator ind = soci::i_null;
                    sql << "SELECT used FROM tokens WHERE token = :t", soci::into(used, ind),
                        soci::use(record.Token);
                    const bool replay = sql.got_data() && ind == soci::i_ok && used != 0;
                    tr.rollback();
                    return replay ? ESubmitResult::UsedToken : ESubmitResult::UnknownToken;
                }
                // The token's age bounds how long the game can have lasted.
                sql << "INSERT INTO scores (name, score, squad, token, submitted_at, token_issued_at) "
                       "VALUES (:n, :s, :a, :t, :at, (SELECT issued_at FROM tokens WHERE token = :t2))",
                    soci::use(record.Name), soci::use(score), soci::use(record.AddText),
                    soci::use(record.Token), soci::use(at), soci::use(record.Token);
                committing = true;
                tr.commit();
                return ESubmitResult::Stored;
            } catch (const std::exception&) {
                const bool broken = lease.Broken();
                // Before the commit nothing is stored and the token is unused:
                // a broken connection is worth one more try on a fresh one.
                if (!committing && attempt == 0 && broken && TClock::now() < deadline)
                    continue;
                if (!committing || !broken)
                    throw;
            }
        }
        // The connection broke while the commit was under way: it happened
        // or not, and only the database can say which.
        const bool stored = Read(
            [&](soci::session& sql) {
                long long found = 0;
                sql << "SELECT COUNT(*) FROM scores WHERE token = :t AND name = :n AND score = :s",
                    soci::into(found), soci::use(record.Token), soci::use(record.Name), soci::use(score);
                return found == 1;
            },
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - TClock::now()));
        if (stored)
            return ESubmitResult::Stored;
        throw TStoreUnavailable("the connection broke during the commit; not found stored yet");
    }
}

void TScoreStore::InsertScore(const TSubmission& record, int64_t submittedAt)
{
    TSessionPool::TLease lease = Pool.Lease(TClock::now() + OperationTimeout);
    const auto lock = WriteLock();
    const long long score = record.Score;
    const long long at = submittedAt;
    *lease << "INSERT INTO scores (name, score, squad, token, submitted_at) "
              "VALUES (:n, :s, :a, :t, :at)",
        soci::use(record.Name), soci::use(score), soci::use(record.AddText), soci::use(record.Token),
        soci::use(at);
}

TScorePage TScoreStore::Table(EPeriod period, int64_t now, int64_t offset, int64_t limit, bool verifiedOnly)
{
    const bool all = !verifiedOnly;
    return Read(
        [&](soci::session& sql) {
            TScorePage page;
            const bool week = period == EPeriod::Week;
            const long long since = now - WeekSeconds;
            const long long skip = offset;
            const long long take = limit;
            long long total = 0;
            soci::transaction tr(sql);
            // The verified rows are counted by state and ranked by partial
            // indexes, whose condition is written out for the planner.
            const std::string verified = all ? "" : " AND w.state = 'verified'";
            if (week) {
                // The kept rows' count, less those that left the week since the
                // last sweep (a sweep's worth at most).
                long long stale = 0;
                sql << (all ? std::string("SELECT CAST(COALESCE(SUM(n), 0) AS BIGINT) FROM week_totals")
                            : "SELECT CAST(COALESCE(SUM(n), 0) AS BIGINT) FROM week_state_totals "
                              "WHERE state = 'verified'"),
                    soci::into(total);
                sql << "SELECT COUNT(*) FROM week_scores w WHERE w.submitted_at < :f" + verified, soci::into(stale),
                    soci::use(since);
                total -= stale;
            } else {
                sql << (all ? std::string("SELECT CAST(COALESCE(SUM(n), 0) AS BIGINT) FROM score_totals")
                            : "SELECT CAST(COALESCE(SUM(n), 0) AS BIGINT) FROM state_totals WHERE state = 'verified'"),
                    soci::into(total);
            }
            page.Total = total;
            int64_t rank = offset;
            auto collect = [&](soci::rowset<soci::row>& rows) {
                for (const soci::row& row : rows) {
                    TScoreRow out;
                    out.Rank = ++rank;
                    out.Id = RowNumber(row, 0);
                    out.Name = row.get<std::string>(1);
                    out.Score = RowNumber(row, 2);
                    out.Squad = row.get<std::string>(3);
                    out.SubmittedAt = RowNumber(row, 4);
                    out.State = row.get<std::string>(5);
                    out.Detail = row.get<std::string>(6);
                    if (row.get_indicator(7) == soci::i_ok)
                        out.Level = RowNumber(row, 7);
                    if (row.get_indicator(8) == soci::i_ok)
                        out.GameTimeMs = RowNumber(row, 8);
                    page.Rows.push_back(std::move(out));
                }
            };
            const std::string columns = "SELECT s.id, s.name, s.score, s.squad, s.submitted_at, s.state, s.detail, "
                                        "s.level, s.game_time_ms FROM ";
            if (week) {
                soci::rowset<soci::row> rows =
                    (sql.prepare << columns + "week_scores w JOIN scores s ON s.id = w.id WHERE w.submitted_at >= :f" +
                                        verified + " ORDER BY w.score DESC, w.id ASC LIMIT :l OFFSET :o",
                     soci::use(since), soci::use(take), soci::use(skip));
                collect(rows);
            } else {
                soci::rowset<soci::row> rows =
                    (sql.prepare << columns + (all ? "scores s" : "scores s WHERE s.state = 'verified'") + " ORDER BY s.score DESC, s.id ASC LIMIT :l OFFSET :o",
                     soci::use(take), soci::use(skip));
                collect(rows);
            }
            tr.commit();
            return page;
        },
        OperationTimeout);
}

int64_t TScoreStore::CountScores()
{
    return Read(
        [](soci::session& sql) {
            long long count = 0;
            sql << "SELECT COUNT(*) FROM scores", soci::into(count);
            return static_cast<int64_t>(count);
        },
        OperationTimeout);
}

void TScoreStore::Ping(std::chrono::milliseconds timeout)
{
    Read(
        [](soci::session& sql) {
            int one = 0;
            sql << "SELECT 1", soci::into(one);
            return one;
        },
        timeout);
}

int TScoreStore::SweepTokens(int64_t now, int64_t lifetime, int batch)
{
    TSessionPool::TLease lease = Pool.Lease(TClock::now() + OperationTimeout);
    const auto lock = WriteLock();
    // Used tokens stay in the scores table, which keeps them unique there.
    const long long cutoff = now - lifetime;
    soci::statement sweep = (lease->prepare << "DELETE FROM tokens WHERE token IN "
                                               "(SELECT token FROM tokens WHERE issued_at < :c LIMIT :n)",
                             soci::use(cutoff), soci::use(batch));
    sweep.execute(true);
    return static_cast<int>(sweep.get_affected_rows());
}

int TScoreStore::SweepWeek(int64_t now, int batch)
{
    TSessionPool::TLease lease = Pool.Lease(TClock::now() + OperationTimeout);
    const auto lock = WriteLock();
    const long long since = now - WeekSeconds;
    soci::statement sweep = (lease->prepare << "DELETE FROM week_scores WHERE id IN "
                                               "(SELECT id FROM week_scores WHERE submitted_at < :f LIMIT :n)",
                             soci::use(since), soci::use(batch));
    sweep.execute(true);
    return static_cast<int>(sweep.get_affected_rows());
}
