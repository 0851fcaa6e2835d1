// SPDX-License-Identifier: GPL-3.0-or-later
// Records: every kind through the encoding and back, the events they stand
// for, and each way a record stream is refused.
#include "ReplayError.h"
#include "ReplayRecords.h"

#include <gtest/gtest.h>

#include <climits>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

using R = TReplayRecord;

// Every kind, with the edges of each field, and moves that take both the
// one-byte and the long form.
std::vector<TReplayRecord> EveryKind()
{
    return {
        R::PointerMove(0, 400, 300),
        R::PointerMove(1, 401, 300),
        R::PointerMove(1, 403, 301),  // velocity (2, 1): the residual is 0
        R::PointerMove(3, 400, 299),
        R::PointerMove(4, 401, 298),  // delay past the short form
        R::PointerMove(0, -5000, 90000),
        R::PointerMove(UINT32_MAX, INT32_MIN, INT32_MAX),
        R::PointerMove(2, INT32_MAX, INT32_MIN),
        R::PointerDown(7, TMouseButton::Left, 10, 20),
        R::PointerUp(0, TMouseButton::Right, 10, 20),
        R::PointerDown(1, TMouseButton::Middle, -1, 599),
        R::KeyChange(5, 'P', true, false),
        R::KeyChange(0, 13, true, true),
        R::KeyChange(0, 13, false, false),
        R::KeyChange(70000, INT32_MIN, false, true),
        R::FocusChange(2, false),
        R::FocusChange(1000, true),
        R::WindowChange(0, TWindowChange::Minimized),
        R::WindowChange(0, TWindowChange::Restored),
        R::WindowChange(0, TWindowChange::Maximized),
        R::WindowChange(0, TWindowChange::Resized),
        R::CloseRequest(300),
        R::TimerStep(0, 0),
        R::TimerStep(1000, 255),
        R::FrameStep(0),
        R::FrameStep(30),
        R::FrameStep(47),
        R::FrameStep(48),
        R::FrameStep(UINT32_MAX),
        R::StateCheck(0, 0xDEADBEEF),
        R::PointerMove(1, 0, 0),
    };
}

TReplayRecords Finished(const std::vector<TReplayRecord>& records, uint32_t endDelta = 9)
{
    TReplayRecords stream;
    for (const TReplayRecord& record : records) stream.Append(record);
    stream.Finish(endDelta);
    return stream;
}

TEST(ReplayRecords, EveryKindComesBackAsItWent)
{
    const std::vector<TReplayRecord> records = EveryKind();
    const TReplayRecords stream = Finished(records);
    std::vector<TReplayRecord> back = TReplayRecords::FromBytes(stream.Bytes(), stream.Count()).ToVector();
    ASSERT_EQ(back.size(), records.size() + 1);
    EXPECT_EQ(back.back().Kind, TReplayRecordKind::End);
    EXPECT_EQ(back.back().Delta, 9u);
    back.pop_back();
    EXPECT_EQ(back, records);
}

TEST(ReplayRecords, SmoothMotionTakesAByteAMove)
{
    // The first two moves set the velocity; each one after costs a byte.
    TReplayRecords stream;
    size_t afterTwo = 0;
    for (int i = 0; i < 100; ++i) {
        stream.Append(R::PointerMove(1, 100 + 3 * i, 200 - i + (i % 2)));
        if (i == 1) afterTwo = stream.Bytes().size();
    }
    EXPECT_EQ(stream.Bytes().size() - afterTwo, 98u);
}

TEST(ReplayRecords, TheEndIsAddedOnceAndOnlyByFinish)
{
    TReplayRecords stream;
    EXPECT_THROW(stream.Append(R::End(0, 0)), std::logic_error);
    stream.Finish(0);
    EXPECT_TRUE(stream.Finished());
    EXPECT_THROW(stream.Append(R::FrameStep(0)), std::logic_error);
    EXPECT_THROW(stream.Finish(0), std::logic_error);
}

