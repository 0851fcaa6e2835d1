// SPDX-License-Identifier: GPL-3.0-or-later
// The ".zrp" file: what is written reads back whole, a minute of play fits
// the size goal, and each kind of damage is refused with its message.
#include "ReplayBytes.h"
#include "ReplayError.h"
#include "ReplayFile.h"
#include "ReplayTestFiles.h"
#include "SyntheticPlay.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;

TReplay SmallReplay()
{
    TReplay replay;
    TReplayHeader& h = replay.Header;
    h.GameVersion = "0.1.0";
    for (size_t i = 0; i < h.PictureLibrary.size(); ++i) {
        h.PictureLibrary[i] = static_cast<uint8_t>(i);
        h.SoundLibrary[i] = static_cast<uint8_t>(255 - i);
    }
    h.StartClock = 0xFFFFFFF0u;
    h.WindowState = TWindowState::Maximized;
    h.FullScreen = true;
    h.BitCount = 16;
    h.GeneratorState = 0xFEDCBA9876543210ull;
    h.PointerX = -1;
    h.PointerY = 600;
    h.PlayerName = "ALICE";
    h.Score = -7;
    h.Level = 5;
    h.Frames = 2;
    h.GameTimeMs = 61;
    replay.Records.Append(TReplayRecord::PointerMove(3, 100, 100));
    replay.Records.Append(TReplayRecord::FrameStep(30));
    replay.Records.Append(TReplayRecord::FrameStep(30));
    replay.Records.Finish(1);
    return replay;
}

std::string RefusalOf(const Bytes& bytes)
{
    try {
        DecodeReplay(bytes);
    } catch (const EReplayError& e) {
        return e.what();
    }
    return "accepted";
}

// The header's size for SmallReplay, whose texts are 5 bytes each.
constexpr size_t kHeaderSize = 8 + 2 + 1 + 5 + 64 + 4 + 3 + 8 + 8 + 1 + 5 + 16 + 12 + 4;

// Rewrites one of the three sizes before the header's checksum (0 the record
// count, 1 the records' size, 2 the compressed size) and fixes the checksum.
Bytes WithSize(Bytes bytes, int which, uint32_t value)
{
    Bytes field;
    TByteWriter(field).U32(value);
    std::copy(field.begin(), field.end(), bytes.begin() + static_cast<std::ptrdiff_t>(kHeaderSize - 16 + 4 * which));
    Bytes crc;
    TByteWriter(crc).U32(Crc32(std::span(bytes).first(kHeaderSize - 4)));
    std::copy(crc.begin(), crc.end(), bytes.begin() + static_cast<std::ptrdiff_t>(kHeaderSize - 4));
    return bytes;
}

TEST(ReplayFile, WhatIsWrittenReadsBackWhole)
{
    const TReplay replay = SmallReplay();
    const Bytes bytes = EncodeReplay(replay);
    const TReplay back = DecodeReplay(bytes);
    EXPECT_EQ(back.Header, replay.Header);
    EXPECT_EQ(back.Records.ToVector(), replay.Records.ToVector());
    // The zlib stream starts where this test's layout says the header ends.
    EXPECT_EQ(bytes[kHeaderSize], 0x78);
    EXPECT_EQ(RefusalOf(bytes), "accepted");
}

TEST(ReplayFile, AMinuteWithA1000HzMouseFitsIn32KiB)
{
    for (TMotion motion : {TMotion::Realistic, TMotion::Continuous}) {
        const TReplay minute = SyntheticPlay(7, motion);
        const Bytes bytes = EncodeReplay(minute);
        const TReplay back = DecodeReplay(bytes);
        EXPECT_TRUE(back.Records == minute.Records);
        EXPECT_EQ(back.Header, minute.Header);
        EXPECT_LE(bytes.size(), 32u * 1024) << "motion " << static_cast<int>(motion);
        RecordProperty(motion == TMotion::Realistic ? "realistic_bytes" : "continuous_bytes", static_cast<int>(bytes.size()));
    }
}

TEST(ReplayFile, TextsPastTheirLimitsAreNotWritten)
{
    TReplay replay = SmallReplay();
    replay.Header.PlayerName = std::string(MaxPlayerNameLength + 1, 'A');
    EXPECT_THROW(EncodeReplay(replay), EReplayError);
    replay.Header.PlayerName = std::string(MaxPlayerNameLength, 'A');
    replay.Header.GameVersion = std::string(MaxGameVersionLength, '9');
    EXPECT_EQ(DecodeReplay(EncodeReplay(replay)).Header, replay.Header);
}

