// SPDX-License-Identifier: GPL-3.0-or-later
// The headless module player: loads succeed when the file exists, nothing is
// heard, and what the game asked for is recorded (`music TRACK`, `music
// stop`). The order position is whatever the test or simulator sets.
#pragma once

#include "HeadlessAudio.h"
#include "Platform.h"

#include <cstdint>
#include <map>
#include <string>

class THeadlessModulePlayer : public IModulePlayer {
public:
    // Records into a log of its own.
    THeadlessModulePlayer();
    // Records into a log shared with the audio device; the log must outlive the player.
    explicit THeadlessModulePlayer(THeadlessSoundLog& log);
    THeadlessModulePlayer(const THeadlessModulePlayer&) = delete;
    THeadlessModulePlayer& operator=(const THeadlessModulePlayer&) = delete;

    int32_t SongLoadFromFile(const std::string& path) override;
    // Starts the module from its first order; any other module stops.
    void SongPlay(int32_t handle) override;
    // The playing module's order position; 0 for any other handle.
    int32_t SongGetOrder(int32_t handle) override;
    void SongFree(int32_t handle) override;

    // Moves the playing module to an order position.
    void SetOrder(int32_t order) { Order_ = order; }

    // The file name (without folders) of the newest loaded module, or empty.
    std::string LoadedFileName() const;
    // The handle of the module playing now, or 0.
    int32_t PlayingHandle() const { return Playing_; }

    THeadlessSoundLog& Log() { return *Log_; }

private:
    THeadlessSoundLog OwnLog_;
    THeadlessSoundLog* Log_;
    std::map<int32_t, std::string> Loaded_;
    int32_t NextHandle_ = 1;
    int32_t Playing_ = 0;
    int32_t Order_ = 0;
};
