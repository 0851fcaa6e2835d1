// SPDX-License-Identifier: GPL-3.0-or-later
// "Volume.cfg": the music and effects volumes and the mute switch, kept in
// a file of the program's own beside "Config.cfg" (whose format is fixed).
// Lines of "name = value"; lines it does not know are kept as they are.
#pragma once

#include "SoundLevels.h"

#include <filesystem>
#include <string>
#include <vector>

class TVolumeSettingsFile {
public:
    explicit TVolumeSettingsFile(std::filesystem::path path) : Path_(std::move(path)) {}

    // The levels in the file; defaults where it has none or a bad value.
    // Each problem is one line in `problems`. A file that exists but cannot
    // be read is never written over in this run.
    TSoundLevels Load(std::vector<std::string>& problems);
    // Writes the levels (making the folder when needed); false with the
    // reason in `error` when they cannot be kept.
    bool Save(const TSoundLevels& levels, std::string& error);

    const std::filesystem::path& Path() const { return Path_; }

    static constexpr const char* FileName = "Volume.cfg";

private:
    std::filesystem::path Path_;
    std::vector<std::string> OtherLines_;
    bool Untouchable_ = false;
};
