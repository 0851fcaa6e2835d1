// SPDX-License-Identifier: GPL-3.0-or-later
// The local table of the ten best scores: its defaults, the bar a score
// must clear, and how a new score enters.
#pragma once

#include <array>
#include <cstdint>
#include <string>

struct TLocal_HighScores {
    std::string Name;
    int32_t Score = 0;

    friend bool operator==(const TLocal_HighScores&, const TLocal_HighScores&) = default;
};

// Place 1 (the best) at index 0, place 10 at index 9.
using THighScoreTable = std::array<TLocal_HighScores, 10>;

// The table a fresh install starts with and a clearing returns to.
extern const THighScoreTable DefaultHighScores;

// True when the score beats place 10 and so earns a place.
bool QualifiesForHighScores(const THighScoreTable& table, int32_t score);

// The place (1..10) a qualifying score would take: one below every stored
// entry among places 1..9 that is strictly greater, so a tie goes above the
// stored entry.
int HighScorePlace(const THighScoreTable& table, int32_t score);

// Puts (name, score) at its place and moves the entries from that place on
// down by one; the tenth drops off. Returns the place taken (1..10), or 0
// and leaves the table alone when the score does not qualify.
int InsertHighScore(THighScoreTable& table, const std::string& name, int32_t score);
