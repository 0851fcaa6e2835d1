// SPDX-License-Identifier: GPL-3.0-or-later
// The score store's replays and the queue of jobs that verify them.
#include "ScoreStore.h"

#include "Base64.h"

#include <soci/soci.h>

namespace {

const std::string Running = "running";

} // namespace

TUpload TScoreStore::StoreReplay(const std::string& token, std::string_view bytes, int64_t now)
{
    // Encoded before the connection is taken: a megabyte is a moment's work.
    const std::string data = Base64Encode(bytes);
    const long long at = now;
    TSessionPool::TLease lease = Pool.Lease(TClock::now() + OperationTimeout);
    soci::session& sql = *lease;
    const auto lock = WriteLock();
    soci::transaction tr(sql);
    long long id = 0;
    std::string state;
    sql << "SELECT id, state FROM scores WHERE token = :t", soci::into(id), soci::into(state), soci::use(token);
    TUpload upload;
    if (!sql.got_data()) {
        tr.rollback();
        return upload;
    }
    upload.ScoreId = id;
    // Only the first replay counts; the state says whether one came (an
    // operator's deleting the replay does not open the score to another).
    soci::statement claim = (sql.prepare << "UPDATE scores SET state = 'pending' WHERE id = :i AND state = 'unverified'",
                             soci::use(id));
    claim.execute(true);
    if (claim.get_affected_rows() != 1) {
        tr.rollback();
        upload.Result = EUploadResult::AlreadySent;
        return upload;
    }
    sql << "INSERT INTO replays (score_id, data, uploaded_at) VALUES (:i, :d, :a)", soci::use(id), soci::use(data),
        soci::use(at);
    sql << "INSERT INTO verify_jobs (score_id, state, created_at) VALUES (:i, 'queued', :a)", soci::use(id),
        soci::use(at);
    tr.commit();
    upload.Result = EUploadResult::Queued;
    return upload;
}

std::optional<std::string> TScoreStore::Replay(int64_t scoreId)
{
    return Read(
        [&](soci::session& sql) -> std::optional<std::string> {
            std::string data;
            const long long id = scoreId;
            sql << "SELECT data FROM replays WHERE score_id = :i", soci::into(data), soci::use(id);
            if (!sql.got_data())
                return std::nullopt;
            return Base64Decode(data);
        },
        OperationTimeout);
}

std::optional<TVerifyJob> TScoreStore::TakeJob(const std::string& worker, int64_t nowMs, int64_t leaseUntil)
{
    const bool pg = Backend == EStoreBackend::PostgreSql;
    const long long now = nowMs;
    const long long until = leaseUntil;
    TSessionPool::TLease lease = Pool.Lease(TClock::now() + OperationTimeout);
    soci::session& sql = *lease;
    const auto lock = WriteLock();
    soci::transaction tr(sql);
    for (;;) {
        long long id = 0;
        int attempts = 0;
        // SKIP LOCKED: a job another worker is taking right now is passed
        // over, not waited for.
        sql << std::string("SELECT score_id, attempts FROM verify_jobs "
                           "WHERE state = 'queued' OR (state = 'running' AND lease_until < :n) "
                           "ORDER BY score_id LIMIT 1") +
                   (pg ? " FOR UPDATE SKIP LOCKED" : ""),
            soci::into(id), soci::into(attempts), soci::use(now);
        if (!sql.got_data()) {
            tr.commit();
            return std::nullopt;
        }
        if (attempts >= MaxVerifyAttempts) {
            // Its worker died with it each time.
            sql << "UPDATE verify_jobs SET state = 'failed', finished_at = :n WHERE score_id = :i", soci::use(now),
                soci::use(id);
            const std::string detail = "failed: the verification stopped unfinished " +
                                       std::to_string(MaxVerifyAttempts) + " times";
            sql << "UPDATE scores SET state = 'failed', detail = :d WHERE id = :i", soci::use(detail), soci::use(id);
            continue;
        }
        sql << "UPDATE verify_jobs SET state = 'running', attempts = attempts + 1, lease_until = :l, worker = :w "
               "WHERE score_id = :i",
            soci::use(until), soci::use(worker), soci::use(id);
        TVerifyJob job;
        job.ScoreId = id;
        job.Attempts = attempts + 1;
        std::string data;
        long long score = 0;
        long long submitted = 0;
        long long issued = 0;
        soci::indicator issuedKnown = soci::i_null;
        sql << "SELECT s.name, s.score, s.submitted_at, s.token_issued_at, r.data "
               "FROM scores s JOIN replays r ON r.score_id = s.id WHERE s.id = :i",
            soci::into(job.Name), soci::into(score), soci::into(submitted), soci::into(issued, issuedKnown),
            soci::into(data), soci::use(id);
        tr.commit();
        job.Score = score;
        job.SubmittedAt = submitted;
        if (issuedKnown == soci::i_ok)
            job.TokenIssuedAt = issued;
        const std::optional<std::string> bytes = Base64Decode(data);
        if (bytes)
            job.Replay.assign(bytes->begin(), bytes->end());
        return job;
    }
}

