// SPDX-License-Identifier: GPL-3.0-or-later
// The store and the HTTP server on a real database: a SQLite file, and a
// PostgreSQL database on the cluster that scripts/test starts.
#include "BackendFixture.h"
#include "ServerFixture.h"
#include "Pages.h"
#include "ScoreRecord.h"
#include "ScoreServer.h"
#include "ScoreStore.h"
#include "Support.h"
#include "TextEncoding.h"

#include <gtest/gtest.h>

#include <atomic>
#include <climits>
#include <filesystem>
#include <random>
#include <thread>
#include <vector>

namespace {

using Store = Backend;

TEST_P(Store, TokenIsUsedOnceAndExpires)
{
    auto store = Open();
    store->IssueToken(Token, 1000);
    EXPECT_EQ(store->Submit(Record("ALICE", 10, Token), 1010, 3600), ESubmitResult::Stored);
    EXPECT_EQ(store->Submit(Record("MALLORY", 99, Token), 1020, 3600), ESubmitResult::UsedToken);
    EXPECT_EQ(store->Submit(Record("MALLORY", 99, std::string(32, 'f')), 1020, 3600),
              ESubmitResult::UnknownToken);

    const std::string late = std::string(32, 'a');
    store->IssueToken(late, 1000);
    EXPECT_EQ(store->Submit(Record("LATE", 5, late), 1000 + 3601, 3600), ESubmitResult::UnknownToken);
    EXPECT_EQ(store->Submit(Record("LATE", 5, late), 1000 + 3600, 3600), ESubmitResult::Stored);

    const TScorePage page = store->Table(EPeriod::AllTime, 2000, 0, 10);
    ASSERT_EQ(page.Total, 2);
    EXPECT_EQ(page.Rows[0].Name, "ALICE");
    EXPECT_EQ(page.Rows[1].Name, "LATE");
}

TEST_P(Store, RacingSubmissionsOfOneTokenStoreOnce)
{
    auto store = Open(4);
    constexpr int Tokens = 20;
    std::vector<std::string> tokens;
    for (int i = 0; i < Tokens; ++i) {
        tokens.push_back(NewToken());
        store->IssueToken(tokens.back(), 1000);
    }
    std::atomic<int> stored{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t)
        threads.emplace_back([&, t] {
            for (int i = 0; i < Tokens; ++i)
                if (store->Submit(Record("RACER", t * 100 + i, tokens[i]), 1001, 3600) ==
                    ESubmitResult::Stored)
                    ++stored;
        });
    for (auto& thread : threads)
        thread.join();
    EXPECT_EQ(stored.load(), Tokens);
    EXPECT_EQ(store->CountScores(), Tokens);
}

TEST_P(Store, TableIsBestFirstPagedAndWeekly)
{
    auto store = Open();
    // (name, score, time): ties keep the earlier submission above.
    store->InsertScore(Record("OLD", 900, "t1", "VETS"), 100);
    store->InsertScore(Record("MID", 500, "t2"), 200);
    store->InsertScore(Record("TIEA", 700, "t3"), 300);
    store->InsertScore(Record("TIEB", 700, "t4"), 400);
    store->InsertScore(Record("LOW", 10, "t5"), 500);

    const TScorePage first = store->Table(EPeriod::AllTime, 500, 0, 2);
    EXPECT_EQ(first.Total, 5);
    ASSERT_EQ(first.Rows.size(), 2U);
    EXPECT_EQ(first.Rows[0].Name, "OLD");
    EXPECT_EQ(first.Rows[0].Squad, "VETS");
    EXPECT_EQ(first.Rows[0].SubmittedAt, 100);
    EXPECT_EQ(first.Rows[1].Name, "TIEA");
    const TScorePage second = store->Table(EPeriod::AllTime, 500, 2, 2);
    ASSERT_EQ(second.Rows.size(), 2U);
    EXPECT_EQ(second.Rows[0].Name, "TIEB");
    EXPECT_EQ(second.Rows[0].Rank, 3);
    EXPECT_EQ(second.Rows[1].Name, "MID");
    EXPECT_TRUE(store->Table(EPeriod::AllTime, 500, 10, 2).Rows.empty());

    // The week up to 300 + WeekSeconds starts at 300.
    const TScorePage recent = store->Table(EPeriod::Week, 300 + WeekSeconds, 0, 10);
    EXPECT_EQ(recent.Total, 3);
    ASSERT_EQ(recent.Rows.size(), 3U);
    EXPECT_EQ(recent.Rows[0].Name, "TIEA");
    EXPECT_EQ(recent.Rows[0].Rank, 1);
    EXPECT_EQ(recent.Rows[2].Name, "LOW");
}

TEST_P(Store, TwoStoresShareOneDatabaseAndReopenKeepsIt)
{
    auto a = Open(2);
    auto b = Open(2);
    a->IssueToken(Token, 1000);
    EXPECT_EQ(b->Submit(Record("SHARED", 42, Token), 1001, 3600), ESubmitResult::Stored);
    EXPECT_EQ(a->Submit(Record("SHARED", 42, Token), 1002, 3600), ESubmitResult::UsedToken);
    a.reset();
    b.reset();
    auto reopened = Open(1);
    EXPECT_EQ(reopened->CountScores(), 1);
    EXPECT_EQ(reopened->Table(EPeriod::AllTime, 2000, 0, 1).Rows.at(0).Name, "SHARED");
}

INSTANTIATE_TEST_SUITE_P(, Store, ::testing::Values(EStoreBackend::Sqlite, EStoreBackend::PostgreSql),
                         BackendName);

TEST_P(Server, GameSubmissionIsStoredOnceAndShown)
{
    Start();
    const THttpReply version = Get("/cgi/version.pl?version&prg=Zarvenok");
    ASSERT_EQ(version.Status, 200);
    ASSERT_EQ(version.Body.substr(0, 2), "OK");
    const std::string token = ReplyField(version.Body, 5);
    ASSERT_EQ(token.size(), TokenLength) << version.Body;

    const std::string inf = Submission(BuildScoreRecord("ALICE", 4321, token, "REDS"));
    const THttpReply stored = Get(inf);
    EXPECT_EQ(stored.Status, 200);
    EXPECT_EQ(stored.Body.substr(0, 2), "OK");
    const THttpReply replay = Get(inf);
    EXPECT_EQ(replay.Status, 409);
    const THttpReply changed = Get(Submission(BuildScoreRecord("ALICE", 9999, token, "REDS")));
    EXPECT_EQ(changed.Status, 409);
    EXPECT_EQ(Store->CountScores(), 1);

    // Without its replay the score is not in the table of verified scores,
    // only in the one of every score.
    EXPECT_NE(Get("/cgi/version.pl?prg=Zarvenok&show&type=0").Body.find("No scores yet"), std::string::npos);
    const THttpReply page = Get("/cgi/version.pl?prg=Zarvenok&show&type=0&all=1");
    EXPECT_EQ(page.Status, 200);
    EXPECT_NE(page.Body.find("<td class=\"t\">ALICE</td><td class=\"n\">4321</td><td></td><td class=\"t w\">REDS</td>"
                             "<td class=\"n\"></td><td class=\"n\"></td><td class=\"d w\">2023-11-14</td>"
                             "<td class=\"t s\">unverified (no replay)</td>"),
              std::string::npos)
        << page.Body;
    const THttpReply json = Get("/api/scores?period=week&all=1");
    EXPECT_EQ(json.Status, 200);
    EXPECT_NE(json.Body.find(R"("name":"ALICE","rank":1,"score":4321,"squad":"REDS","state":"unverified")"),
              std::string::npos)
        << json.Body;
}

TEST_P(Server, BadSubmissionsStoreNothing)
{
    Start();
    const std::string token = IssueToken();
    struct Case {
        std::string Target;
        long Status;
    };
    const std::string good = BuildScoreRecord("EVE", 100, token, "");
    const Case cases[] = {
        // A token of the right shape that was never handed out.
        {Submission(BuildScoreRecord("EVE", 100, std::string(32, 'e'), "")), 403},
        {Submission(BuildScoreRecord("EVE", -100, token, "")), 400},
        {Submission(BuildScoreRecord("EVE", 1'000'000'000, token, "")), 400},
        {Submission(BuildScoreRecord("<B>EVE</B>", 100, token, "")), 400},
        {Submission(good).substr(0, Submission(good).size() - 3), 400},
        {Submission(good) + "a", 400},
        {"/cgi/version.pl?hs&prg=Zarvenok&inf=" + std::string(4000, 'A'), 414},
        {"/cgi/version.pl?hs&prg=Zarvenok&inf=" + std::string(40000, 'A'), 414},
        {"/cgi/version.pl?hs&prg=Zarvenok&inf=" + EncodeLine(good) + "&inf=" + EncodeLine(good), 400},
        {"/cgi/version.pl?hs&prg=Other&inf=" + EncodeLine(good), 400},
        {"/cgi/version.pl?hs&prg=Zarvenok", 400},
        {"/cgi/version.pl?whatever", 400},
        {"/cgi/other.pl?version&prg=Zarvenok", 404},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Get(c.Target).Status, c.Status) << c.Target.substr(0, 120);
    EXPECT_EQ(Store->CountScores(), 0);

    // None of that used the token up.
    EXPECT_EQ(Get(Submission(good)).Status, 200);
    EXPECT_EQ(Store->CountScores(), 1);

    // An hour later a fresh token is already stale.
    const std::string stale = IssueToken();
    Clock += 3601;
    EXPECT_EQ(Get(Submission(BuildScoreRecord("EVE", 100, stale, ""))).Status, 403);
    EXPECT_EQ(Store->CountScores(), 1);
}

TEST_P(Server, BurstFromOneAddressIsRefused)
{
    Start([](TServerConfig& config) {
        config.RatePerSecond = 0.001;
        config.Burst = 10;
    });
    int ok = 0;
    int limited = 0;
    for (int i = 0; i < 30; ++i) {
        const long status = Get("/cgi/version.pl?version&prg=Zarvenok").Status;
        ok += status == 200;
        limited += status == 429;
    }
    EXPECT_EQ(ok, 10);
    EXPECT_EQ(limited, 20);
}

TEST_P(Server, PagesEscapeNamesAndPage)
{
    Start();
    Store->InsertScore(Record("<script>alert(1)</script>", 500, "x1", "<i>SQ</i>"), Clock.load());
    for (int i = 0; i < 30; ++i)
        Store->InsertScore(Record("P" + std::string(1, static_cast<char>('A' + i % 26)), 100 + i,
                                  "p" + std::to_string(i)),
                           Clock.load() - 10 * 24 * 3600);
    const THttpReply page = Get("/cgi/version.pl?prg=Zarvenok&show&type=0&all=1");
    EXPECT_EQ(page.Body.find("<script>"), std::string::npos);
    EXPECT_EQ(page.Body.find("<i>"), std::string::npos);
    EXPECT_NE(page.Body.find("&lt;script&gt;alert(1)&lt;/script&gt;"), std::string::npos);
    EXPECT_NE(page.Body.find("Page 1 of 2"), std::string::npos);

    const THttpReply second = Get("/cgi/version.pl?prg=Zarvenok&show&type=0&page=2&all=1");
    EXPECT_NE(second.Body.find("<td class=\"n\">26</td>"), std::string::npos) << second.Body;
    EXPECT_NE(second.Body.find("rel=\"prev\""), std::string::npos);

    // Only the fresh row is within the week.
    const THttpReply week = Get("/api/scores?period=week&all=1");
    EXPECT_NE(week.Body.find(R"("total":1)"), std::string::npos) << week.Body;

    const THttpReply home = Get("/");
    EXPECT_EQ(home.Status, 200);
    EXPECT_NE(home.Body.find("href=\"/cgi/version.pl?prg=Zarvenok&amp;show&amp;type=0\""),
              std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(, Server, ::testing::Values(EStoreBackend::Sqlite, EStoreBackend::PostgreSql),
                         BackendName);

} // namespace
