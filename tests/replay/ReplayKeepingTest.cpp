// SPDX-License-Identifier: GPL-3.0-or-later
// Which replays stay: those of the table's entries, and the latest 20 of
// the rest.
#include "ReplayKeeping.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

TStoredReplay Stored(uint64_t sequence, const std::string& name = "", int32_t score = 0)
{
    return {"r" + std::to_string(sequence), sequence, name, score};
}

std::vector<std::string> Files(std::initializer_list<uint64_t> sequences)
{
    std::vector<std::string> names;
    for (uint64_t s : sequences) names.push_back("r" + std::to_string(s));
    return names;
}

TEST(ReplayKeeping, TheLatestOfTheRestStay)
{
    std::vector<TStoredReplay> replays;
    // Out of order on purpose: the folder lists them in any order.
    for (uint64_t s : {5, 1, 24, 3, 2, 4, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21, 22, 23}) replays.push_back(Stored(s));
    EXPECT_EQ(ReplaysToRemove(replays, DefaultHighScores), Files({1, 2, 3, 4}));
    EXPECT_EQ(ReplaysToRemove(replays, DefaultHighScores, 23), Files({1}));
    EXPECT_TRUE(ReplaysToRemove({}, DefaultHighScores).empty());
}

TEST(ReplayKeeping, TableEntriesKeepTheirReplaysBesideTheLatest)
{
    THighScoreTable table = DefaultHighScores;
    table[0] = {"ALICE", 9000};
    table[1] = {"BOB", 8000};
    table[2] = {"BOB", 8000};
    table[9] = {"CAROL", 150};
    const std::vector<TStoredReplay> replays = {
        Stored(1, "ALICE", 9000),  // in the table, old: stays
        Stored(2, "BOB", 8000),    // the two equal entries keep two replays
        Stored(3, "BOB", 8000),
        Stored(4, "BOB", 8000),    // the latest two of BOB's three are matched
        Stored(5, "ALICE", 100),   // the name alone is not enough
        Stored(6, "", 9000),       // nor the score alone
        Stored(7, "CAROL", 150),
        Stored(8), Stored(9),
    };
    // Keeping the latest 2 of the rest: 9 and 8; 2, 5 and 6 go.
    EXPECT_EQ(ReplaysToRemove(replays, table, 2), Files({2, 5, 6}));
    EXPECT_EQ(ReplaysToRemove(replays, table, 0), Files({2, 5, 6, 8, 9}));
}

} // namespace
