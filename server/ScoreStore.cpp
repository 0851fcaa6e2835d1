// SOCI behind the score store.
#include "ScoreStore.h"

#include <soci/connection-pool.h>
#include <soci/postgresql/soci-postgresql.h>
#include <soci/soci.h>
#include <soci/sqlite3/soci-sqlite3.h>

namespace {

// How often, at most, expired tokens are swept out.
constexpr int64_t PurgeInterval = 60;

} // namespace

TScoreStore::TScoreStore(EStoreBackend backend, const std::string& where, std::size_t connections)
    : Backend(backend), Pool(std::make_unique<soci::connection_pool>(connections)),
      PoolSize(connections)
{
    for (std::size_t i = 0; i < connections; ++i) {
        soci::session& sql = Pool->at(i);
        if (backend == EStoreBackend::Sqlite) {
            sql.open(soci::sqlite3, "db=\"" + where + "\"");
            // Concurrent writers wait for each other instead of failing; an
            // answered commit is on disk before the reply leaves.
            sql << "PRAGMA busy_timeout = 10000";
            if (i == 0)
                sql << "PRAGMA journal_mode = WAL";
            sql << "PRAGMA synchronous = FULL";
        } else {
            sql.open(soci::postgresql, where);
            // "already exists, skipping" on every start is noise.
            sql << "SET client_min_messages = warning";
        }
    }
    CreateSchema();
}

TScoreStore::~TScoreStore() = default;

void TScoreStore::CreateSchema()
{
    soci::session sql(*Pool);
    soci::transaction tr(sql);
    const bool pg = Backend == EStoreBackend::PostgreSql;
    // Server processes starting together on one PostgreSQL would otherwise
    // race to create the same tables.
    if (pg)
        sql << "SELECT pg_advisory_xact_lock(7305541)";
    sql << "CREATE TABLE IF NOT EXISTS tokens ("
           "token VARCHAR(64) PRIMARY KEY, "
           "issued_at BIGINT NOT NULL, "
           "used INTEGER NOT NULL DEFAULT 0)";
    sql << "CREATE INDEX IF NOT EXISTS tokens_issued ON tokens (issued_at)";
    sql << std::string("CREATE TABLE IF NOT EXISTS scores (") +
               (pg ? "id BIGSERIAL PRIMARY KEY, " : "id INTEGER PRIMARY KEY, ") +
               "name VARCHAR(64) NOT NULL, "
               "score BIGINT NOT NULL, "
               "squad VARCHAR(64) NOT NULL, "
               "token VARCHAR(64) NOT NULL UNIQUE, "
               "submitted_at BIGINT NOT NULL)";
    sql << "CREATE INDEX IF NOT EXISTS scores_rank ON scores (score DESC, id)";
    sql << "CREATE INDEX IF NOT EXISTS scores_time ON scores (submitted_at)";
    tr.commit();
}

std::unique_lock<std::mutex> TScoreStore::WriteLock()
{
    if (Backend == EStoreBackend::Sqlite)
        return std::unique_lock(SqliteWrites);
    return {};
}

void TScoreStore::IssueToken(const std::string& token, int64_t now, int64_t lifetime)
{
    PurgeTokens(now, lifetime);
    soci::session sql(*Pool);
    const auto lock = WriteLock();
    const long long issued = now;
    sql << "INSERT INTO tokens (token, issued_at, used) VALUES (:t, :i, 0)", soci::use(token),
        soci::use(issued);
}

void TScoreStore::PurgeTokens(int64_t now, int64_t lifetime)
{
    int64_t last = LastPurge.load();
    if (now - last < PurgeInterval || !LastPurge.compare_exchange_strong(last, now))
        return;
    soci::session sql(*Pool);
    const auto lock = WriteLock();
    // Used tokens stay in the scores table, which keeps them unique there.
    const long long cutoff = now - lifetime;
    sql << "DELETE FROM tokens WHERE issued_at < :c", soci::use(cutoff);
}

ESubmitResult TScoreStore::Submit(const TSubmission& record, int64_t now, int64_t lifetime)
{
    soci::session sql(*Pool);
    const auto lock = WriteLock();
    soci::transaction tr(sql);
    const long long cutoff = now - lifetime;
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
    const long long score = record.Score;
    const long long at = now;
    sql << "INSERT INTO scores (name, score, squad, token, submitted_at) "
           "VALUES (:n, :s, :a, :t, :at)",
        soci::use(record.Name), soci::use(score), soci::use(record.AddText),
        soci::use(record.Token), soci::use(at);
    tr.commit();
    return ESubmitResult::Stored;
}

void TScoreStore::InsertScore(const TSubmission& record, int64_t submittedAt)
{
    soci::session sql(*Pool);
    const auto lock = WriteLock();
    const long long score = record.Score;
    const long long at = submittedAt;
    sql << "INSERT INTO scores (name, score, squad, token, submitted_at) "
           "VALUES (:n, :s, :a, :t, :at)",
        soci::use(record.Name), soci::use(score), soci::use(record.AddText),
        soci::use(record.Token), soci::use(at);
}

TScorePage TScoreStore::Table(int64_t since, int64_t offset, int64_t limit)
{
    soci::session sql(*Pool);
    TScorePage page;
    const long long from = since;
    const long long skip = offset;
    const long long take = limit;
    long long total = 0;
    // One snapshot for the count and the rows, so the ranks match the total.
    soci::transaction tr(sql);
    sql << "SELECT COUNT(*) FROM scores WHERE submitted_at >= :f", soci::into(total),
        soci::use(from);
    page.Total = total;
    soci::rowset<soci::row> rows =
        (sql.prepare << "SELECT name, score, squad, submitted_at FROM scores "
                        "WHERE submitted_at >= :f ORDER BY score DESC, id ASC "
                        "LIMIT :l OFFSET :o",
         soci::use(from), soci::use(take), soci::use(skip));
    int64_t rank = offset;
    for (const soci::row& row : rows) {
        TScoreRow out;
        out.Rank = ++rank;
        out.Name = row.get<std::string>(0);
        out.Score = row.get<long long>(1);
        out.Squad = row.get<std::string>(2);
        out.SubmittedAt = row.get<long long>(3);
        page.Rows.push_back(std::move(out));
    }
    tr.commit();
    return page;
}

int64_t TScoreStore::CountScores()
{
    soci::session sql(*Pool);
    long long count = 0;
    sql << "SELECT COUNT(*) FROM scores", soci::into(count);
    return count;
}
