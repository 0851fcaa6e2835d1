// SPDX-License-Identifier: GPL-3.0-or-later
// The headless module player: handles for existing files and a recorded story.
#include "HeadlessMusic.h"

#include <filesystem>
#include <system_error>

namespace {

// "Music/2.xm" plays as track "2".
std::string TrackOf(const std::string& path)
{
    return std::filesystem::path(path).stem().string();
}

} // namespace

THeadlessModulePlayer::THeadlessModulePlayer() : Log_(&OwnLog_) {}

THeadlessModulePlayer::THeadlessModulePlayer(THeadlessSoundLog& log) : Log_(&log) {}

int32_t THeadlessModulePlayer::SongLoadFromFile(const std::string& path)
{
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error)) return 0;
    const int32_t handle = NextHandle_++;
    Loaded_[handle] = path;
    return handle;
}

void THeadlessModulePlayer::SongPlay(int32_t handle)
{
    const auto it = Loaded_.find(handle);
    if (it == Loaded_.end()) return;
    Playing_ = handle;
    Order_ = 0;
    Log_->Record("music " + TrackOf(it->second));
}

int32_t THeadlessModulePlayer::SongGetOrder(int32_t handle)
{
    return handle != 0 && handle == Playing_ ? Order_ : 0;
}

void THeadlessModulePlayer::SongFree(int32_t handle)
{
    if (Loaded_.erase(handle) == 0) return;
    if (handle == Playing_) {
        Playing_ = 0;
        Order_ = 0;
        Log_->Record("music stop");
    }
}

std::string THeadlessModulePlayer::LoadedFileName() const
{
    if (Loaded_.empty()) return {};
    return std::filesystem::path(Loaded_.rbegin()->second).filename().string();
}
