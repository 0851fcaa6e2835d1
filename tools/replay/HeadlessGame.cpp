// SPDX-License-Identifier: GPL-3.0-or-later
// Setting up and taking down a headless game for a replay.
#include "HeadlessGame.h"

#include "HeadlessPlatform.h"
#include "Unit1.h"

#include <cstdlib>
#include <stdexcept>
#include <string>
#include <system_error>

namespace fs = std::filesystem;

namespace {

fs::path MakeSettingsFolder()
{
    std::error_code error;
    fs::path base = fs::temp_directory_path(error);
    if (error) base = "/tmp";
    std::string pattern = (base / "zarvenok-replay-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr)
        throw std::runtime_error("Cannot make a folder for the replay's settings in " + base.string());
    return pattern;
}

} // namespace

THeadlessGame::THeadlessGame(const fs::path& dataFolder, bool draw, uint32_t startClock)
    : Settings_(MakeSettingsFolder()), Platform_(std::make_unique<THeadlessPlatform>(startClock))
{
    try {
        Form_ = std::make_unique<TMainForm>(*Platform_);
        Form_->Folders.Data = dataFolder;
        Form_->Folders.Settings = Settings_;
        Form_->DXDraw.DrawingSkipped = !draw;
        Form_->Start();
    } catch (...) {
        Form_.reset();
        std::error_code ignored;
        fs::remove_all(Settings_, ignored);
        throw;
    }
}

THeadlessGame::~THeadlessGame()
{
    // The form goes before the platform it runs on.
    Form_.reset();
    std::error_code ignored;
    fs::remove_all(Settings_, ignored);
}

fs::path GameDataFolder(const fs::path& programFolder, const fs::path& installed)
{
    std::error_code error;
    if (fs::is_directory(programFolder / "Data", error)) return programFolder;
    return (programFolder / installed).lexically_normal();
}
