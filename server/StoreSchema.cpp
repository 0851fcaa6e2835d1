// SPDX-License-Identifier: GPL-3.0-or-later
// The schema and its one step of migration.
//
// Version 1: tokens and scores. Version 2 adds what makes a table page cost
// the same however many rows there are: the row counts kept by triggers
// (score_totals), and the last week's rows in a table of their own
// (week_scores, swept of older rows in the background) with its own rank
// index and count (week_totals). The triggers live in the database, so
// rows that older servers or an operator add or delete are counted too.
// Version 3 adds the verification of scores by their replays: each score's
// state (with the outcome's detail, the level reached and the game time),
// the stored replays, the queue of verification jobs, counts of the scores
// in each state (all time and the last week), and rank indexes of the
// verified scores alone.
#include "StoreSchema.h"

#include <soci/soci.h>

#include <string>

namespace {

constexpr int CurrentVersion = 3;

void CreateVersion1(soci::session& sql, bool pg)
{
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
}

void CreateCountTriggersPostgres(soci::session& sql)
{
    const std::string slot = "pg_backend_pid() % " + std::to_string(PostgresCountSlots);
    sql << "CREATE OR REPLACE FUNCTION zarvenok_scores_changed() RETURNS trigger LANGUAGE plpgsql AS $f$\n"
           "BEGIN\n"
           "  IF TG_OP = 'INSERT' THEN\n"
           "    UPDATE score_totals SET n = n + 1 WHERE slot = " + slot + ";\n"
           "    INSERT INTO week_scores (id, name, score, squad, submitted_at)\n"
           "      VALUES (NEW.id, NEW.name, NEW.score, NEW.squad, NEW.submitted_at);\n"
           "    RETURN NEW;\n"
           "  ELSIF TG_OP = 'UPDATE' THEN\n"
           "    UPDATE week_scores SET name = NEW.name, score = NEW.score, squad = NEW.squad,\n"
           "      submitted_at = NEW.submitted_at WHERE id = OLD.id;\n"
           "    RETURN NEW;\n"
           "  END IF;\n"
           "  UPDATE score_totals SET n = n - 1 WHERE slot = " + slot + ";\n"
           "  DELETE FROM week_scores WHERE id = OLD.id;\n"
           "  RETURN OLD;\n"
           "END $f$";
    sql << "CREATE OR REPLACE FUNCTION zarvenok_week_changed() RETURNS trigger LANGUAGE plpgsql AS $f$\n"
           "BEGIN\n"
           "  IF TG_OP = 'INSERT' THEN\n"
           "    UPDATE week_totals SET n = n + 1 WHERE slot = " + slot + ";\n"
           "    RETURN NEW;\n"
           "  END IF;\n"
           "  UPDATE week_totals SET n = n - 1 WHERE slot = " + slot + ";\n"
           "  RETURN OLD;\n"
           "END $f$";
    sql << "CREATE TRIGGER week_counted AFTER INSERT OR DELETE ON week_scores "
           "FOR EACH ROW EXECUTE FUNCTION zarvenok_week_changed()";
}

void CreateCountTriggersSqlite(soci::session& sql)
{
    sql << "CREATE TRIGGER week_added AFTER INSERT ON week_scores BEGIN "
           "UPDATE week_totals SET n = n + 1 WHERE slot = 0; END";
    sql << "CREATE TRIGGER week_removed AFTER DELETE ON week_scores BEGIN "
           "UPDATE week_totals SET n = n - 1 WHERE slot = 0; END";
}

void CreateScoreTriggers(soci::session& sql, bool pg)
{
    if (pg) {
        sql << "CREATE TRIGGER scores_counted AFTER INSERT OR UPDATE OR DELETE ON scores "
               "FOR EACH ROW EXECUTE FUNCTION zarvenok_scores_changed()";
        return;
    }
    sql << "CREATE TRIGGER scores_added AFTER INSERT ON scores BEGIN "
           "UPDATE score_totals SET n = n + 1 WHERE slot = 0; "
           "INSERT INTO week_scores (id, name, score, squad, submitted_at) "
           "VALUES (NEW.id, NEW.name, NEW.score, NEW.squad, NEW.submitted_at); END";
    sql << "CREATE TRIGGER scores_changed AFTER UPDATE ON scores BEGIN "
           "UPDATE week_scores SET name = NEW.name, score = NEW.score, squad = NEW.squad, "
           "submitted_at = NEW.submitted_at WHERE id = OLD.id; END";
    sql << "CREATE TRIGGER scores_removed AFTER DELETE ON scores BEGIN "
           "UPDATE score_totals SET n = n - 1 WHERE slot = 0; "
           "DELETE FROM week_scores WHERE id = OLD.id; END";
}

void MigrateToVersion2(soci::session& sql, bool pg, int64_t now)
{
    sql << "CREATE TABLE score_totals (slot INTEGER PRIMARY KEY, n BIGINT NOT NULL)";
    sql << "CREATE TABLE week_totals (slot INTEGER PRIMARY KEY, n BIGINT NOT NULL)";
    sql << "CREATE TABLE week_scores ("
           "id BIGINT PRIMARY KEY, "
           "name VARCHAR(64) NOT NULL, "
           "score BIGINT NOT NULL, "
           "squad VARCHAR(64) NOT NULL, "
           "submitted_at BIGINT NOT NULL)";
    sql << "CREATE INDEX week_rank ON week_scores (score DESC, id)";
    sql << "CREATE INDEX week_time ON week_scores (submitted_at)";
    const int slots = pg ? PostgresCountSlots : 1;
    for (int slot = 0; slot < slots; ++slot) {
        sql << "INSERT INTO score_totals (slot, n) VALUES (:s, 0)", soci::use(slot);
        sql << "INSERT INTO week_totals (slot, n) VALUES (:s, 0)", soci::use(slot);
    }
    sql << "UPDATE score_totals SET n = (SELECT COUNT(*) FROM scores) WHERE slot = 0";
    if (pg)
        CreateCountTriggersPostgres(sql);
    else
        CreateCountTriggersSqlite(sql);
    // A day of slack: the sweep takes out what is older than the week.
    const long long since = now - 8 * 24 * 3600;
    sql << "INSERT INTO week_scores (id, name, score, squad, submitted_at) "
           "SELECT id, name, score, squad, submitted_at FROM scores WHERE submitted_at >= :s",
        soci::use(since);
    CreateScoreTriggers(sql, pg);
}

// Adds `delta` to a state's count in `table`, in trigger code.
std::string CountState(const std::string& table, const std::string& state, const std::string& slot, int delta)
{
    const std::string d = std::to_string(delta);
    return "INSERT INTO " + table + " (state, slot, n) VALUES (" + state + ", " + slot + ", " + d +
           ") ON CONFLICT (state, slot) DO UPDATE SET n = " + table + ".n + (" + d + ");\n";
}

void CreateStateTriggersPostgres(soci::session& sql)
{
    const std::string slot = "pg_backend_pid() % " + std::to_string(PostgresCountSlots);
    sql << "CREATE OR REPLACE FUNCTION zarvenok_scores_changed() RETURNS trigger LANGUAGE plpgsql AS $f$\n"
           "BEGIN\n"
           "  IF TG_OP = 'INSERT' THEN\n"
           "    UPDATE score_totals SET n = n + 1 WHERE slot = " + slot + ";\n"
           "    " + CountState("state_totals", "NEW.state", slot, 1) +
           "    INSERT INTO week_scores (id, name, score, squad, submitted_at, state)\n"
           "      VALUES (NEW.id, NEW.name, NEW.score, NEW.squad, NEW.submitted_at, NEW.state);\n"
           "    RETURN NEW;\n"
           "  ELSIF TG_OP = 'UPDATE' THEN\n"
           "    IF NEW.state <> OLD.state THEN\n"
           "      " + CountState("state_totals", "OLD.state", slot, -1) +
           "      " + CountState("state_totals", "NEW.state", slot, 1) +
           "    END IF;\n"
           "    UPDATE week_scores SET name = NEW.name, score = NEW.score, squad = NEW.squad,\n"
           "      submitted_at = NEW.submitted_at, state = NEW.state WHERE id = OLD.id;\n"
           "    RETURN NEW;\n"
           "  END IF;\n"
           "  UPDATE score_totals SET n = n - 1 WHERE slot = " + slot + ";\n"
           "  " + CountState("state_totals", "OLD.state", slot, -1) +
           "  DELETE FROM week_scores WHERE id = OLD.id;\n"
           "  RETURN OLD;\n"
           "END $f$";
    sql << "CREATE OR REPLACE FUNCTION zarvenok_week_changed() RETURNS trigger LANGUAGE plpgsql AS $f$\n"
           "BEGIN\n"
           "  IF TG_OP = 'INSERT' THEN\n"
           "    UPDATE week_totals SET n = n + 1 WHERE slot = " + slot + ";\n"
           "    " + CountState("week_state_totals", "NEW.state", slot, 1) +
           "    RETURN NEW;\n"
           "  ELSIF TG_OP = 'UPDATE' THEN\n"
           "    IF NEW.state <> OLD.state THEN\n"
           "      " + CountState("week_state_totals", "OLD.state", slot, -1) +
           "      " + CountState("week_state_totals", "NEW.state", slot, 1) +
           "    END IF;\n"
           "    RETURN NEW;\n"
           "  END IF;\n"
           "  UPDATE week_totals SET n = n - 1 WHERE slot = " + slot + ";\n"
           "  " + CountState("week_state_totals", "OLD.state", slot, -1) +
           "  RETURN OLD;\n"
           "END $f$";
    sql << "DROP TRIGGER week_counted ON week_scores";
    sql << "CREATE TRIGGER week_counted AFTER INSERT OR UPDATE OR DELETE ON week_scores "
           "FOR EACH ROW EXECUTE FUNCTION zarvenok_week_changed()";
}

void CreateStateTriggersSqlite(soci::session& sql)
{
    for (const char* name : {"scores_added", "scores_changed", "scores_removed", "week_added", "week_removed"})
        sql << std::string("DROP TRIGGER ") + name;
    sql << "CREATE TRIGGER scores_added AFTER INSERT ON scores BEGIN "
           "UPDATE score_totals SET n = n + 1 WHERE slot = 0; " +
               CountState("state_totals", "NEW.state", "0", 1) +
               "INSERT INTO week_scores (id, name, score, squad, submitted_at, state) "
               "VALUES (NEW.id, NEW.name, NEW.score, NEW.squad, NEW.submitted_at, NEW.state); END";
    sql << "CREATE TRIGGER scores_changed AFTER UPDATE ON scores BEGIN "
           "UPDATE week_scores SET name = NEW.name, score = NEW.score, squad = NEW.squad, "
           "submitted_at = NEW.submitted_at, state = NEW.state WHERE id = OLD.id; END";
    sql << "CREATE TRIGGER scores_state_changed AFTER UPDATE OF state ON scores WHEN NEW.state <> OLD.state BEGIN " +
               CountState("state_totals", "OLD.state", "0", -1) + CountState("state_totals", "NEW.state", "0", 1) +
               "END";
    sql << "CREATE TRIGGER scores_removed AFTER DELETE ON scores BEGIN "
           "UPDATE score_totals SET n = n - 1 WHERE slot = 0; " +
               CountState("state_totals", "OLD.state", "0", -1) + "DELETE FROM week_scores WHERE id = OLD.id; END";
    sql << "CREATE TRIGGER week_added AFTER INSERT ON week_scores BEGIN "
           "UPDATE week_totals SET n = n + 1 WHERE slot = 0; " +
               CountState("week_state_totals", "NEW.state", "0", 1) + "END";
    sql << "CREATE TRIGGER week_state_changed AFTER UPDATE OF state ON week_scores WHEN NEW.state <> OLD.state BEGIN " +
               CountState("week_state_totals", "OLD.state", "0", -1) +
               CountState("week_state_totals", "NEW.state", "0", 1) + "END";
    sql << "CREATE TRIGGER week_removed AFTER DELETE ON week_scores BEGIN "
           "UPDATE week_totals SET n = n - 1 WHERE slot = 0; " +
               CountState("week_state_totals", "OLD.state", "0", -1) + "END";
}

void MigrateToVersion3(soci::session& sql, bool pg)
{
    // Every score stored so far came without a replay.
    sql << "ALTER TABLE scores ADD COLUMN state VARCHAR(16) NOT NULL DEFAULT 'unverified'";
    sql << "ALTER TABLE scores ADD COLUMN detail VARCHAR(200) NOT NULL DEFAULT ''";
    sql << "ALTER TABLE scores ADD COLUMN level INTEGER";
    sql << "ALTER TABLE scores ADD COLUMN game_time_ms BIGINT";
    sql << "ALTER TABLE scores ADD COLUMN token_issued_at BIGINT";
    sql << "ALTER TABLE week_scores ADD COLUMN state VARCHAR(16) NOT NULL DEFAULT 'unverified'";
    // Partial indexes: the verified table walks only verified rows. Their
    // condition is written out in the queries that use them.
    sql << "CREATE INDEX scores_verified_rank ON scores (score DESC, id) WHERE state = 'verified'";
    sql << "CREATE INDEX week_verified_rank ON week_scores (score DESC, id) WHERE state = 'verified'";
    sql << "CREATE INDEX week_verified_time ON week_scores (submitted_at) WHERE state = 'verified'";
    sql << "CREATE TABLE state_totals (state VARCHAR(16) NOT NULL, slot INTEGER NOT NULL, n BIGINT NOT NULL, "
           "PRIMARY KEY (state, slot))";
    sql << "CREATE TABLE week_state_totals (state VARCHAR(16) NOT NULL, slot INTEGER NOT NULL, n BIGINT NOT NULL, "
           "PRIMARY KEY (state, slot))";
    sql << "INSERT INTO state_totals (state, slot, n) SELECT 'unverified', 0, COUNT(*) FROM scores";
    sql << "INSERT INTO week_state_totals (state, slot, n) SELECT 'unverified', 0, COUNT(*) FROM week_scores";
    // The file as it came, in base64: one text column serves both databases.
    sql << "CREATE TABLE replays (score_id BIGINT PRIMARY KEY, data TEXT NOT NULL, uploaded_at BIGINT NOT NULL)";
    // A job is queued, running (leased by a worker until lease_until, in
    // milliseconds since the epoch), done or failed.
    sql << "CREATE TABLE verify_jobs ("
           "score_id BIGINT PRIMARY KEY, "
           "state VARCHAR(16) NOT NULL, "
           "attempts INTEGER NOT NULL DEFAULT 0, "
           "lease_until BIGINT NOT NULL DEFAULT 0, "
           "worker VARCHAR(128) NOT NULL DEFAULT '', "
           "created_at BIGINT NOT NULL, "
           "finished_at BIGINT, "
           "run_ms BIGINT)";
    sql << "CREATE INDEX verify_jobs_waiting ON verify_jobs (state, score_id)";
    // How long verifications took, as cumulative buckets: a finished job
    // adds itself to every bucket at least as long as it took, so no page
    // ever sums the jobs themselves.
    sql << "CREATE TABLE verify_times (le_ms BIGINT PRIMARY KEY, n BIGINT NOT NULL, total_ms BIGINT NOT NULL)";
    for (const long long bucket : VerifyTimeBuckets)
        sql << "INSERT INTO verify_times (le_ms, n, total_ms) VALUES (:b, 0, 0)", soci::use(bucket);
    if (pg)
        CreateStateTriggersPostgres(sql);
    else
        CreateStateTriggersSqlite(sql);
}

} // namespace

