// SPDX-License-Identifier: GPL-3.0-or-later
// A whole replay run again, as fast as it goes, and what came of it: the
// recorded game played out the same and ended with the result it claims,
// or where and how it did not.
#pragma once

#include "ReplayFile.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>

class TMainForm;

struct TReplayVerdict {
    enum class TKind { Verified, Desync, ResultDiffers };
    TKind Kind = TKind::Verified;
    // What the replay played to: the frames replayed (at a desync, the
    // frame it showed at), the score and level at the end.
    uint32_t Frames = 0;
    int32_t Score = 0;
    int32_t Level = 0;
    uint32_t GameTimeMs = 0;
    // The game left play by a game over (not by Esc and Yes).
    bool GameOver = false;
    std::string Problem;

    // "verified: score S, level L, frames F", "desync at frame F" or
    // "result differs: claimed S1, replayed S2".
    std::string Line() const;
};

// Runs the replay on a form that stands at the menu; `afterStep` is called
// after each record (to pace or count). The form is left where the replay
// ended, with its clock given back to the platform.
TReplayVerdict CheckReplay(TMainForm& form, const TReplay& replay, const std::function<void()>& afterStep = {});

// Why this build, with the libraries in `dataFolder`, cannot play the replay
// as it was played (another game version, other pictures or sounds);
// nothing when it can. EReplayError when a library cannot be read.
std::optional<std::string> ReplayMismatch(const TReplayHeader& header, const std::filesystem::path& dataFolder);
