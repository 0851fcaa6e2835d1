// SPDX-License-Identifier: GPL-3.0-or-later
// The records of a replay and their mapping to and from platform events.
#include "ReplayRecord.h"

namespace {

TReplayRecord Make(TReplayRecordKind kind, uint32_t delta)
{
    TReplayRecord record;
    record.Kind = kind;
    record.Delta = delta;
    return record;
}

TReplayRecord Pointer(TReplayRecordKind kind, uint32_t delta, TMouseButton button, int32_t x, int32_t y)
{
    TReplayRecord record = Make(kind, delta);
    record.Button = button;
    record.X = x;
    record.Y = y;
    return record;
}

} // namespace

TReplayRecord TReplayRecord::PointerMove(uint32_t delta, int32_t x, int32_t y)
{
    return Pointer(TReplayRecordKind::PointerMove, delta, TMouseButton::Left, x, y);
}

TReplayRecord TReplayRecord::PointerDown(uint32_t delta, TMouseButton button, int32_t x, int32_t y)
{
    return Pointer(TReplayRecordKind::PointerDown, delta, button, x, y);
}

TReplayRecord TReplayRecord::PointerUp(uint32_t delta, TMouseButton button, int32_t x, int32_t y)
{
    return Pointer(TReplayRecordKind::PointerUp, delta, button, x, y);
}

TReplayRecord TReplayRecord::KeyChange(uint32_t delta, int32_t key, bool pressed, bool alt)
{
    TReplayRecord record = Make(TReplayRecordKind::Key, delta);
    record.Key = key;
    record.Pressed = pressed;
    record.Alt = alt;
    return record;
}

TReplayRecord TReplayRecord::FocusChange(uint32_t delta, bool focused)
{
    TReplayRecord record = Make(TReplayRecordKind::Focus, delta);
    record.Focused = focused;
    return record;
}

TReplayRecord TReplayRecord::WindowChange(uint32_t delta, TWindowChange change)
{
    TReplayRecord record = Make(TReplayRecordKind::Window, delta);
    record.Window = change;
    return record;
}

TReplayRecord TReplayRecord::CloseRequest(uint32_t delta)
{
    return Make(TReplayRecordKind::Close, delta);
}

TReplayRecord TReplayRecord::TimerStep(uint32_t delta, uint8_t timer)
{
    TReplayRecord record = Make(TReplayRecordKind::Timer, delta);
    record.Timer = timer;
    return record;
}

TReplayRecord TReplayRecord::FrameStep(uint32_t delta)
{
    return Make(TReplayRecordKind::Frame, delta);
}

TReplayRecord TReplayRecord::StateCheck(uint32_t delta, uint32_t digest)
{
    TReplayRecord record = Make(TReplayRecordKind::StateCheck, delta);
    record.Digest = digest;
    return record;
}

TReplayRecord TReplayRecord::End(uint32_t delta, uint32_t checksum)
{
    TReplayRecord record = Make(TReplayRecordKind::End, delta);
    record.Checksum = checksum;
    return record;
}

std::optional<TReplayRecord> RecordOfEvent(const TInputEvent& event, uint32_t delta)
{
    using TKind = TInputEvent::TKind;
    switch (event.Kind) {
    case TKind::KeyDown: return TReplayRecord::KeyChange(delta, event.Key, true, event.Alt);
    case TKind::MouseDown: return TReplayRecord::PointerDown(delta, event.Button, event.X, event.Y);
    case TKind::MouseUp: return TReplayRecord::PointerUp(delta, event.Button, event.X, event.Y);
    case TKind::MouseMove: return TReplayRecord::PointerMove(delta, event.X, event.Y);
    case TKind::Close: return TReplayRecord::CloseRequest(delta);
    case TKind::Activate: return TReplayRecord::FocusChange(delta, true);
    case TKind::Deactivate: return TReplayRecord::FocusChange(delta, false);
    case TKind::Minimized: return TReplayRecord::WindowChange(delta, TWindowChange::Minimized);
    case TKind::Restored: return TReplayRecord::WindowChange(delta, TWindowChange::Restored);
    case TKind::Maximized: return TReplayRecord::WindowChange(delta, TWindowChange::Maximized);
    case TKind::Resized: return TReplayRecord::WindowChange(delta, TWindowChange::Resized);
    case TKind::Shown:
    case TKind::Terminate: return std::nullopt;
    }
    return std::nullopt;
}

std::optional<TInputEvent> EventOfRecord(const TReplayRecord& record)
{
    using TKind = TInputEvent::TKind;
    TInputEvent event;
    event.Button = record.Button;
    event.X = record.X;
    event.Y = record.Y;
    switch (record.Kind) {
    case TReplayRecordKind::PointerMove: event.Kind = TKind::MouseMove; return event;
    case TReplayRecordKind::PointerDown: event.Kind = TKind::MouseDown; return event;
    case TReplayRecordKind::PointerUp: event.Kind = TKind::MouseUp; return event;
    case TReplayRecordKind::Key:
        // The platform reports presses only; a release has no event to replay.
        if (!record.Pressed) return std::nullopt;
        event.Kind = TKind::KeyDown;
        event.Key = record.Key;
        event.Alt = record.Alt;
        return event;
    case TReplayRecordKind::Focus: event.Kind = record.Focused ? TKind::Activate : TKind::Deactivate; return event;
    case TReplayRecordKind::Window:
        switch (record.Window) {
        case TWindowChange::Minimized: event.Kind = TKind::Minimized; break;
        case TWindowChange::Restored: event.Kind = TKind::Restored; break;
        case TWindowChange::Maximized: event.Kind = TKind::Maximized; break;
        case TWindowChange::Resized: event.Kind = TKind::Resized; break;
        }
        return event;
    case TReplayRecordKind::Close: event.Kind = TKind::Close; return event;
    case TReplayRecordKind::Timer:
    case TReplayRecordKind::Frame:
    case TReplayRecordKind::StateCheck:
    case TReplayRecordKind::End: return std::nullopt;
    }
    return std::nullopt;
}