void PrepareSchema(soci::session& sql, EStoreBackend backend, int64_t now)
{
    const bool pg = backend == EStoreBackend::PostgreSql;
    // One writer at a time from the start, so that two servers starting on
    // one database do not both migrate it.
    if (pg) {
        sql << "BEGIN";
        sql << "SELECT pg_advisory_xact_lock(7305541)";
    } else {
        sql << "PRAGMA journal_mode = WAL";
        sql << "BEGIN IMMEDIATE";
    }
    try {
        CreateVersion1(sql, pg);
        sql << "CREATE TABLE IF NOT EXISTS store_version (version INTEGER NOT NULL)";
        int version = 1;
        soci::indicator ind = soci::i_null;
        sql << "SELECT MAX(version) FROM store_version", soci::into(version, ind);
        if (ind != soci::i_ok)
            version = 1;
        if (version < 2)
            MigrateToVersion2(sql, pg, now);
        if (version < 3)
            MigrateToVersion3(sql, pg);
        if (version < CurrentVersion) {
            sql << "DELETE FROM store_version";
            sql << "INSERT INTO store_version (version) VALUES (:v)", soci::use(CurrentVersion);
        }
        sql << "COMMIT";
    } catch (...) {
        try {
            sql << "ROLLBACK";
        } catch (...) {
            // The connection is gone; the database rolled back itself.
        }
        throw;
    }
}
