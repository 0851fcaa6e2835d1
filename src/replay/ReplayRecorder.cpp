// SPDX-License-Identifier: GPL-3.0-or-later
// Recording one game into replay records.
#include "ReplayRecorder.h"

#include <utility>

TReplayRecorder::TReplayRecorder(uint32_t startClock) : StartClock_(startClock), LastClock_(startClock) {}

uint32_t TReplayRecorder::Delta(uint32_t now)
{
    // The clock wraps; the difference of two readings still holds.
    const uint32_t delta = now - LastClock_;
    LastClock_ = now;
    return delta;
}

void TReplayRecorder::Event(uint32_t now, const TInputEvent& event)
{
    // A left-out event keeps the clock where the last record left it.
    if (const auto record = RecordOfEvent(event, now - LastClock_)) {
        LastClock_ = now;
        Records_.Append(*record);
    }
}

void TReplayRecorder::Timer(uint32_t now, uint8_t timer)
{
    Records_.Append(TReplayRecord::TimerStep(Delta(now), timer));
}

bool TReplayRecorder::Frame(uint32_t now)
{
    Records_.Append(TReplayRecord::FrameStep(Delta(now)));
    return ++Frames_ % ReplayStateCheckFrames == 0;
}

void TReplayRecorder::StateCheck(uint32_t now, uint32_t digest)
{
    Records_.Append(TReplayRecord::StateCheck(Delta(now), digest));
}

TReplay TReplayRecorder::Finish(uint32_t now, TReplayHeader header)
{
    header.StartClock = StartClock_;
    header.Frames = Frames_;
    header.GameTimeMs = now - StartClock_;
    Records_.Finish(Delta(now));
    return {std::move(header), std::move(Records_)};
}
