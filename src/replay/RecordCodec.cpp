// SPDX-License-Identifier: GPL-3.0-or-later
// The compact encoding of replay records.
#include "RecordCodec.h"

#include <cstdio>
#include <string>

namespace {

// Tags 0 .. 195: a pointer move with a delay of 0 to 3 ms and residuals of
// -3 to 3 on each axis, in one byte.
constexpr int kShortMoveReach = 3;
constexpr int kShortMoveSide = 2 * kShortMoveReach + 1;
constexpr uint32_t kShortMoveDelays = 4;
constexpr uint8_t kShortMoveTags = kShortMoveDelays * kShortMoveSide * kShortMoveSide;

enum TTag : uint8_t {
    tagMove = kShortMoveTags,
    tagPointerDown,
    tagPointerUp,
    tagKey,
    tagFocus,
    tagWindow,
    tagClose,
    tagTimer,
    tagFrame,
    tagStateCheck,
    tagEnd,
    // Tags from here: a frame with the delay (tag - tagShortFrame) ms.
    tagShortFrame = 208,
};
static_assert(tagEnd < tagShortFrame);
constexpr uint32_t kShortFrameDelays = 256 - tagShortFrame;

constexpr uint8_t kKeyPressed = 1;
constexpr uint8_t kKeyAlt = 2;

bool IsShort(int32_t residual)
{
    return residual >= -kShortMoveReach && residual <= kShortMoveReach;
}

} // namespace

void TPointerPrediction::Moved(uint32_t x, uint32_t y)
{
    // Unsigned arithmetic wraps, so any coordinates round-trip.
    VelocityX = x - X;
    VelocityY = y - Y;
    X = x;
    Y = y;
}

void TPointerPrediction::Placed(uint32_t x, uint32_t y)
{
    X = x;
    Y = y;
}

void TRecordEncoder::Encode(const TReplayRecord& record, std::vector<uint8_t>& bytes)
{
    TByteWriter out(bytes);
    auto tagAndDelta = [&](uint8_t tag) {
        out.U8(tag);
        out.Varint(record.Delta);
    };
    auto pointer = [&](uint8_t tag) {
        tagAndDelta(tag);
        out.U8(static_cast<uint8_t>(record.Button));
        const uint32_t x = static_cast<uint32_t>(record.X);
        const uint32_t y = static_cast<uint32_t>(record.Y);
        out.SignedVarint(static_cast<int32_t>(x - Pointer_.X));
        out.SignedVarint(static_cast<int32_t>(y - Pointer_.Y));
        Pointer_.Placed(x, y);
    };

    switch (record.Kind) {
    case TReplayRecordKind::PointerMove: {
        const uint32_t x = static_cast<uint32_t>(record.X);
        const uint32_t y = static_cast<uint32_t>(record.Y);
        const auto residualX = static_cast<int32_t>(x - (Pointer_.X + Pointer_.VelocityX));
        const auto residualY = static_cast<int32_t>(y - (Pointer_.Y + Pointer_.VelocityY));
        if (record.Delta < kShortMoveDelays && IsShort(residualX) && IsShort(residualY)) {
            out.U8(static_cast<uint8_t>((record.Delta * kShortMoveSide + static_cast<uint32_t>(residualX + kShortMoveReach)) * kShortMoveSide
                                        + static_cast<uint32_t>(residualY + kShortMoveReach)));
        } else {
            tagAndDelta(tagMove);
            out.SignedVarint(residualX);
            out.SignedVarint(residualY);
        }
        Pointer_.Moved(x, y);
        break;
    }
    case TReplayRecordKind::PointerDown: pointer(tagPointerDown); break;
    case TReplayRecordKind::PointerUp: pointer(tagPointerUp); break;
    case TReplayRecordKind::Key:
        tagAndDelta(tagKey);
        out.U8(static_cast<uint8_t>((record.Pressed ? kKeyPressed : 0) | (record.Alt ? kKeyAlt : 0)));
        out.SignedVarint(record.Key);
        break;
    case TReplayRecordKind::Focus:
        tagAndDelta(tagFocus);
        out.U8(record.Focused ? 1 : 0);
        break;
    case TReplayRecordKind::Window:
        tagAndDelta(tagWindow);
        out.U8(static_cast<uint8_t>(record.Window));
        break;
    case TReplayRecordKind::Close: tagAndDelta(tagClose); break;
    case TReplayRecordKind::Timer:
        tagAndDelta(tagTimer);
        out.U8(record.Timer);
        break;
    case TReplayRecordKind::Frame:
        if (record.Delta < kShortFrameDelays)
            out.U8(static_cast<uint8_t>(tagShortFrame + record.Delta));
        else
            tagAndDelta(tagFrame);
        break;
    case TReplayRecordKind::StateCheck:
        tagAndDelta(tagStateCheck);
        out.U32(record.Digest);
        break;
    case TReplayRecordKind::End:
        tagAndDelta(tagEnd);
        out.U32(record.Checksum);
        break;
    }
}

