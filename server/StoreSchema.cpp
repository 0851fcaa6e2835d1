// The schema and its one step of migration.
//
// Version 1: tokens and scores. Version 2 adds what makes a table page cost
// the same however many rows there are: the row counts kept by triggers
// (score_totals), and the last week's rows in a table of their own
// (week_scores, swept of older rows in the background) with its own rank
// index and count (week_totals). The triggers live in the database, so
// rows that older servers or an operator add or delete are counted too.
#include "StoreSchema.h"

#include <soci/soci.h>

#include <string>

namespace {

constexpr int CurrentVersion = 2;

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
