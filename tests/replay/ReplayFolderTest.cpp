// SPDX-License-Identifier: GPL-3.0-or-later
// The replay folder: numbered files, thinned by the keeping rule, and a
// folder that cannot be written costing only the replay, told once.
#include "ReplayFolder.h"
#include "ReplayTestFiles.h"

#include <gtest/gtest.h>

#include <sstream>

namespace {

namespace fs = std::filesystem;

TReplay Game(const std::string& name, int32_t score)
{
    TReplay replay;
    replay.Header.GameVersion = "0.1.0";
    replay.Header.PlayerName = name;
    replay.Header.Score = score;
    replay.Records.Append(TReplayRecord::FrameStep(30));
    replay.Records.Finish(5);
    return replay;
}

class ReplayFolder : public ReplayScratch {};

TEST(ReplayFileName, NumberedAndParsedBack)
{
    EXPECT_EQ(ReplayFileName(42), "replay-000042.zrp");
    EXPECT_EQ(ReplayFileName(12345678), "replay-12345678.zrp");
    EXPECT_EQ(ReplaySequence("replay-000042.zrp"), 42u);
    EXPECT_EQ(ReplaySequence("replay-12345678.zrp"), 12345678u);
    for (const char* other : {"replay-.zrp", "replay-12a.zrp", "replay-12.zrp.tmp", "replay--1.zrp", "Config.cfg", "12.zrp"})
        EXPECT_FALSE(ReplaySequence(other)) << other;
}

TEST_F(ReplayFolder, SavesNumberedFilesAndKeepsTheTablesAndTheLatest)
{
    std::ostringstream errors;
    TReplayFolder folder(Dir / "replays", errors);
    THighScoreTable table = DefaultHighScores;
    table[0] = {"ALICE", 5000};
    ASSERT_EQ(folder.Save(Game("ALICE", 5000), table), Dir / "replays" / "replay-000001.zrp");
    for (int i = 0; i < 24; ++i) ASSERT_TRUE(folder.Save(Game("", i), table));
    // A file of someone else's, and one of ours that does not read, stay.
    WriteBytes(Dir / "replays" / "notes.txt", {'h', 'i'});
    WriteBytes(Dir / "replays" / "replay-000003.zrp", {'x'});
    ASSERT_EQ(folder.Save(Game("", 99), table), Dir / "replays" / "replay-000026.zrp");

    std::vector<std::string> expected = {"notes.txt", ReplayFileName(1), ReplayFileName(3)};
    for (uint64_t s = 7; s <= 26; ++s) expected.push_back(ReplayFileName(s));
    std::sort(expected.begin(), expected.end());
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(Dir / "replays")) names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, expected);
    EXPECT_EQ(errors.str(), "");
    EXPECT_EQ(folder.List().size(), 21u);
}

TEST_F(ReplayFolder, AFolderThatCannotBeMadeCostsTheReplayToldOnce)
{
    // A file stands where the folder's parent should be.
    WriteBytes(Dir / "settings", {'x'});
    std::ostringstream errors;
    TReplayFolder folder(Dir / "settings" / "replays", errors);
    EXPECT_FALSE(folder.Save(Game("", 1), DefaultHighScores));
    EXPECT_FALSE(folder.Save(Game("", 2), DefaultHighScores));
    EXPECT_EQ(errors.str(), "zarvenok: Replay not saved: cannot make the folder \"" + (Dir / "settings" / "replays").string()
                                + "\": Not a directory\n");
    EXPECT_EQ(FileBytes(Dir / "settings"), std::vector<uint8_t>{'x'});
}

TEST_F(ReplayFolder, AFullDiskCostsTheReplayToldOnce)
{
    std::ostringstream errors;
    TReplayFolder folder(Dir / "replays", errors);
    ASSERT_TRUE(folder.Save(Game("", 1), DefaultHighScores));
    {
        const TFullDisk full(16);
        EXPECT_FALSE(folder.Save(Game("", 2), DefaultHighScores));
        EXPECT_FALSE(folder.Save(Game("", 3), DefaultHighScores));
    }
    const std::string told = errors.str();
    EXPECT_EQ(told.rfind("zarvenok: Replay not saved: Cannot write \"", 0), 0u) << told;
    EXPECT_NE(told.find("File too large\n"), std::string::npos) << told;
    EXPECT_EQ(std::count(told.begin(), told.end(), '\n'), 1);
    // The disk has room again: saving goes on, silently.
    EXPECT_EQ(folder.Save(Game("", 4), DefaultHighScores), Dir / "replays" / "replay-000002.zrp");
    EXPECT_EQ(errors.str(), told);
}

} // namespace
