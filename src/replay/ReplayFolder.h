// SPDX-License-Identifier: GPL-3.0-or-later
// The folder of replays beside the settings: each game's replay is written
// there as the next numbered file, then the keeping rule thins the folder.
// A folder that cannot be written (a full disk, no permission) costs the
// replay and nothing else: the failure is told once a run on the error
// stream, and the game goes on.
#pragma once

#include "HighScores.h"
#include "ReplayFile.h"
#include "ReplayKeeping.h"

#include <filesystem>
#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

inline constexpr const char* ReplayFolderName = "replays";

class TReplayFolder {
public:
    // `folder` is made when the first replay is saved.
    TReplayFolder(std::filesystem::path folder, std::ostream& errors);

    // Writes the replay and removes those the rule lets go; the new file's
    // path, or nothing when it could not be written.
    std::optional<std::filesystem::path> Save(const TReplay& replay, const THighScoreTable& table);

    // The replays whose headers read, in no particular order. Files that are
    // not named as ours or that do not read are never touched.
    std::vector<TStoredReplay> List() const;

    const std::filesystem::path& Folder() const { return Folder_; }

private:
    uint64_t NextSequence() const;
    void Tell(const std::string& problem);

    std::filesystem::path Folder_;
    std::ostream& Errors_;
    bool Told_ = false;
};

// "replay-000042.zrp" for 42, and back; nothing for other names.
std::string ReplayFileName(uint64_t sequence);
std::optional<uint64_t> ReplaySequence(const std::string& fileName);
