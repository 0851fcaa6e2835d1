// SPDX-License-Identifier: GPL-3.0-or-later
// Where the game finds its libraries and music, and where it keeps the
// player's settings: beside the program when it runs from the build folder,
// else the installed share folder and the player's own data folder.
#pragma once

#include <filesystem>

struct TGameFolders {
    // Holds Data/ and Music/. Empty: the working directory.
    std::filesystem::path Data;
    // Holds "Config.cfg" and "play.url", made on the first save. Empty: the
    // working directory.
    std::filesystem::path Settings;
};

// The player's folder for the game's files: $XDG_DATA_HOME/zarvenok, or
// $HOME/.local/share/zarvenok when XDG_DATA_HOME is unset, empty or not an
// absolute path. Empty when there is no home to put it in. Either argument
// may be null.
std::filesystem::path UserDataFolder(const char* xdgDataHome, const char* home);

// A program whose folder holds Data/ runs from the build folder: everything
// stays where it is today (settings in the working directory). Otherwise it
// is an installed game: the libraries come from `installedData` and the
// settings go to `userData` (the working directory when that is empty).
// When neither folder holds Data/, the installed layout is assumed if its
// share folder exists, so the library's own error names the path it missed.
TGameFolders LocateGameFolders(const std::filesystem::path& programFolder,
                               const std::filesystem::path& installedData,
                               const std::filesystem::path& userData);
