// SPDX-License-Identifier: GPL-3.0-or-later
// Records one game as it is played: the game hands over each step with the
// clock reading that step saw, and at the end the header's fields that only
// it knows. Recording never fails: the records are kept in memory, encoded,
// and writing them is the replay folder's business.
#pragma once

#include "Platform.h"
#include "ReplayFile.h"

#include <cstdint>

// A state check follows every this many frames.
inline constexpr uint32_t ReplayStateCheckFrames = 33;

class TReplayRecorder {
public:
    // The clock reading at which play starts.
    explicit TReplayRecorder(uint32_t startClock);

    // An input event as it reaches the game; events that play does not see
    // (the window shown, a termination signal) are left out.
    void Event(uint32_t now, const TInputEvent& event);
    // A message timer fired; `timer` is the game's own number for it.
    void Timer(uint32_t now, uint8_t timer);
    // The frame clock stepped. True when a state check is due now: the game
    // then passes its StateDigest to StateCheck with the same reading.
    bool Frame(uint32_t now);
    void StateCheck(uint32_t now, uint32_t digest);

    uint32_t Frames() const { return Frames_; }
    const TReplayRecords& Records() const { return Records_; }

    // Seals the recording with the end record and returns the replay. The
    // header's start clock, frame count and game time come from the
    // recording; the other fields are the caller's. Once only.
    TReplay Finish(uint32_t now, TReplayHeader header);

private:
    uint32_t Delta(uint32_t now);

    uint32_t StartClock_;
    uint32_t LastClock_;
    uint32_t Frames_ = 0;
    TReplayRecords Records_;
};
