// SPDX-License-Identifier: GPL-3.0-or-later
// The lookup of the game's folders for the real program.
#include "GameFolders.h"

#include <system_error>

namespace fs = std::filesystem;

namespace {

bool HoldsData(const fs::path& folder)
{
    std::error_code error;
    return !folder.empty() && fs::is_directory(folder / "Data", error);
}

} // namespace

fs::path UserDataFolder(const char* xdgDataHome, const char* home)
{
    // Relative values are to be ignored: they would follow the working directory.
    if (xdgDataHome != nullptr && fs::path(xdgDataHome).is_absolute()) return fs::path(xdgDataHome) / "zarvenok";
    if (home != nullptr && fs::path(home).is_absolute()) return fs::path(home) / ".local" / "share" / "zarvenok";
    return {};
}

TGameFolders LocateGameFolders(const fs::path& programFolder, const fs::path& installedData,
                               const fs::path& userData)
{
    if (HoldsData(programFolder)) return {programFolder, {}};
    std::error_code error;
    if (HoldsData(installedData) || fs::is_directory(installedData, error)) return {installedData, userData};
    return {programFolder, {}};
}
