// SPDX-License-Identifier: GPL-3.0-or-later
// zarvenok: the game on the SDL platform.
#include "CommandLine.h"
#include "GameFolders.h"
#include "GameVersion.h"
#include "ReplayCheck.h"
#include "ReplayError.h"
#include "ReplayWatch.h"
#include "SdlAudioDevice.h"
#include "SdlPlatform.h"
#include "SdlVideo.h"
#include "Unit1.h"
#include "VolumeSettings.h"

#include <cstdlib>
#include <exception>
#include <filesystem>
#include <iostream>
#include <memory>
#include <optional>
#include <string>
#include <system_error>
#include <vector>

#include <pwd.h>
#include <unistd.h>

namespace {

// The folder of the running program, wherever it was started from.
std::filesystem::path ProgramFolder(const char* argv0)
{
    std::error_code error;
    std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error) program = std::filesystem::absolute(argv0 != nullptr ? argv0 : "", error);
    return program.parent_path();
}

// The home folder from the environment, else from the user database (a
// service or a bare session may not set HOME).
const char* HomeFolder()
{
    if (const char* home = std::getenv("HOME"); home != nullptr && *home != '\0') return home;
    const passwd* user = getpwuid(getuid());
    return user != nullptr ? user->pw_dir : nullptr;
}

TGameFolders GameFolders(const char* argv0)
{
    const std::filesystem::path program = ProgramFolder(argv0);
    // The share folder as installed, relative to the program's own folder so
    // that an installed tree can be moved as a whole.
    const std::filesystem::path installed = (program / ZARVENOK_INSTALLED_DATA).lexically_normal();
    return LocateGameFolders(program, installed, UserDataFolder(std::getenv("XDG_DATA_HOME"), HomeFolder()));
}

// The levels kept in the volume file, with those of the command line over
// them (and kept too); every later change is written back.
void SetUpVolumes(TSdlAudioDevice& audio, TVolumeSettingsFile& file, const TCommandLine& line)
{
    std::vector<std::string> problems;
    TSoundLevels levels = file.Load(problems);
    for (const std::string& problem : problems) std::cerr << "zarvenok: " << problem << '\n';
    const TSoundLevels stored = levels;
    if (line.MusicVolume) levels.Music = *line.MusicVolume;
    if (line.SoundVolume) levels.Sound = *line.SoundVolume;
    const auto keep = [&file](const TSoundLevels& changed) {
        std::string error;
        if (!file.Save(changed, error)) std::cerr << "zarvenok: the volumes are not kept: " << error << '\n';
    };
    if (levels != stored) keep(levels);
    audio.SetLevels(levels);
    audio.SetLevelsChangedHandler(keep);
}

} // namespace

int main(int argc, char** argv)
{
    const TCommandLine line = ParseCommandLine(argc, argv);
    switch (line.Action) {
    case TCommandLine::TAction::Help: std::cout << UsageText(); return 0;
    case TCommandLine::TAction::Version: std::cout << "zarvenok " << GameVersion << '\n'; return 0;
    case TCommandLine::TAction::Usage: std::cerr << "zarvenok: " << line.Error << '\n' << UsageText(); return 2;
    case TCommandLine::TAction::Play: break;
    }

    std::unique_ptr<TSdlPlatform> platform;
    try {
        platform = std::make_unique<TSdlPlatform>();
    } catch (const std::exception& e) {
        std::cerr << "zarvenok: " << e.what() << '\n';
        return 1;
    }
    const TGameFolders folders = GameFolders(argc > 0 ? argv[0] : nullptr);
    platform->SdlVideo().SetScaling({line.Scale, line.Smooth});
    TVolumeSettingsFile volumes(folders.Settings / TVolumeSettingsFile::FileName);
    SetUpVolumes(platform->SdlAudio(), volumes, line);
    // A replay to watch is read and checked before the window opens.
    std::optional<TReplay> replay;
    if (!line.ReplayFile.empty()) {
        try {
            replay = ReadReplayFile(line.ReplayFile);
            if (const auto mismatch = ReplayMismatch(replay->Header, folders.Data)) {
                std::cerr << "zarvenok: " << line.ReplayFile << ": " << *mismatch << '\n';
                return 1;
            }
        } catch (const EReplayError& e) {
            std::cerr << "zarvenok: " << line.ReplayFile << ": " << e.what() << '\n';
            return 1;
        }
    }
    int status = 0;
    try {
        TMainForm form(*platform);
        form.Folders = folders;
        form.FullScreenForRun = line.FullScreen;
        // Every game played is kept; a game watched is not played again.
        if (!replay) form.RecordTo = TMainForm::TRecordTo::ReplayFolder;
        form.Start();
        if (replay) {
            status = WatchReplay(form, *replay, line.ReplaySpeed, std::cerr);
            platform->SdlVideo().HideWindow();
            return status;
        }
        status = form.Run();
        // The player asked to leave: the window goes now, the rest follows.
        platform->SdlVideo().HideWindow();
        form.AfterLoop();
    } catch (const std::exception& e) {
        // A missing or damaged library: say what the library said, and stop.
        std::cerr << "zarvenok: " << e.what() << '\n';
        platform->MessageBox().Show("Zarvenok", e.what());
        status = 1;
    }
    return status;
}
