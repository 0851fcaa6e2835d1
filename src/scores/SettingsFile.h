// SPDX-License-Identifier: GPL-3.0-or-later
// "Config.cfg": the three options, the two remembered texts and the
// high-score table, one encoded text per line.
#pragma once

#include "HighScores.h"

#include <iosfwd>
#include <optional>
#include <string>

struct TStoredSettings {
    bool FullScreen = false;
    bool Music = true;
    bool Sound = true;
    std::string AddText;
    std::string PlayerName;
    THighScoreTable HighScores = DefaultHighScores;

    friend bool operator==(const TStoredSettings&, const TStoredSettings&) = default;
};

// Number of lines the file holds.
inline constexpr int SettingsLineCount = 25;

// Reads the settings over `defaults`. Missing lines read as empty, so a short
// file turns full screen on and empties both texts. FullScreen comes back
// true when line 1 is anything but "false" (the caller switches full screen
// on with its toggle); Music and Sound go off only on "false". A place keeps
// its value from `defaults` when its name line is empty or its score line is
// empty or not a decimal 32-bit integer.
TStoredSettings LoadSettings(std::istream& in, const TStoredSettings& defaults);

// What reading the file came to.
enum class TSettingsLoad {
    Loaded,
    // No file of that name: the defaults stand and the file may be created.
    Absent,
    // Something is there but could not be read (permissions, a folder, an
    // I/O error): it must not be written over.
    Unreadable,
};

// As LoadSettings, from a file. Only Loaded fills `settings`; Unreadable
// says why in `error`.
TSettingsLoad LoadSettingsFile(const std::string& path, const TStoredSettings& defaults,
                               TStoredSettings& settings, std::string& error);

// The whole file text: 25 lines, each ended by CR LF.
std::string SaveSettings(const TStoredSettings& settings);

// Writes the file through a temporary beside it that is synced and then
// renamed over the target, so a crash or a full disk never leaves a cut
// table. A symbolic link is followed: its target is the file replaced, with
// its permissions kept, and a file the player may not write is refused,
// not replaced. On failure the old file is left as it was, the temporary
// is removed, `error` says what went wrong and the result is false.
bool SaveSettingsFile(const std::string& path, const TStoredSettings& settings,
                      std::string& error);
