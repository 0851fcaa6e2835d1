// SPDX-License-Identifier: GPL-3.0-or-later
// Plays a recorded game again on a form that stands at the menu: play
// starts as it started in the recording, then each record runs as the step
// it recorded, under the clock reading that step saw, and each state check
// compares the game's state with the recorded one. The caller sets the
// pace: as fast as it can for a check, at the recorded pace for watching.
#pragma once

#include "ReplayFile.h"

#include <cstdint>
#include <optional>
#include <string>

class TMainForm;

enum class TReplayStep {
    Played,    // one record replayed
    Desync,    // a state check or the course of the game differs
    Finished,  // the end record: nothing more to play
};

class TReplayPlayer {
public:
    // The replay must outlive the player.
    TReplayPlayer(TMainForm& form, const TReplay& replay);
    ~TReplayPlayer();
    TReplayPlayer(const TReplayPlayer&) = delete;
    TReplayPlayer& operator=(const TReplayPlayer&) = delete;

    // The clock reading of the next record; nothing once finished or out of step.
    std::optional<uint32_t> NextReading() const;
    TReplayStep Step();

    // Frames replayed so far; at a desync, the frame it showed at.
    uint32_t Frames() const { return Frames_; }
    // Why the replay went out of step, for the message.
    const std::string& Problem() const { return Problem_; }
    // The recorded game began (its first step started play) and has ended.
    bool GameStarted() const { return Started_; }
    bool GameEnded() const { return Ended_; }

private:
    TReplayStep OutOfStep(std::string problem);

    TMainForm& Form_;
    const TReplay& Replay_;
    TReplayRecords::TIterator Next_;
    uint32_t Reading_;
    uint32_t LastFrame_ = 0;
    uint32_t Frames_ = 0;
    bool Started_ = false;
    bool Ended_ = false;
    bool Done_ = false;
    std::string Problem_;
};
