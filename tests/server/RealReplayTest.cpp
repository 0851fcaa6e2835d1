// SPDX-License-Identifier: GPL-3.0-or-later
// The game's own replays (the golden ones the simulator's player recorded)
// and forgeries of them, verified by the real verifier program: on SQLite by
// the server's own worker, on PostgreSQL by two verify-worker processes.
#include "VerifyFixture.h"

#include "ReplayFile.h"

#include <filesystem>

namespace {

using namespace verify_fixture;

TReplay Golden(const std::string& name)
{
    return ReadReplayFile(std::filesystem::path(GOLDEN_REPLAYS) / (name + ".zrp"));
}

// The replay with its aim moved elsewhere: the last pointer move before a
// state check in the middle of the game, which nothing moves back before
// the check.
TReplay MovedAim(const TReplay& replay)
{
    std::vector<TReplayRecord> records = replay.Records.ToVector();
    const uint32_t endDelta = records.back().Delta;
    records.pop_back();
    size_t move = records.size() / 2;
    while (records[move].Kind != TReplayRecordKind::StateCheck)
        ++move;
    while (records[move].Kind != TReplayRecordKind::PointerMove)
        --move;
    records[move].X = records[move].X > 400 ? records[move].X - 150 : records[move].X + 150;
    TReplay edited{replay.Header, {}};
    for (const TReplayRecord& record : records)
        edited.Records.Append(record);
    edited.Records.Finish(endDelta);
    return edited;
}

std::vector<uint8_t> Bytes(const TReplay& replay)
{
    return EncodeReplay(replay);
}

// Limits that a sanitizer build's verifier, many times slower, also keeps.
class RealReplays : public WorkerProcesses {
protected:
    void StartServing()
    {
        if (IsPostgres()) {
            Start();
            StartWorker(REAL_VERIFIER, 60);
            StartWorker(REAL_VERIFIER, 60);
        } else {
            WallLimit = 60s;
            CpuLimit = 60;
            StartVerifying(1, REAL_VERIFIER);
        }
    }
};

TEST_P(RealReplays, GamesVerifiedAndForgeriesCaught)
{
    StartServing();
    const TReplay a = Golden("game_over_a");
    const TReplay b = Golden("game_over_b");
    const std::string name = a.Header.PlayerName;
    const int64_t gameSeconds = a.Header.GameTimeMs / 1000 + 5;
    TReplay otherVersion = a;
    otherVersion.Header.GameVersion = "9.9.9";
    TReplay fast = b;
    fast.Header.Frames *= 2;
    // Left without a name; one given, so that only the verifier can refuse it.
    TReplay left = Golden("left_early");
    left.Header.PlayerName = name;
    struct Case {
        std::string What;
        int64_t Claimed;
        std::vector<uint8_t> Replay;
        std::string State;
        std::string Detail;
    };
    const Case cases[] = {
        {"a game", a.Header.Score, Bytes(a), "verified", "verified"},
        {"a higher score claimed", b.Header.Score + 1000, Bytes(b), "differs",
         "result differs: claimed " + std::to_string(b.Header.Score + 1000) + ", replayed " +
             std::to_string(b.Header.Score)},
        {"a shot moved", a.Header.Score, Bytes(MovedAim(a)), "desync", "desync at frame "},
        {"another version", a.Header.Score, Bytes(otherVersion), "unsupported", "unsupported version: 9.9.9"},
        {"frames faster than the game runs", b.Header.Score, Bytes(fast), "refused", "faster than the game runs"},
        {"a game left before its end", 0, Bytes(left), "refused", "did not end in a game over"},
        {"garbage", a.Header.Score, std::vector<uint8_t>(3000, 0x5a), "refused", "refused: Not a replay file"},
    };
    std::map<int64_t, const Case*> sent;
    for (const Case& c : cases) {
        const THttpResult uploaded = Upload(Play(name, c.Claimed, gameSeconds), c.Replay);
        ASSERT_EQ(uploaded.Outcome, THttpOutcome::Ok) << c.What << ": " << uploaded.Reason;
        sent[std::stoll(ReplyField(uploaded.Body, 3))] = &c;
    }
    const auto rows = SettledById();
    for (const auto& [id, c] : sent) {
        SCOPED_TRACE(c->What);
        ASSERT_EQ(rows.count(id), 1u);
        const nlohmann::json& row = rows.at(id);
        EXPECT_EQ(row.at("state"), c->State) << row;
        EXPECT_NE(row.value("detail", "").find(c->Detail), std::string::npos) << row;
    }
    // Only the game itself is in the verified table, with what it reached.
    const nlohmann::json verified = nlohmann::json::parse(Get("/api/scores").Body);
    ASSERT_EQ(verified.at("scores").size(), 1u) << verified;
    EXPECT_EQ(verified.at("scores")[0].at("score"), a.Header.Score);
    EXPECT_EQ(verified.at("scores")[0].at("level"), a.Header.Level);
    EXPECT_EQ(verified.at("scores")[0].at("gameTimeMs"), a.Header.GameTimeMs);
    if (IsPostgres()) {
        EXPECT_EQ(Number("SELECT COUNT(DISTINCT worker) FROM verify_jobs"), 2);
    }
}

INSTANTIATE_TEST_SUITE_P(, RealReplays, ::testing::Values(EStoreBackend::Sqlite, EStoreBackend::PostgreSql),
                         BackendName);

} // namespace
