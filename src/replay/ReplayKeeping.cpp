// SPDX-License-Identifier: GPL-3.0-or-later
// The rule of which replays to keep.
#include "ReplayKeeping.h"

#include <algorithm>

std::vector<std::string> ReplaysToRemove(std::vector<TStoredReplay> replays, const THighScoreTable& table, size_t keepLatest)
{
    std::sort(replays.begin(), replays.end(), [](const TStoredReplay& a, const TStoredReplay& b) { return a.Sequence > b.Sequence; });
    std::vector<bool> kept(replays.size(), false);
    for (const TLocal_HighScores& entry : table) {
        for (size_t i = 0; i < replays.size(); ++i) {
            if (!kept[i] && replays[i].PlayerName == entry.Name && replays[i].Score == entry.Score) {
                kept[i] = true;
                break;
            }
        }
    }
    std::vector<std::string> removed;
    size_t latest = 0;
    for (size_t i = 0; i < replays.size(); ++i) {
        if (kept[i]) continue;
        if (latest < keepLatest)
            ++latest;
        else
            removed.push_back(replays[i].FileName);
    }
    std::reverse(removed.begin(), removed.end());
    return removed;
}
