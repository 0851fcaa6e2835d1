// SPDX-License-Identifier: GPL-3.0-or-later
// The real game on the headless platform, for running replays: the
// libraries from `dataFolder`, the settings in a fresh folder of its own
// that goes with it (a replay neither reads nor changes the player's), and
// drawing skipped unless asked for.
#pragma once

#include <filesystem>
#include <memory>

class THeadlessPlatform;
class TMainForm;

class THeadlessGame {
public:
    // Started and standing at the menu, its clock at `startClock`. Throws
    // what the game's start throws (a missing library).
    THeadlessGame(const std::filesystem::path& dataFolder, bool draw, uint32_t startClock);
    ~THeadlessGame();
    THeadlessGame(const THeadlessGame&) = delete;
    THeadlessGame& operator=(const THeadlessGame&) = delete;

    TMainForm& Form() { return *Form_; }

private:
    std::filesystem::path Settings_;
    std::unique_ptr<THeadlessPlatform> Platform_;
    std::unique_ptr<TMainForm> Form_;
};

// The folder that holds Data/ for a program in `programFolder`: that folder
// in a build tree, else `installed` (relative to it) where it is installed.
std::filesystem::path GameDataFolder(const std::filesystem::path& programFolder, const std::filesystem::path& installed);
