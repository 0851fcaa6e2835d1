// SPDX-License-Identifier: GPL-3.0-or-later
// Checking replays by playing the game again: forgeries of a golden replay
// are caught (a changed pointer move at the frame it shows, a raised claim,
// frames faster than the game runs, a game that never ends), another build
// is refused, the verifier's one line and status, the timing run, and a
// game recorded in the simulator verifies in a fresh game.
#include "ReplayCommands.h"
#include "ReplayFile.h"
#include "ReplayTestFiles.h"
#include "Simulator.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <regex>
#include <sstream>

namespace {

namespace fs = std::filesystem;

TReplay Golden(const std::string& name)
{
    return ReadReplayFile(fs::path(ZARVENOK_GOLDEN_DIR) / (name + ".zrp"));
}

// The replay with its records edited (the end record made again).
TReplay EditRecords(const TReplay& replay, const std::function<void(std::vector<TReplayRecord>&)>& edit)
{
    std::vector<TReplayRecord> records = replay.Records.ToVector();
    const uint32_t endDelta = records.back().Delta;
    records.pop_back();
    edit(records);
    TReplay edited{replay.Header, {}};
    for (const TReplayRecord& record : records) edited.Records.Append(record);
    edited.Records.Finish(endDelta);
    return edited;
}

uint32_t FramesUpTo(const std::vector<TReplayRecord>& records, size_t index)
{
    uint32_t frames = 0;
    for (size_t i = 0; i <= index && i < records.size(); ++i)
        if (records[i].Kind == TReplayRecordKind::Frame) ++frames;
    return frames;
}

class ReplayVerify : public ReplayScratch {
protected:
    int Run(const std::vector<std::string>& args)
    {
        Out.str("");
        Err.str("");
        return RunReplayTool(args, ZARVENOK_BUILD_DIR, Out, Err);
    }
    fs::path Save(const TReplay& replay, const std::string& name)
    {
        const fs::path file = Dir / name;
        EXPECT_TRUE(WriteReplayFile(file, replay).Ok);
        return file;
    }
    std::ostringstream Out, Err;
};

TEST_F(ReplayVerify, ForgeriesOfAGoldenReplayDoNotVerify)
{
    const TReplay golden = Golden("game_over_a");
    const std::vector<TReplayRecord> records = golden.Records.ToVector();

    // The last pointer move before the frame ahead of a state check in the
    // middle of the game: nothing moves the crosshair back before the check.
    size_t check = records.size() / 2;
    while (records[check].Kind != TReplayRecordKind::StateCheck) ++check;
    size_t move = check;
    while (records[move].Kind != TReplayRecordKind::PointerMove) --move;
    const bool moveBeforeFrame = records[move + 1].Kind == TReplayRecordKind::Frame ||
                                 records[move + 1].Kind == TReplayRecordKind::PointerMove;
    ASSERT_TRUE(moveBeforeFrame);
    const uint32_t checkFrame = FramesUpTo(records, check);

    size_t frame = records.size() / 3;
    while (records[frame].Kind != TReplayRecordKind::Frame) ++frame;

    const struct {
        const char* What;
        TReplay Forgery;
        std::string Line;
    } cases[] = {
        {"a pointer move elsewhere",
         EditRecords(golden, [move](auto& r) { r[move].X = r[move].X > 400 ? r[move].X - 150 : r[move].X + 150; }),
         "desync at frame " + std::to_string(checkFrame)},
        {"a higher score claimed",
         [&] {
             TReplay r = golden;
             r.Header.Score += 1000;
             return r;
         }(),
         "result differs: claimed " + std::to_string(golden.Header.Score + 1000) + ", replayed " +
             std::to_string(golden.Header.Score)},
        {"a frame sooner than the frame clock runs",
         EditRecords(golden, [frame](auto& r) {
             r[frame + 1].Delta += r[frame].Delta - 1;
             r[frame].Delta = 1;
         }),
         "desync at frame " + std::to_string(FramesUpTo(records, frame) - 1)},
        {"a game cut off before its end",
         EditRecords(golden, [frame](auto& r) { r.resize(frame + 1); }),
         "desync at frame " + std::to_string(FramesUpTo(records, frame))},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.What);
        const fs::path file = Save(c.Forgery, "forged.zrp");
        EXPECT_EQ(Run({"verify", file.string()}), 1) << Err.str();
        EXPECT_EQ(Out.str(), c.Line + "\n");
    }
}

