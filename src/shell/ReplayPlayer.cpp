// SPDX-License-Identifier: GPL-3.0-or-later
// Replaying a recorded game, one record a step.
#include "ReplayPlayer.h"

#include "Unit1.h"

TReplayPlayer::TReplayPlayer(TMainForm& form, const TReplay& replay)
    : Form_(form), Replay_(replay), Next_(replay.Records.begin()), Reading_(replay.Header.StartClock)
{
    Form_.ReplayedWindowState = replay.Header.WindowState;
}

TReplayPlayer::~TReplayPlayer()
{
    Form_.ReplayedWindowState.reset();
    Form_.GameClock.Unpin();
}

std::optional<uint32_t> TReplayPlayer::NextReading() const
{
    if (Done_ || Next_ == Replay_.Records.end()) return std::nullopt;
    return Reading_ + Next_->Delta;
}

TReplayStep TReplayPlayer::OutOfStep(std::string problem)
{
    Done_ = true;
    Problem_ = std::move(problem);
    return TReplayStep::Desync;
}

TReplayStep TReplayPlayer::Step()
{
    if (Done_ || Next_ == Replay_.Records.end()) {
        Done_ = true;
        return TReplayStep::Finished;
    }
    const TReplayRecord record = *Next_;
    ++Next_;
    using TKind = TReplayRecordKind;
    if (record.Kind == TKind::End) {
        Done_ = true;
        return Started_ ? TReplayStep::Finished : OutOfStep("the replay holds no game");
    }
    Reading_ += record.Delta;
    Form_.GameClock.Pin(Reading_);
    if (!Started_) {
        if (Form_.GameState != gsMenu) return OutOfStep("the game is not at its menu");
        Form_.ResumeRecordedStart(Replay_.Header);
    } else if (Ended_ && record.Kind != TKind::StateCheck) {
        return OutOfStep("the replay goes on after the game ended");
    }

    switch (record.Kind) {
    case TKind::StateCheck:
        if (!Started_) return OutOfStep("the replay does not start with a step");
        if (StateDigest(Form_.StateValues()) != record.Digest) return OutOfStep("the game's state differs");
        return TReplayStep::Played;
    case TKind::Timer:
        if (record.Timer >= Form_.Timers().size()) return OutOfStep("no such timer");
        Form_.ReplayTimer(record.Timer);
        break;
    case TKind::Frame: {
        // The frame clock never steps sooner than its interval.
        const auto interval = static_cast<uint32_t>(Form_.DXTimer.Interval());
        if (Frames_ > 0 && Reading_ - LastFrame_ < interval) return OutOfStep("frames come faster than the game runs them");
        LastFrame_ = Reading_;
        ++Frames_;
        Form_.ReplayFrame();
        break;
    }
    case TKind::Window:
        switch (record.Window) {
        case TWindowChange::Minimized: Form_.ReplayedWindowState = TWindowState::Minimized; break;
        case TWindowChange::Restored: Form_.ReplayedWindowState = TWindowState::Normal; break;
        case TWindowChange::Maximized: Form_.ReplayedWindowState = TWindowState::Maximized; break;
        case TWindowChange::Resized: break;
        }
        [[fallthrough]];
    default:
        if (const auto event = EventOfRecord(record)) Form_.HandleEvent(*event);
        break;
    }

    if (!Started_) {
        if (Form_.GameState != gsGame) return OutOfStep("the first step does not start a game");
        Started_ = true;
    } else if (Form_.GameState != gsGame) {
        Ended_ = true;
    }
    return TReplayStep::Played;
}
