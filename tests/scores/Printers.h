// SPDX-License-Identifier: GPL-3.0-or-later
// Readable failure output for the table and settings types.
#pragma once

#include "SettingsFile.h"

#include <ostream>

inline void PrintTo(const TLocal_HighScores& e, std::ostream* os)
{
    *os << '"' << e.Name << "\":" << e.Score;
}

inline void PrintTo(const TStoredSettings& s, std::ostream* os)
{
    *os << "{full " << s.FullScreen << ", music " << s.Music << ", sound " << s.Sound
        << ", add \"" << s.AddText << "\", player \"" << s.PlayerName << "\", table";
    for (const auto& e : s.HighScores) {
        *os << ' ';
        PrintTo(e, os);
    }
    *os << '}';
}
