// SPDX-License-Identifier: GPL-3.0-or-later
// Which replays a folder keeps: those of the entries of the local table of
// the ten best, and of the rest the latest few. A table entry is matched by
// name and score to the latest replay of that name and score not matched
// yet, so two equal entries keep two replays.
#pragma once

#include "HighScores.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

inline constexpr size_t ReplaysKeptBesideTable = 20;

struct TStoredReplay {
    std::string FileName;
    uint64_t Sequence = 0;  // later replays have higher numbers
    std::string PlayerName;
    int32_t Score = 0;
};

// The file names of the replays to remove, earliest first.
std::vector<std::string> ReplaysToRemove(std::vector<TStoredReplay> replays, const THighScoreTable& table,
                                         size_t keepLatest = ReplaysKeptBesideTable);
