// SPDX-License-Identifier: GPL-3.0-or-later
// zarvenok-replay info: the header in "key: value" lines, and exit 2 with
// the reader's message for a file it cannot read.
#include "ReplayCommands.h"
#include "ReplayTestFiles.h"
#include "ReplayFile.h"

#include <gtest/gtest.h>

#include <sstream>

namespace {

std::string Repeat(const std::string& text, int times)
{
    std::string repeated;
    for (int i = 0; i < times; ++i) repeated += text;
    return repeated;
}

class ReplayTool : public ReplayScratch {
protected:
    int Run(const std::vector<std::string>& args)
    {
        Out.str("");
        Err.str("");
        return RunReplayTool(args, ZARVENOK_BUILD_DIR, Out, Err);
    }
    std::ostringstream Out, Err;
};

TEST_F(ReplayTool, InfoPrintsTheHeader)
{
    TReplay replay;
    replay.Header.GameVersion = "0.1.0";
    replay.Header.PictureLibrary.fill(0xAB);
    replay.Header.SoundLibrary.fill(0x01);
    replay.Header.StartClock = 4000000000u;
    replay.Header.WindowState = TWindowState::Maximized;
    replay.Header.BitCount = 32;
    replay.Header.GeneratorState = 0x1234567890ABCDEFull;
    replay.Header.PointerX = -3;
    replay.Header.PointerY = 599;
    replay.Header.PlayerName = "ALICE";
    replay.Header.Score = 4321;
    replay.Header.Level = 3;
    replay.Header.Frames = 2;
    replay.Header.GameTimeMs = 64;
    replay.Records.Append(TReplayRecord::FrameStep(30));
    replay.Records.Append(TReplayRecord::FrameStep(31));
    replay.Records.Finish(3);
    const auto file = Dir / "a.zrp";
    ASSERT_TRUE(WriteReplayFile(file, replay).Ok);

    EXPECT_EQ(Run({"info", file.string()}), 0) << Err.str();
    EXPECT_EQ(Out.str(), "format: 1\n"
                         "game version: 0.1.0\n"
                         "pictures sha256: " + Repeat("ab", 32) + "\n"
                         "sounds sha256: " + Repeat("01", 32) + "\n"
                         "start clock: 4000000000\n"
                         "window: maximized\n"
                         "full screen: no\n"
                         "bits per pixel: 32\n"
                         "generator: 1311768467294899695\n"
                         "pointer: -3,599\n"
                         "player: ALICE\n"
                         "score: 4321\n"
                         "level: 3\n"
                         "frames: 2\n"
                         "game time ms: 64\n"
                         "records: 3\n"
                         "file size: " + std::to_string(std::filesystem::file_size(file)) + "\n");
    EXPECT_EQ(Err.str(), "");
}

TEST_F(ReplayTool, UnreadableFilesAndBadUsageExit2)
{
    const auto file = Dir / "b.zrp";
    WriteBytes(file, {'G', 'I', 'F', '8', '9', 'a', 0, 0, 0, 0});
    EXPECT_EQ(Run({"info", file.string()}), 2);
    EXPECT_EQ(Err.str(), "zarvenok-replay: " + file.string() + ": Not a replay file: it does not start with the replay signature\n");
    EXPECT_EQ(Out.str(), "");
    EXPECT_EQ(Run({"info", (Dir / "none.zrp").string()}), 2);
    EXPECT_NE(Err.str().find("Cannot read"), std::string::npos) << Err.str();
    for (const std::vector<std::string>& args : {std::vector<std::string>{}, {"info"}, {"info", "a", "b"}}) {
        EXPECT_EQ(Run(args), 2);
        EXPECT_EQ(Err.str(), ReplayToolUsage());
    }
}

} // namespace
