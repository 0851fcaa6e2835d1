// SPDX-License-Identifier: GPL-3.0-or-later
// The local high-score table.
#include "HighScores.h"

#include <algorithm>

const THighScoreTable DefaultHighScores = {{
    {"Anonymous", 3000},
    {"Anonymous", 2500},
    {"Anonymous", 2000},
    {"Anonymous", 1500},
    {"Anonymous", 1000},
    {"Anonymous", 500},
    {"Anonymous", 400},
    {"Anonymous", 300},
    {"Anonymous", 200},
    {"Anonymous", 100},
}};

bool QualifiesForHighScores(const THighScoreTable& table, int32_t score)
{
    return score > table.back().Score;
}

int HighScorePlace(const THighScoreTable& table, int32_t score)
{
    // Place 10 is never compared: a qualifying score is above it anyway.
    const auto above = std::count_if(table.begin(), table.end() - 1,
                                     [score](const TLocal_HighScores& e) { return e.Score > score; });
    return 1 + static_cast<int>(above);
}

int InsertHighScore(THighScoreTable& table, const std::string& name, int32_t score)
{
    if (!QualifiesForHighScores(table, score))
        return 0;
    const int place = HighScorePlace(table, score);
    const auto at = table.begin() + (place - 1);
    // Shift rather than overwrite, so the entry that held this place keeps
    // its score one place lower.
    std::move_backward(at, table.end() - 1, table.end());
    *at = TLocal_HighScores{name, score};
    return place;
}
