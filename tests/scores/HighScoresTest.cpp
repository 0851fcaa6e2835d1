// SPDX-License-Identifier: GPL-3.0-or-later
// The high-score table: the bar, the place a score takes and the shift of
// the entries below it.
#include "HighScores.h"
#include "Printers.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

std::vector<int32_t> Scores(const THighScoreTable& table)
{
    std::vector<int32_t> scores;
    for (const auto& e : table)
        scores.push_back(e.Score);
    return scores;
}

TEST(HighScores, DefaultTable)
{
    EXPECT_EQ(Scores(DefaultHighScores),
              (std::vector<int32_t>{3000, 2500, 2000, 1500, 1000, 500, 400, 300, 200, 100}));
    for (const auto& e : DefaultHighScores)
        EXPECT_EQ(e.Name, "Anonymous");
}

TEST(HighScores, InsertionShiftsTheEntriesBelowDown)
{
    struct Case {
        int32_t score;
        int place;
        std::vector<int32_t> scores;
    };
    const Case cases[] = {
        {2600, 2, {3000, 2600, 2500, 2000, 1500, 1000, 500, 400, 300, 200}},
        // A tie goes above the stored entry.
        {2000, 3, {3000, 2500, 2000, 2000, 1500, 1000, 500, 400, 300, 200}},
        {150, 10, {3000, 2500, 2000, 1500, 1000, 500, 400, 300, 200, 150}},
        {101, 10, {3000, 2500, 2000, 1500, 1000, 500, 400, 300, 200, 101}},
        {3001, 1, {3001, 3000, 2500, 2000, 1500, 1000, 500, 400, 300, 200}},
        {3000, 1, {3000, 3000, 2500, 2000, 1500, 1000, 500, 400, 300, 200}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.score);
        THighScoreTable table = DefaultHighScores;
        table[c.place - 1].Name = "HOLDER"; // the entry pushed down
        ASSERT_TRUE(QualifiesForHighScores(table, c.score));
        EXPECT_EQ(HighScorePlace(table, c.score), c.place);
        EXPECT_EQ(InsertHighScore(table, "NEW", c.score), c.place);
        EXPECT_EQ(Scores(table), c.scores);
        EXPECT_EQ(table[c.place - 1].Name, "NEW");
        if (c.place < 10) {
            EXPECT_EQ(table[c.place].Name, "HOLDER");
        }
    }
}

TEST(HighScores, ScoreNotAbovePlaceTenStaysOut)
{
    for (int32_t score : {100, 99, 0, -5}) {
        THighScoreTable table = DefaultHighScores;
        EXPECT_FALSE(QualifiesForHighScores(table, score));
        EXPECT_EQ(InsertHighScore(table, "NEW", score), 0);
        EXPECT_EQ(table, DefaultHighScores);
    }
}

TEST(HighScores, RepeatedInsertionsKeepTheTableSorted)
{
    THighScoreTable table = DefaultHighScores;
    for (int32_t score : {450, 5000, 450, 120, 2999})
        InsertHighScore(table, "P", score);
    EXPECT_EQ(Scores(table),
              (std::vector<int32_t>{5000, 3000, 2999, 2500, 2000, 1500, 1000, 500, 450, 450}));
}

} // namespace