TEST(ReplayFile, DamageIsRefusedSayingWhat)
{
    const Bytes good = EncodeReplay(SmallReplay());
    const size_t compressed = good.size() - kHeaderSize;
    auto with = [&](size_t at, uint8_t value) {
        Bytes changed = good;
        changed[at] = value;
        return changed;
    };
    Bytes longer = good;
    longer.push_back(0);
    Bytes version = good;
    version[8] = 2;
    struct Case {
        const char* name;
        Bytes bytes;
        std::string message;
    };
    const Case cases[] = {
        {"empty", {}, "Replay file is empty"},
        {"foreign", Bytes{'G', 'I', 'F', '8', '9', 'a', 0, 0, 0, 0, 0, 0}, "Not a replay file: it does not start with the replay signature"},
        {"a signature's start", Bytes(good.begin(), good.begin() + 4), "Replay file truncated in its header"},
        {"another version", version, "Replay format version 2 is not supported: this game reads version 1"},
        {"cut in the header", Bytes(good.begin(), good.begin() + 40), "Replay file truncated in its header"},
        {"cut in the records", Bytes(good.begin(), good.end() - 3),
         "Replay file truncated: " + std::to_string(compressed - 3) + " of " + std::to_string(compressed) + " bytes of records present"},
        {"bytes after the records", longer, "Replay file damaged: 1 bytes follow the records"},
        {"a changed name", with(8 + 2 + 6 + 64 + 4 + 3 + 16 + 1, 'B'), "Replay header damaged: its checksum does not match"},
        {"a bad window state", with(8 + 2 + 6 + 64 + 4, 3), "Replay header damaged at byte 84: bad window state 3"},
        {"no generator state", [&] {
             Bytes zero = good;
             std::fill_n(zero.begin() + 8 + 2 + 6 + 64 + 4 + 3, 8, 0);
             return zero;
         }(),
         "Replay header damaged at byte 94: bad random generator state 0"},
        {"a name too long", with(8 + 2 + 6 + 64 + 4 + 3 + 16, 200), "the player's name is longer than 64 bytes"},
        {"changed compressed bytes", with(kHeaderSize + 3, static_cast<uint8_t>(good[kHeaderSize + 3] ^ 0x55)), "Replay records damaged"},
        {"a wrong record count", WithSize(good, 0, 5), "the header counts 5 records, the file holds 4"},
        {"records past the limit", WithSize(good, 1, MaxReplayRecordBytes + 1), "Replay records too large"},
        {"records beyond deflate's reach", WithSize(good, 1, 10'000'000), "cannot come from"},
        {"more records than bytes", WithSize(good, 0, 1000), "cannot come from"},
        {"records that decompress short", WithSize(good, 1, 30), "they decompress to"},
        {"a compressed size too large", WithSize(good, 2, static_cast<uint32_t>(compressed + 1)), "Replay file truncated"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string refusal = RefusalOf(c.bytes);
        EXPECT_NE(refusal.find(c.message), std::string::npos) << refusal;
    }
}

class ReplayFileOnDisk : public ReplayScratch {};

TEST_F(ReplayFileOnDisk, WrittenAtomicallyAndReadBack)
{
    const std::filesystem::path file = Dir / "one.zrp";
    const TReplay replay = SmallReplay();
    const TReplayWriteResult result = WriteReplayFile(file, replay);
    ASSERT_TRUE(result.Ok) << result.Error;
    EXPECT_EQ(Names(), std::vector<std::string>{"one.zrp"});
    EXPECT_EQ(ReadReplayFile(file).Header, replay.Header);
    EXPECT_EQ(ReadReplayHeader(file), replay.Header);

    // A write that fails leaves the file that was there, and no scraps.
    const Bytes before = FileBytes(file);
    {
        const TFullDisk full(before.size() - 1);
        const TReplayWriteResult failed = WriteReplayFile(file, SyntheticPlay(1, TMotion::Realistic, 2000));
        EXPECT_FALSE(failed.Ok);
        EXPECT_NE(failed.Error.find("Cannot write \"" + file.string() + "\": File too large"), std::string::npos) << failed.Error;
    }
    EXPECT_EQ(FileBytes(file), before);
    EXPECT_EQ(Names(), std::vector<std::string>{"one.zrp"});

    const TReplayWriteResult nowhere = WriteReplayFile(Dir / "missing" / "two.zrp", replay);
    EXPECT_FALSE(nowhere.Ok);
    EXPECT_NE(nowhere.Error.find("Cannot create"), std::string::npos) << nowhere.Error;
}

TEST_F(ReplayFileOnDisk, FilesThatCannotBeReplaysAreRefusedUnread)
{
    const std::filesystem::path huge = Dir / "huge.zrp";
    WriteBytes(huge, EncodeReplay(SmallReplay()));
    std::filesystem::resize_file(huge, MaxReplayFileSize + 1);
    EXPECT_THROW(
        {
            try {
                ReadReplayFile(huge);
            } catch (const EReplayError& e) {
                EXPECT_EQ(std::string(e.what()), "Replay file too large: 16777217 bytes, at most 16777216");
                throw;
            }
        },
        EReplayError);
    EXPECT_THROW(ReadReplayHeader(huge), EReplayError);
    EXPECT_THROW(ReadReplayFile(Dir / "absent.zrp"), EReplayError);
    // The header alone also notices records cut short.
    const std::filesystem::path cut = Dir / "cut.zrp";
    const Bytes bytes = EncodeReplay(SmallReplay());
    WriteBytes(cut, Bytes(bytes.begin(), bytes.end() - 1));
    EXPECT_THROW(ReadReplayHeader(cut), EReplayError);
}

} // namespace