TEST_F(ReplayVerify, AnotherBuildIsRefusedSayingWhich)
{
    TReplay version = Golden("left_early");
    version.Header.GameVersion = "9.9.9";
    TReplay pictures = Golden("left_early");
    pictures.Header.PictureLibrary[0] ^= 1;
    TReplay sounds = Golden("left_early");
    sounds.Header.SoundLibrary[31] ^= 0x80;
    const struct {
        TReplay Replay;
        std::string Message;
    } cases[] = {
        {version, "recorded by game version 9.9.9, this is "},
        {pictures, "recorded with other pictures (Graphic.dxg)"},
        {sounds, "recorded with other sounds (Music.dxw)"},
    };
    for (const auto& c : cases) {
        const fs::path file = Save(c.Replay, "other.zrp");
        EXPECT_EQ(Run({"verify", file.string()}), 2);
        EXPECT_NE(Err.str().find(c.Message), std::string::npos) << Err.str();
        EXPECT_EQ(Out.str(), "");
    }
}

TEST_F(ReplayVerify, TheVerifiersLineAndStatus)
{
    TReplay other = Golden("left_early");
    other.Header.GameVersion = "0.0.1";
    TReplay claimed = Golden("game_over_b");
    claimed.Header.Level += 1;
    std::vector<uint8_t> truncated = EncodeReplay(Golden("game_over_b"));
    truncated.resize(truncated.size() / 2);
    const struct {
        std::vector<uint8_t> Bytes;
        int Status;
        std::string Line;
    } cases[] = {
        {EncodeReplay(Golden("game_over_b")), 0,
         "verified: score " + std::to_string(Golden("game_over_b").Header.Score) + ", level " +
             std::to_string(Golden("game_over_b").Header.Level) + ", frames " +
             std::to_string(Golden("game_over_b").Header.Frames)},
        {EncodeReplay(claimed), 1,
         "result differs: claimed level " + std::to_string(claimed.Header.Level) + ", replayed level " +
             std::to_string(claimed.Header.Level - 1)},
        {EncodeReplay(Golden("left_early")), 2, "refused: the game did not end in a game over"},
        {truncated, 2, "refused: Replay file truncated"},
        {{'n', 'o', 'p', 'e'}, 2, "refused: "},
        {EncodeReplay(other), 3, "unsupported version: 0.0.1 (recorded by game version 0.0.1"},
    };
    for (const auto& c : cases) {
        std::ostringstream out;
        EXPECT_EQ(VerifyReplayBytes(c.Bytes, ZARVENOK_BUILD_DIR, out), c.Status) << out.str();
        const std::string said = out.str();
        EXPECT_EQ(said.rfind(c.Line, 0), 0u) << said;
        EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1) << said;
    }
}

TEST_F(ReplayVerify, TimedemoTellsHowFast)
{
    const fs::path file = fs::path(ZARVENOK_GOLDEN_DIR) / "left_early.zrp";
    const TReplay replay = Golden("left_early");
    for (const bool draw : {true, false}) {
        std::vector<std::string> args{"timedemo", file.string()};
        if (!draw) args.push_back("--nodraw");
        EXPECT_EQ(Run(args), 0) << Err.str();
        const std::regex line("frames " + std::to_string(replay.Header.Frames) +
                              ", game time [0-9]+\\.[0-9] s, run time [0-9]+\\.[0-9]{3} s, [0-9]+x real time\n");
        EXPECT_TRUE(std::regex_match(Out.str(), line)) << Out.str();
    }
}

// The simulator's player records the second game of a session (after a
// game that changed the field, the generator and the pointer); a fresh game
// plays it to the same end.
TEST_F(ReplayVerify, ASecondGameRecordedInTheSimulatorVerifiesInAFreshGame)
{
    for (const char* folder : {"Data", "Music"}) fs::create_directory_symlink(fs::path(ZARVENOK_BUILD_DIR) / folder, Dir / folder);
    const fs::path here = fs::current_path();
    fs::current_path(Dir);
    std::istringstream script(R"(start 777
move 230 60
click left 230 60
wait 7000
click left 300 420
click left 520 400
wait 2000
key Esc
move 300 350
click left 300 350
expect GameState 2
record second.zrp
move 235 62
click left 235 62
wait 6000
move 400 420
press left 400 420
move 410 424
move 420 428
release left 420 428
click left 610 410
wait 4000
key Esc
move 300 350
click left 300 350
expect GameState 2
print Score
)");
    std::ostringstream out, err;
    const int status = TSimulator().Run(script, out, err);
    fs::current_path(here);
    ASSERT_EQ(status, 0) << err.str();
    const TReplay recorded = ReadReplayFile(Dir / "second.zrp");
    EXPECT_EQ(out.str(), "Score=" + std::to_string(recorded.Header.Score) + "\n");
    EXPECT_EQ(recorded.Header.PointerX, 235);
    EXPECT_EQ(Run({"verify", (Dir / "second.zrp").string()}), 0) << Err.str();
    EXPECT_EQ(Out.str(), "verified: score " + std::to_string(recorded.Header.Score) + ", level 1, frames " +
                             std::to_string(recorded.Header.Frames) + "\n");
}

} // namespace