TEST(ReplayRecords, DamagedStreamsAreRefusedSayingWhy)
{
    const TReplayRecords good = Finished({R::FrameStep(30), R::KeyChange(1, 27, true, false), R::PointerDown(0, TMouseButton::Left, 5, 5)});
    const std::vector<uint8_t> bytes = good.Bytes();
    // Byte 0: the short frame. 1..4: key tag, delta, flags, key. 5..9: the
    // press's tag, delta, button, x, y. Then the end: tag, delta, checksum.
    auto with = [&](size_t at, uint8_t value) {
        std::vector<uint8_t> changed = bytes;
        changed[at] = value;
        return changed;
    };
    std::vector<uint8_t> afterEnd = bytes;
    afterEnd.push_back(0xD0);
    std::vector<uint8_t> longNumber = {0xCC, 0x80, 0x80, 0x80, 0x80, 0x10};  // a frame whose delta needs 33 bits
    struct Case {
        const char* name;
        std::vector<uint8_t> bytes;
        size_t count;
        std::string message;
    };
    const Case cases[] = {
        {"empty", {}, 0, "Replay records damaged: there is no end record"},
        {"no end", std::vector<uint8_t>(bytes.begin(), bytes.begin() + 10), 3, "there is no end record"},
        {"cut inside a record", std::vector<uint8_t>(bytes.begin(), bytes.end() - 2), 4, "Replay file truncated in its records"},
        {"unknown tag", with(1, 0xCF), 4, "Replay records damaged at byte 1: unknown record tag 0xCF"},
        {"bad key state", with(3, 4), 4, "damaged at byte 3: bad key state 4"},
        {"bad button", with(7, 3), 4, "bad mouse button 3"},
        {"changed key", with(4, 28 * 2), 4, "their checksum does not match the end record"},
        {"records after the end", afterEnd, 5, "records after the end record"},
        {"number too long", longNumber, 1, "a number is too long"},
        {"count differs", bytes, 5, "the header counts 5 records, the file holds 4"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        try {
            TReplayRecords::FromBytes(c.bytes, c.count);
            ADD_FAILURE() << "accepted";
        } catch (const EReplayError& e) {
            EXPECT_NE(std::string(e.what()).find(c.message), std::string::npos) << e.what();
        }
    }
}

TEST(ReplayRecords, EventsMapBothWays)
{
    using K = TInputEvent::TKind;
    auto event = [](K kind, int key = 0, bool alt = false, TMouseButton button = TMouseButton::Left, int x = 0, int y = 0) {
        TInputEvent e;
        e.Kind = kind;
        e.Key = key;
        e.Alt = alt;
        e.Button = button;
        e.X = x;
        e.Y = y;
        return e;
    };
    const TInputEvent events[] = {
        event(K::KeyDown, 27, false), event(K::KeyDown, 13, true),
        event(K::MouseDown, 0, false, TMouseButton::Right, 3, 4), event(K::MouseUp, 0, false, TMouseButton::Middle, 5, 6),
        event(K::MouseMove, 0, false, TMouseButton::Left, 799, 599),
        event(K::Close), event(K::Activate), event(K::Deactivate),
        event(K::Minimized), event(K::Restored), event(K::Maximized), event(K::Resized),
    };
    for (const TInputEvent& e : events) {
        SCOPED_TRACE(static_cast<int>(e.Kind));
        const auto record = RecordOfEvent(e, 17);
        ASSERT_TRUE(record);
        EXPECT_EQ(record->Delta, 17u);
        const auto back = EventOfRecord(*record);
        ASSERT_TRUE(back);
        EXPECT_EQ(back->Kind, e.Kind);
        EXPECT_EQ(back->Key, e.Key);
        EXPECT_EQ(back->Alt, e.Alt);
        EXPECT_EQ(back->X, e.X);
        EXPECT_EQ(back->Y, e.Y);
        if (e.Kind == K::MouseDown || e.Kind == K::MouseUp) {
            EXPECT_EQ(back->Button, e.Button);
        }
    }
    EXPECT_FALSE(RecordOfEvent(event(K::Shown), 0));
    EXPECT_FALSE(RecordOfEvent(event(K::Terminate), 0));
    for (const TReplayRecord& step : {R::FrameStep(0), R::TimerStep(0, 1), R::StateCheck(0, 1), R::End(0, 0), R::KeyChange(0, 'A', false, false)})
        EXPECT_FALSE(EventOfRecord(step));
}

} // namespace
