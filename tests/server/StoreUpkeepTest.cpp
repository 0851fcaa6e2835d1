// SPDX-License-Identifier: GPL-3.0-or-later
// The store keeping itself going: connections the database killed are
// replaced, expired tokens and old weekly rows are swept in batches, the
// maintained counts follow every change, and a database made by an older
// server is brought up to date.
#include "ServerFixture.h"
#include "Sweeper.h"

#include <gtest/gtest.h>

#include <thread>

namespace {

using Upkeep = Backend;
using namespace std::chrono_literals;

constexpr int64_t Now = 1'700'000'000;

TEST_P(Upkeep, ConnectionsKilledByTheDatabaseAreReplaced)
{
    if (!IsPostgres())
        GTEST_SKIP() << "only a database server kills connections";
    auto store = Open(2);
    store->InsertScore(Record("KEPT", 100, "k1"), Now);
    // Every connection used once, so that both are open when killed.
    std::thread other([&] { store->Table(EPeriod::AllTime, Now, 0, 10); });
    store->Table(EPeriod::Week, Now, 0, 10);
    other.join();
    for (int round = 0; round < 2; ++round) {
        ExecSql(Postgres->AdminConnectionString(),
                "SELECT pg_terminate_backend(pid) FROM pg_stat_activity WHERE datname = '" + Postgres->Name() + "'");
        // Reads are tried again on a fresh connection; a submission whose
        // connection broke before it committed is too.
        for (int i = 0; i < 3; ++i)
            EXPECT_EQ(store->Table(EPeriod::AllTime, Now, 0, 10).Total, 1 + round);
        const std::string token = "feed" + std::string(27, '0') + std::to_string(round);
        store->IssueToken(token, Now);
        ExecSql(Postgres->AdminConnectionString(),
                "SELECT pg_terminate_backend(pid) FROM pg_stat_activity WHERE datname = '" + Postgres->Name() + "'");
        EXPECT_EQ(store->Submit(Record("AFTER", 200, token), Now, 3600), ESubmitResult::Stored);
    }
    EXPECT_EQ(store->CountScores(), 3);
}

TEST_P(Upkeep, ExpiredTokensAndOldWeeklyRowsAreSweptInBatches)
{
    auto store = Open();
    for (int i = 0; i < 120; ++i)
        store->IssueToken(std::string(28, 'a') + std::to_string(1000 + i), Now - 4000);
    store->IssueToken(Token, Now - 100);
    EXPECT_EQ(store->SweepTokens(Now, 3600, 50), 50);
    EXPECT_EQ(store->SweepTokens(Now, 3600, 50), 50);
    EXPECT_EQ(store->SweepTokens(Now, 3600, 50), 20);
    EXPECT_EQ(store->SweepTokens(Now, 3600, 50), 0);
    EXPECT_EQ(store->Submit(Record("FRESH", 5, Token), Now, 3600), ESubmitResult::Stored);

    for (int i = 0; i < 30; ++i)
        store->InsertScore(Record("OLD", 10 + i, "o" + std::to_string(i)), Now - WeekSeconds - 10 - i);
    EXPECT_EQ(store->Table(EPeriod::Week, Now, 0, 100).Total, 1);
    EXPECT_EQ(store->SweepWeek(Now, 20), 20);
    EXPECT_EQ(store->SweepWeek(Now, 20), 10);
    EXPECT_EQ(store->SweepWeek(Now, 20), 0);
    // Swept from the week only: the all-time table keeps them.
    EXPECT_EQ(store->Table(EPeriod::Week, Now, 0, 100).Total, 1);
    EXPECT_EQ(store->Table(EPeriod::AllTime, Now, 0, 100).Total, 31);
    EXPECT_EQ(store->Table(EPeriod::AllTime, Now, 0, 100).Rows.size(), 31U);
}

TEST_P(Upkeep, SweeperWorksOnItsOwnThread)
{
    auto store = Open();
    for (int i = 0; i < 30; ++i)
        store->IssueToken(std::string(28, 'b') + std::to_string(1000 + i), Now - 4000);
    TSweeper sweeper(*store, [] { return Now; }, 3600, 20ms);
    const auto until = std::chrono::steady_clock::now() + 20s;
    while (sweeper.Swept() < 30 && std::chrono::steady_clock::now() < until)
        std::this_thread::sleep_for(10ms);
    EXPECT_EQ(sweeper.Swept(), 30);
}

TEST_P(Upkeep, CountsFollowRowsAddedAndDeletedByHand)
{
    auto store = Open();
    store->InsertScore(Record("A", 300, "t1"), Now - 10);
    store->InsertScore(Record("B", 200, "t2"), Now - 20);
    store->InsertScore(Record("C", 100, "t3"), Now - WeekSeconds - 1);
    EXPECT_EQ(store->Table(EPeriod::AllTime, Now, 0, 10).Total, 3);
    EXPECT_EQ(store->Table(EPeriod::Week, Now, 0, 10).Total, 2);
    // An operator's changes go through the database's own triggers.
    Execute("DELETE FROM scores WHERE name = 'B'");
    Execute("UPDATE scores SET score = 50 WHERE name = 'A'");
    Execute("INSERT INTO scores (name, score, squad, token, submitted_at) VALUES ('D', 400, '', 't4', " +
            std::to_string(Now - 5) + ")");
    const TScorePage all = store->Table(EPeriod::AllTime, Now, 0, 10);
    EXPECT_EQ(all.Total, 3);
    const TScorePage week = store->Table(EPeriod::Week, Now, 0, 10);
    EXPECT_EQ(week.Total, 2);
    ASSERT_EQ(week.Rows.size(), 2U);
    EXPECT_EQ(week.Rows[0].Name, "D");
    EXPECT_EQ(week.Rows[1].Name, "A");
    EXPECT_EQ(week.Rows[1].Score, 50);
}

TEST_P(Upkeep, DatabaseOfAnOlderServerIsBroughtUpToDate)
{
    // The tables as the first server made them, with rows.
    Execute(std::string("CREATE TABLE tokens (token VARCHAR(64) PRIMARY KEY, issued_at BIGINT NOT NULL, "
                        "used INTEGER NOT NULL DEFAULT 0)"));
    Execute(std::string("CREATE TABLE scores (") + (IsPostgres() ? "id BIGSERIAL" : "id INTEGER") +
            " PRIMARY KEY, name VARCHAR(64) NOT NULL, score BIGINT NOT NULL, squad VARCHAR(64) NOT NULL, "
            "token VARCHAR(64) NOT NULL UNIQUE, submitted_at BIGINT NOT NULL)");
    const auto now = static_cast<int64_t>(std::time(nullptr));
    Execute("INSERT INTO scores (name, score, squad, token, submitted_at) VALUES "
            "('OLD', 900, '', 'u1', " + std::to_string(now - 30 * 24 * 3600) + "), "
            "('NEW', 500, '', 'u2', " + std::to_string(now - 3600) + "), "
            "('NEWER', 700, '', 'u3', " + std::to_string(now - 60) + ")");
    Execute("INSERT INTO tokens (token, issued_at, used) VALUES ('" + Token + "', " + std::to_string(now) + ", 0)");
    // Two servers starting on it at once migrate it once.
    auto first = Open();
    auto second = Open();
    EXPECT_EQ(second->Table(EPeriod::AllTime, now, 0, 10).Total, 3);
    const TScorePage week = first->Table(EPeriod::Week, now, 0, 10);
    EXPECT_EQ(week.Total, 2);
    ASSERT_EQ(week.Rows.size(), 2U);
    EXPECT_EQ(week.Rows[0].Name, "NEWER");
    EXPECT_EQ(first->Submit(Record("LATEST", 800, Token), now, 3600), ESubmitResult::Stored);
    EXPECT_EQ(second->Table(EPeriod::Week, now, 0, 10).Total, 3);
    EXPECT_EQ(second->Table(EPeriod::AllTime, now, 0, 10).Total, 4);
}

INSTANTIATE_TEST_SUITE_P(, Upkeep, ::testing::Values(EStoreBackend::Sqlite, EStoreBackend::PostgreSql),
                         BackendName);

} // namespace
