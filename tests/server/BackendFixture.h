// SPDX-License-Identifier: GPL-3.0-or-later
// Tests run once on SQLite and once on PostgreSQL: a fresh SQLite file, or
// a fresh database on the cluster that scripts/test starts.
#pragma once

#include "ScoreStore.h"
#include "Support.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <chrono>
#include <filesystem>
#include <memory>
#include <optional>
#include <random>
#include <string>

class Backend : public ::testing::TestWithParam<EStoreBackend> {
protected:
    void SetUp() override
    {
        if (GetParam() == EStoreBackend::Sqlite) {
            std::random_device random;
            Dir = std::filesystem::temp_directory_path() / ("zarvenok-store-" + std::to_string(random()));
            std::filesystem::create_directories(Dir);
            Where = (Dir / "scores.db").string();
            return;
        }
        if (auto db = TPostgresDatabase::Create())
            Postgres.emplace(std::move(*db));
        if (!Postgres) {
            if (PostgresRequired())
                FAIL() << PostgresVariable << " is not set; scripts/test sets it";
            GTEST_SKIP() << PostgresVariable << " is not set; run scripts/test";
        }
        Where = Postgres->ConnectionString();
    }

    void TearDown() override
    {
        if (!Dir.empty())
            std::filesystem::remove_all(Dir);
    }

    std::unique_ptr<TScoreStore> Open(std::size_t connections = 4,
                                      std::chrono::milliseconds timeout = std::chrono::seconds(5))
    {
        return std::make_unique<TScoreStore>(GetParam(), Where, connections, timeout);
    }

    // SQL straight on the database, as an operator would type it.
    void Execute(const std::string& sql)
    {
        if (Postgres) {
            ExecSql(Where, sql);
            return;
        }
        sqlite3* db = nullptr;
        ASSERT_EQ(sqlite3_open(Where.c_str(), &db), SQLITE_OK);
        sqlite3_busy_timeout(db, 10000);
        char* error = nullptr;
        const int result = sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &error);
        EXPECT_EQ(result, SQLITE_OK) << sql << ": " << (error != nullptr ? error : "");
        sqlite3_free(error);
        sqlite3_close(db);
    }

    bool IsPostgres() const { return GetParam() == EStoreBackend::PostgreSql; }

    std::filesystem::path Dir;
    std::optional<TPostgresDatabase> Postgres;
    std::string Where;
};

inline std::string BackendName(const ::testing::TestParamInfo<EStoreBackend>& info)
{
    return info.param == EStoreBackend::Sqlite ? "Sqlite" : "PostgreSql";
}
