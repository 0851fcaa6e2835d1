// SPDX-License-Identifier: GPL-3.0-or-later
// The score store's table reads on a large table: page 1 and the deepest
// page that can be asked for, all-time and weekly, and a submission, on
// SQLite and (when ZARVENOK_TEST_POSTGRESQL names a cluster, as
// scripts/postgres-cluster makes) on PostgreSQL. ZARVENOK_BENCH_ROWS sets
// the rows (1,000,000 by default), spread over two weeks.
#include "Request.h"
#include "ScoreServer.h"
#include "ScoreStore.h"

#include <benchmark/benchmark.h>
#include <libpq-fe.h>
#include <sqlite3.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <unistd.h>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

void Postgres(const std::string& conninfo, const std::string& sql)
{
    PGconn* conn = PQconnectdb(conninfo.c_str());
    PGresult* result = PQexec(conn, sql.c_str());
    const bool ok = PQresultStatus(result) == PGRES_COMMAND_OK || PQresultStatus(result) == PGRES_TUPLES_OK;
    const std::string message = PQerrorMessage(conn);
    PQclear(result);
    PQfinish(conn);
    if (!ok)
        throw std::runtime_error(sql.substr(0, 60) + ": " + message);
}

void Sqlite(const std::string& file, const std::string& sql)
{
    sqlite3* db = nullptr;
    sqlite3_open(file.c_str(), &db);
    char* error = nullptr;
    const int result = sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &error);
    const std::string message = error != nullptr ? error : "";
    sqlite3_free(error);
    sqlite3_close(db);
    if (result != SQLITE_OK)
        throw std::runtime_error(sql.substr(0, 60) + ": " + message);
}

struct TBackend {
    std::string Name;
    std::unique_ptr<TScoreStore> Store;
};

int64_t Now()
{
    return static_cast<int64_t>(std::time(nullptr));
}

// A store of `rows` rows, filled the way an operator's import would be:
// straight into the table, the counts kept by the database's triggers.
TBackend Fill(EStoreBackend backend, const std::string& where, int64_t rows)
{
    TBackend made{backend == EStoreBackend::Sqlite ? "sqlite" : "postgresql",
                  std::make_unique<TScoreStore>(backend, where, 2)};
    const std::string n = std::to_string(rows);
    const std::string now = std::to_string(Now());
    const auto start = std::chrono::steady_clock::now();
    if (backend == EStoreBackend::Sqlite)
        Sqlite(where, "WITH RECURSIVE g(x) AS (SELECT 1 UNION ALL SELECT x + 1 FROM g WHERE x < " + n + ") "
                      "INSERT INTO scores (name, score, squad, token, submitted_at) "
                      "SELECT 'P' || x, (x * 7919) % 100000000, 'SEED', printf('%032x', x), " + now +
                          " - (x % 1209600) FROM g");
    else
        Postgres(where, "INSERT INTO scores (name, score, squad, token, submitted_at) "
                        "SELECT 'P' || g, (g::bigint * 7919) % 100000000, 'SEED', md5(g::text), " + now +
                            " - (g % 1209600) FROM generate_series(1, " + n + ") g");
    // Half the rows are older than a week: swept out of the weekly table, as
    // the server's sweeper keeps it when rows arrive over time.
    while (made.Store->SweepWeek(Now(), 10000) > 0) {}
    if (backend == EStoreBackend::PostgreSql)
        Postgres(where, "VACUUM ANALYZE");
    else
        Sqlite(where, "ANALYZE");
    std::fprintf(stderr, "%s: %s rows in %.0f s\n", made.Name.c_str(), n.c_str(),
                 std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    return made;
}

void Register(TBackend& backend)
{
    TScoreStore* store = backend.Store.get();
    const int64_t deepest = int64_t{MaxTablePage - 1} * TablePageSize;
    struct TRead {
        const char* Name;
        EPeriod Period;
        int64_t Offset;
    };
    for (const TRead read : {TRead{"all/page1", EPeriod::AllTime, 0}, TRead{"all/deepest", EPeriod::AllTime, deepest},
                             TRead{"week/page1", EPeriod::Week, 0}, TRead{"week/deepest", EPeriod::Week, deepest}})
        benchmark::RegisterBenchmark(("Table/" + backend.Name + "/" + read.Name).c_str(), [=](benchmark::State& state) {
            const int64_t now = Now();
            for (auto _ : state) {
                const TScorePage page = store->Table(read.Period, now, read.Offset, TablePageSize);
                benchmark::DoNotOptimize(page.Total);
            }
        })->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark(("Submit/" + backend.Name).c_str(), [=](benchmark::State& state) {
        int n = 0;
        for (auto _ : state) {
            const std::string token = NewToken();
            store->IssueToken(token, Now());
            store->Submit(TSubmission{"BENCH", 1000 + n++, token, ""}, Now(), 3600);
        }
    })->Unit(benchmark::kMillisecond);
}

} // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    const char* rowsText = std::getenv("ZARVENOK_BENCH_ROWS");
    const int64_t rows = rowsText != nullptr ? std::atoll(rowsText) : 1'000'000;

    const fs::path dir = fs::temp_directory_path() / ("zarvenok-bench-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    std::vector<TBackend> backends;
    backends.push_back(Fill(EStoreBackend::Sqlite, (dir / "scores.db").string(), rows));
    std::string database;
    const char* admin = std::getenv("ZARVENOK_TEST_POSTGRESQL");
    if (admin != nullptr && *admin != '\0') {
        database = "zarvenok_bench_" + std::to_string(::getpid());
        Postgres(admin, "CREATE DATABASE " + database);
        backends.push_back(Fill(EStoreBackend::PostgreSql, std::string(admin) + " dbname=" + database, rows));
    }
    for (TBackend& backend : backends)
        Register(backend);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    backends.clear();
    if (!database.empty())
        Postgres(admin, "DROP DATABASE " + database + " WITH (FORCE)");
    fs::remove_all(dir);
    return 0;
}
