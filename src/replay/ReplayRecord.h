// SPDX-License-Identifier: GPL-3.0-or-later
// One record of a replay: an input event that reached the game, a step of a
// message timer or of the frame clock, a check of the game's state, or the
// end. Each carries the clock's advance since the record before it (since
// the recording's start for the first), so replaying the deltas gives every
// step the clock reading it saw.
#pragma once

#include "Platform.h"

#include <cstdint>
#include <optional>

enum class TReplayRecordKind : uint8_t {
    PointerMove,  // X, Y
    PointerDown,  // Button, X, Y
    PointerUp,    // Button, X, Y
    Key,          // Key, Pressed, Alt
    Focus,        // Focused: the application gained (true) or lost activation
    Window,       // Window: the window was minimised, restored, maximised or resized
    Close,        // the user asked to close the window
    Timer,        // Timer: which message timer fired
    Frame,        // the frame clock's step
    StateCheck,   // Digest: StateDigest of the game after the step before
    End,          // Checksum: CRC-32 of the encoded records before it
};

enum class TWindowChange : uint8_t { Minimized, Restored, Maximized, Resized };

struct TReplayRecord {
    TReplayRecordKind Kind = TReplayRecordKind::Frame;
    uint32_t Delta = 0;
    // The fields that the kind uses; the others stay at their defaults.
    int32_t X = 0;
    int32_t Y = 0;
    TMouseButton Button = TMouseButton::Left;
    int32_t Key = 0;
    bool Pressed = false;
    bool Alt = false;
    bool Focused = false;
    TWindowChange Window = TWindowChange::Resized;
    uint8_t Timer = 0;
    uint32_t Digest = 0;
    uint32_t Checksum = 0;

    friend bool operator==(const TReplayRecord&, const TReplayRecord&) = default;

    static TReplayRecord PointerMove(uint32_t delta, int32_t x, int32_t y);
    static TReplayRecord PointerDown(uint32_t delta, TMouseButton button, int32_t x, int32_t y);
    static TReplayRecord PointerUp(uint32_t delta, TMouseButton button, int32_t x, int32_t y);
    static TReplayRecord KeyChange(uint32_t delta, int32_t key, bool pressed, bool alt);
    static TReplayRecord FocusChange(uint32_t delta, bool focused);
    static TReplayRecord WindowChange(uint32_t delta, TWindowChange change);
    static TReplayRecord CloseRequest(uint32_t delta);
    static TReplayRecord TimerStep(uint32_t delta, uint8_t timer);
    static TReplayRecord FrameStep(uint32_t delta);
    static TReplayRecord StateCheck(uint32_t delta, uint32_t digest);
    static TReplayRecord End(uint32_t delta, uint32_t checksum);
};

// The record of a platform event, or nothing for events that do not reach
// the game's play (the window shown, a termination signal).
std::optional<TReplayRecord> RecordOfEvent(const TInputEvent& event, uint32_t delta);

// The platform event that an input record replays; nothing for steps,
// state checks and the end.
std::optional<TInputEvent> EventOfRecord(const TReplayRecord& record);