TReplayRecord TRecordDecoder::Next()
{
    const size_t start = Reader_.Offset();
    const uint8_t tag = Reader_.U8();
    if (tag < kShortMoveTags) {
        const int32_t residualY = tag % kShortMoveSide - kShortMoveReach;
        const int32_t residualX = tag / kShortMoveSide % kShortMoveSide - kShortMoveReach;
        const uint32_t delta = tag / (kShortMoveSide * kShortMoveSide);
        const uint32_t x = Pointer_.X + Pointer_.VelocityX + static_cast<uint32_t>(residualX);
        const uint32_t y = Pointer_.Y + Pointer_.VelocityY + static_cast<uint32_t>(residualY);
        Pointer_.Moved(x, y);
        return TReplayRecord::PointerMove(delta, static_cast<int32_t>(x), static_cast<int32_t>(y));
    }
    if (tag >= tagShortFrame) return TReplayRecord::FrameStep(uint32_t{tag} - tagShortFrame);

    auto flag = [&](uint8_t limit, const char* what) {
        const uint8_t value = Reader_.U8();
        if (value > limit) Reader_.Fail(std::string("bad ") + what + " " + std::to_string(value));
        return value;
    };
    auto pointer = [&](auto make) {
        const uint32_t delta = Reader_.Varint();
        const auto button = static_cast<TMouseButton>(flag(static_cast<uint8_t>(TMouseButton::Middle), "mouse button"));
        const uint32_t x = Pointer_.X + static_cast<uint32_t>(Reader_.SignedVarint());
        const uint32_t y = Pointer_.Y + static_cast<uint32_t>(Reader_.SignedVarint());
        Pointer_.Placed(x, y);
        return make(delta, button, static_cast<int32_t>(x), static_cast<int32_t>(y));
    };

    switch (tag) {
    case tagMove: {
        const uint32_t delta = Reader_.Varint();
        const uint32_t x = Pointer_.X + Pointer_.VelocityX + static_cast<uint32_t>(Reader_.SignedVarint());
        const uint32_t y = Pointer_.Y + Pointer_.VelocityY + static_cast<uint32_t>(Reader_.SignedVarint());
        Pointer_.Moved(x, y);
        return TReplayRecord::PointerMove(delta, static_cast<int32_t>(x), static_cast<int32_t>(y));
    }
    case tagPointerDown: return pointer(TReplayRecord::PointerDown);
    case tagPointerUp: return pointer(TReplayRecord::PointerUp);
    case tagKey: {
        const uint32_t delta = Reader_.Varint();
        const uint8_t flags = flag(kKeyPressed | kKeyAlt, "key state");
        return TReplayRecord::KeyChange(delta, Reader_.SignedVarint(), (flags & kKeyPressed) != 0, (flags & kKeyAlt) != 0);
    }
    case tagFocus: {
        const uint32_t delta = Reader_.Varint();
        return TReplayRecord::FocusChange(delta, flag(1, "focus") != 0);
    }
    case tagWindow: {
        const uint32_t delta = Reader_.Varint();
        return TReplayRecord::WindowChange(delta, static_cast<TWindowChange>(flag(static_cast<uint8_t>(TWindowChange::Resized), "window change")));
    }
    case tagClose: return TReplayRecord::CloseRequest(Reader_.Varint());
    case tagTimer: {
        const uint32_t delta = Reader_.Varint();
        return TReplayRecord::TimerStep(delta, Reader_.U8());
    }
    case tagFrame: return TReplayRecord::FrameStep(Reader_.Varint());
    case tagStateCheck: {
        const uint32_t delta = Reader_.Varint();
        return TReplayRecord::StateCheck(delta, Reader_.U32());
    }
    case tagEnd: {
        const uint32_t delta = Reader_.Varint();
        return TReplayRecord::End(delta, Reader_.U32());
    }
    default: break;
    }
    char text[8];
    std::snprintf(text, sizeof text, "0x%02X", tag);
    Reader_.FailAt(start, std::string("unknown record tag ") + text);
}