void TScoreStore::FinishJob(const TVerifyJob& job, const TVerifyOutcome& outcome, int64_t nowMs, int64_t runMs)
{
    const long long id = job.ScoreId;
    const long long now = nowMs;
    const long long ran = runMs;
    const int attempts = job.Attempts;
    soci::indicator levelKnown = outcome.Level ? soci::i_ok : soci::i_null;
    soci::indicator timeKnown = outcome.GameTimeMs ? soci::i_ok : soci::i_null;
    long long level = outcome.Level.value_or(0);
    long long gameTime = outcome.GameTimeMs.value_or(0);
    TSessionPool::TLease lease = Pool.Lease(TClock::now() + OperationTimeout);
    soci::session& sql = *lease;
    const auto lock = WriteLock();
    soci::transaction tr(sql);
    soci::statement done = (sql.prepare << "UPDATE verify_jobs SET state = 'done', finished_at = :n, run_ms = :r "
                                           "WHERE score_id = :i AND state = :s AND attempts = :a",
                            soci::use(now), soci::use(ran), soci::use(id), soci::use(Running), soci::use(attempts));
    done.execute(true);
    if (done.get_affected_rows() != 1) {
        // Taken again after this worker's lease ran out: the other one settles it.
        tr.rollback();
        return;
    }
    sql << "UPDATE scores SET state = :s, detail = :d, level = :l, game_time_ms = :g WHERE id = :i",
        soci::use(outcome.State), soci::use(outcome.Detail), soci::use(level, levelKnown),
        soci::use(gameTime, timeKnown), soci::use(id);
    sql << "UPDATE verify_times SET n = n + 1, total_ms = total_ms + :r WHERE le_ms >= :r2", soci::use(ran),
        soci::use(ran);
    tr.commit();
}

void TScoreStore::FailAttempt(const TVerifyJob& job, const std::string& why, int64_t nowMs)
{
    const long long id = job.ScoreId;
    const long long now = nowMs;
    const int attempts = job.Attempts;
    const bool last = job.Attempts >= MaxVerifyAttempts;
    TSessionPool::TLease lease = Pool.Lease(TClock::now() + OperationTimeout);
    soci::session& sql = *lease;
    const auto lock = WriteLock();
    soci::transaction tr(sql);
    soci::statement fail = (sql.prepare << (last ? "UPDATE verify_jobs SET state = 'failed', finished_at = :n "
                                                   "WHERE score_id = :i AND state = :s AND attempts = :a"
                                                 : "UPDATE verify_jobs SET state = 'queued', lease_until = :n "
                                                   "WHERE score_id = :i AND state = :s AND attempts = :a"),
                            soci::use(now), soci::use(id), soci::use(Running), soci::use(attempts));
    fail.execute(true);
    const std::string detail = "failed: " + why.substr(0, 180);
    if (last && fail.get_affected_rows() == 1)
        sql << "UPDATE scores SET state = 'failed', detail = :d WHERE id = :i", soci::use(detail), soci::use(id);
    tr.commit();
}

TVerifyCounts TScoreStore::VerifyCounts()
{
    return Read(
        [](soci::session& sql) {
            TVerifyCounts counts;
            soci::transaction tr(sql);
            soci::rowset<soci::row> states =
                (sql.prepare << "SELECT state, CAST(SUM(n) AS BIGINT) FROM state_totals GROUP BY state ORDER BY state");
            for (const soci::row& row : states)
                counts.Scores.emplace_back(row.get<std::string>(0), RowNumber(row, 1));
            // Only the waiting and running jobs are walked; done ones are
            // counted by their scores' states.
            long long queued = 0;
            long long running = 0;
            sql << "SELECT COUNT(*) FROM verify_jobs WHERE state = 'queued'", soci::into(queued);
            sql << "SELECT COUNT(*) FROM verify_jobs WHERE state = 'running'", soci::into(running);
            counts.Queued = queued;
            counts.Running = running;
            soci::rowset<soci::row> times =
                (sql.prepare << "SELECT le_ms, n, total_ms FROM verify_times ORDER BY le_ms");
            for (const soci::row& row : times)
                counts.Times.push_back({RowNumber(row, 0), RowNumber(row, 1), RowNumber(row, 2)});
            tr.commit();
            return counts;
        },
        OperationTimeout);
}
