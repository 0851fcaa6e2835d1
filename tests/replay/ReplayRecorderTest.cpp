// SPDX-License-Identifier: GPL-3.0-or-later
// Recording a game: deltas from the readings the steps saw, events that
// play never sees left out, state checks every 33 frames, the header's
// recorded fields.
#include "ReplayRecorder.h"
#include "ReplayError.h"
#include "Sha256.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

TInputEvent Event(TInputEvent::TKind kind, int x = 0, int y = 0)
{
    TInputEvent event;
    event.Kind = kind;
    event.X = x;
    event.Y = y;
    return event;
}

TEST(ReplayRecorder, DeltasAcrossTheClocksWrap)
{
    using K = TInputEvent::TKind;
    TReplayRecorder recorder(0xFFFFFFF0u);
    recorder.Event(0xFFFFFFF5u, Event(K::MouseMove, 10, 20));
    recorder.Event(0xFFFFFFF6u, Event(K::Shown));       // not recorded, and takes no time
    recorder.Event(0xFFFFFFF7u, Event(K::Terminate));
    recorder.Timer(0x00000004u, 2);
    recorder.Event(0x00000004u, Event(K::Deactivate));

    TReplayHeader header;
    header.Frames = 99;  // the recording's own count wins
    header.Score = 50;
    const TReplay replay = recorder.Finish(0x00000010u, header);
    const std::vector<TReplayRecord> expected = {
        TReplayRecord::PointerMove(5, 10, 20),
        TReplayRecord::TimerStep(15, 2),
        TReplayRecord::FocusChange(0, false),
    };
    std::vector<TReplayRecord> records = replay.Records.ToVector();
    ASSERT_EQ(records.size(), 4u);
    EXPECT_EQ(records.back().Delta, 12u);
    records.pop_back();
    EXPECT_EQ(records, expected);
    EXPECT_EQ(replay.Header.StartClock, 0xFFFFFFF0u);
    EXPECT_EQ(replay.Header.GameTimeMs, 0x20u);
    EXPECT_EQ(replay.Header.Frames, 0u);
    EXPECT_EQ(replay.Header.Score, 50);
}

TEST(ReplayRecorder, AStateCheckIsDueEvery33Frames)
{
    TReplayRecorder recorder(0);
    std::vector<uint32_t> due;
    for (uint32_t frame = 1; frame <= 100; ++frame)
        if (recorder.Frame(frame * 30)) {
            due.push_back(frame);
            recorder.StateCheck(frame * 30, frame);
        }
    EXPECT_EQ(due, (std::vector<uint32_t>{33, 66, 99}));
    EXPECT_EQ(recorder.Frames(), 100u);
    const TReplay replay = recorder.Finish(3000, {});
    EXPECT_EQ(replay.Header.Frames, 100u);
    size_t checks = 0;
    for (const TReplayRecord& record : replay.Records) {
        if (record.Kind != TReplayRecordKind::StateCheck) continue;
        EXPECT_EQ(record.Delta, 0u);
        EXPECT_EQ(record.Digest, due[checks++]);
    }
    EXPECT_EQ(checks, 3u);
}

TEST(Sha256, KnownDigestsOfBytesAndFiles)
{
    const std::string abc = "abc";
    EXPECT_EQ(HexOf(Sha256Of({reinterpret_cast<const uint8_t*>(abc.data()), abc.size()})),
              "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
    EXPECT_EQ(HexOf(Sha256Of({})), "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
    const auto file = std::filesystem::temp_directory_path() / ("zarvenok-sha-" + std::to_string(::getpid()));
    std::ofstream(file, std::ios::binary) << std::string(200000, 'a');
    const std::string big(200000, 'a');
    const TLibraryDigests digests = DigestLibraries(file, file);
    EXPECT_EQ(digests.Pictures, Sha256Of({reinterpret_cast<const uint8_t*>(big.data()), big.size()}));
    EXPECT_EQ(digests.Sounds, digests.Pictures);
    std::filesystem::remove(file);
    EXPECT_THROW(Sha256OfFile(file), EReplayError);
}

} // namespace
