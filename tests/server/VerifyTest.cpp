// SPDX-License-Identifier: GPL-3.0-or-later
// Scores verified by their replays, against the real server on loopback and
// real SQLite and PostgreSQL: the game's own client uploads the replay, the
// server's workers re-run it in a child process (a stand-in verifier that
// misbehaves on request), and the tables show the outcome. On PostgreSQL,
// worker processes share the queue and a job whose worker is killed is
// taken by another.
#include "VerifyFixture.h"

namespace {

using namespace verify_fixture;

TEST_P(Verify, UploadedReplayIsVerifiedShownAndServed)
{
    StartVerifying();
    const std::string token = Play("ACE", 2600, 40);
    const std::vector<uint8_t> replay = ReplayBytes("ACE", 2600, 3, 1000, 31'000);
    const THttpResult uploaded = Upload(token, replay);
    ASSERT_EQ(uploaded.Outcome, THttpOutcome::Ok) << uploaded.Reason;
    EXPECT_EQ(uploaded.Body.rfind("OK|queued|", 0), 0u) << uploaded.Body;
    const std::string id = ReplyField(uploaded.Body, 3);

    const auto rows = Settled();
    ASSERT_EQ(rows.count("ACE"), 1u);
    EXPECT_EQ(rows.at("ACE").at("state"), "verified") << rows.at("ACE");
    EXPECT_EQ(rows.at("ACE").at("level"), 3);
    EXPECT_EQ(rows.at("ACE").at("gameTimeMs"), 31'000);

    // The verified table shows it by default, marked and linked to its file.
    const THttpReply json = Get("/api/scores");
    EXPECT_NE(json.Body.find(R"("replay":"/api/replays/)" + id + "\""), std::string::npos) << json.Body;
    EXPECT_NE(json.Body.find(R"("verified":true)"), std::string::npos);
    const THttpReply page = Get("/cgi/version.pl?prg=Zarvenok&show&type=0");
    EXPECT_NE(page.Body.find("<a class=\"v\" href=\"/api/replays/" + id + "\""), std::string::npos) << page.Body;
    EXPECT_NE(page.Body.find("<td class=\"n\">3</td><td class=\"n\">0:31</td>"), std::string::npos);
    const THttpReply file = HttpCall("GET", Base, "/api/replays/" + id);
    EXPECT_EQ(file.Status, 200);
    EXPECT_TRUE(file.Body == std::string(replay.begin(), replay.end()));
    EXPECT_NE(file.Headers.find("application/octet-stream"), std::string::npos);
    EXPECT_EQ(HttpGet(Base, "/api/replays/999999").Status, 404);

    // One replay a score, and only for a score that was stored.
    const THttpResult again = Upload(token, replay);
    EXPECT_EQ(again.Status, 409);
    EXPECT_EQ(again.Reason, "this score's replay was sent already");
    EXPECT_EQ(Upload(std::string(32, 'a'), replay).Status, 403);
    // Past the limit the server refuses it, whoever sends it.
    THttpRequest large = ReplayUploadRequest(Base, token, std::vector<uint8_t>(MaxReplayUploadBytes + 1));
    auto refused = Client.Start(large);
    while (refused->Poll().Outcome == THttpOutcome::Pending)
        std::this_thread::sleep_for(5ms);
    EXPECT_EQ(refused->Poll().Status, 413);
    EXPECT_EQ(HttpGet(Base, "/api/replays?token=" + token).Status, 405);

    const THttpReply metrics = Get("/metrics");
    EXPECT_EQ(metrics.Status, 200);
    EXPECT_NE(metrics.Body.find("zarvenok_scores{state=\"verified\"} 1\n"), std::string::npos) << metrics.Body;
    EXPECT_NE(metrics.Body.find("zarvenok_verify_queue_length 0\n"), std::string::npos);
    EXPECT_NE(metrics.Body.find("zarvenok_verify_seconds_count 1\n"), std::string::npos);
    EXPECT_NE(metrics.Body.find("zarvenok_verify_seconds_bucket{le=\"+Inf\"} 1\n"), std::string::npos);
}

// Each forgery and each misbehaving re-run ends in its own outcome, stored
// with the score; none reaches the verified table, and the server serves on.
TEST_P(Verify, ForgeriesAndBrokenRunsGetTheirOutcomes)
{
    StartVerifying();
    struct Case {
        std::string Name;
        int64_t Claimed;              // the submitted score
        std::vector<uint8_t> Replay;
        std::string State;
        std::string Detail;           // a part of it
    };
    const auto replay = [](const std::string& name, uint32_t frames = 1000, uint32_t gameMs = 31'000) {
        return ReplayBytes(name, 2600, 3, frames, gameMs);
    };
    std::vector<uint8_t> garbage(5000, 'x');
    const Case cases[] = {
        {"HIGHER", 90000, replay("HIGHER"), "differs", "result differs: claimed 90000, replayed 2600"},
        {"EVE", 2600, replay("BOB"), "refused", "the replay is of the player \"BOB\", the score of EVE"},
        {"FAST", 2600, replay("FAST", 5000), "refused", "5000 frames in 31000 ms come faster than the game runs"},
        {"LONG", 2600, replay("LONG", 100, 600'000), "refused", "the game took 600 s, but its token was issued 41 s"},
        {"JUNK", 2600, garbage, "refused", "refused: Not a replay file"},
        {"DESYNC", 2600, replay("DESYNC"), "desync", "desync at frame 42"},
        {"OLDER", 2600, replay("OLDER"), "unsupported", "unsupported version: 0.9"},
        {"HANG", 2600, replay("HANG"), "timeout", "took longer than 3"},
        // Out of processor time, or of wall time on a machine too busy to give it.
        {"SPIN", 2600, replay("SPIN"), "timeout", "time-out: the re-run "},
        {"CRASH", 2600, replay("CRASH"), "failed", "SIGABRT"},
        // Stopped by its memory limit; on a machine too busy to let it reach
        // that in time, by the wall clock. The limit itself is tested with the
        // child process alone.
        {"BOMB", 2600, replay("BOMB"), "failed|timeout", ""},
        {"CHATTER", 2600, replay("CHATTER"), "failed", "wrote more than a line"},
    };
    for (const Case& c : cases) {
        const THttpResult uploaded = Upload(Play(c.Name, c.Claimed, 40), c.Replay);
        EXPECT_EQ(uploaded.Outcome, THttpOutcome::Ok) << c.Name << ": " << uploaded.Reason;
    }
    const auto rows = Settled();
    for (const Case& c : cases) {
        ASSERT_EQ(rows.count(c.Name), 1u) << c.Name;
        const nlohmann::json& row = rows.at(c.Name);
        EXPECT_NE(c.State.find(row.at("state").get<std::string>()), std::string::npos) << row;
        EXPECT_NE(row.value("detail", "").find(c.Detail), std::string::npos) << row;
        EXPECT_EQ(row.at("verified"), false);
    }
    EXPECT_NE(Get("/cgi/version.pl?prg=Zarvenok&show&type=0").Body.find("No scores yet"), std::string::npos);
    const THttpReply every = Get("/cgi/version.pl?prg=Zarvenok&show&type=0&all=1");
    EXPECT_NE(every.Body.find("<td class=\"t s\">desync at frame 42</td>"), std::string::npos) << every.Body;
    EXPECT_EQ(Get("/health").Status, 200);
    const THttpReply metrics = Get("/metrics");
    const int failed = 2 + (rows.at("BOMB").at("state") == "failed");
    const std::string failedCount = std::to_string(failed) + "\n";
    EXPECT_NE(metrics.Body.find("zarvenok_scores{state=\"failed\"} " + failedCount), std::string::npos) << metrics.Body;
    EXPECT_NE(metrics.Body.find("zarvenok_verify_jobs{state=\"failed\"} " + failedCount), std::string::npos);
    EXPECT_NE(metrics.Body.find("zarvenok_verify_jobs{state=\"done\"} " + std::to_string(12 - failed) + "\n"),
              std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(, Verify, ::testing::Values(EStoreBackend::Sqlite, EStoreBackend::PostgreSql),
                         BackendName);

TEST_P(WorkerProcesses, KilledWorkersJobIsTakenByAnother)
{
    if (!IsPostgres())
        GTEST_SKIP() << "worker processes share a PostgreSQL queue";
    // The server takes uploads only; two worker processes verify.
    Start();
    const pid_t first = StartWorker();
    const THttpResult slow = Upload(Play("SLOW", 700, 40), ReplayBytes("SLOW", 700, 2, 1000, 31'000));
    ASSERT_EQ(slow.Outcome, THttpOutcome::Ok) << slow.Reason;
    const auto deadline = TClock::now() + 20s;
    while (Number("SELECT COUNT(*) FROM verify_jobs WHERE state = 'running'") == 0 && TClock::now() < deadline)
        std::this_thread::sleep_for(20ms);
    ASSERT_EQ(Number("SELECT COUNT(*) FROM verify_jobs WHERE state = 'running'"), 1);
    Stop(first, SIGKILL);
    StartWorker();
    StartWorker();
    for (const std::string name : {"ALPHA", "BRAVO", "CHARLIE", "DELTA"}) {
        const THttpResult uploaded = Upload(Play(name, 100, 40), ReplayBytes(name, 100, 1, 1000, 31'000));
        EXPECT_EQ(uploaded.Outcome, THttpOutcome::Ok) << uploaded.Reason;
    }
    const auto rows = Settled();
    for (const std::string name : {"SLOW", "ALPHA", "BRAVO", "CHARLIE", "DELTA"})
        EXPECT_EQ(rows.at(name).at("state"), "verified") << rows.at(name);
    // The killed worker's job was run a second time, every other once, and
    // both workers took some.
    EXPECT_EQ(Number("SELECT attempts FROM verify_jobs j JOIN scores s ON s.id = j.score_id WHERE s.name = 'SLOW'"), 2);
    EXPECT_EQ(Number("SELECT COUNT(*) FROM verify_jobs WHERE attempts = 1"), 4);
    EXPECT_EQ(Number("SELECT COUNT(DISTINCT worker) FROM verify_jobs"), 2);
}

INSTANTIATE_TEST_SUITE_P(, WorkerProcesses, ::testing::Values(EStoreBackend::PostgreSql), BackendName);

} // namespace
