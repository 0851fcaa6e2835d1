// SPDX-License-Identifier: GPL-3.0-or-later
// "Config.cfg": the options, the two texts and the high-score table, read
// at start-up and written when the settings screens are left.
#include "Unit1.h"

#include "SettingsFile.h"

#include <filesystem>
#include <iostream>
#include <system_error>

namespace {
const char* const kSettingsFile = "Config.cfg";

// An installed game's settings folder is made on the first save; a folder
// that cannot be made is one more reason the settings are not kept.
bool MakeSettingsFolder(const std::filesystem::path& folder, const std::filesystem::path& file, std::string& error)
{
    if (folder.empty()) return true;
    std::error_code failure;
    std::filesystem::create_directories(folder, failure);
    if (!failure) return true;
    error = "Cannot save settings to \"" + file.string() + "\": cannot make the folder \"" + folder.string() +
            "\": " + failure.message();
    return false;
}
} // namespace

void TMainForm::LoadSettings()
{
    TStoredSettings defaults;
    defaults.HighScores = HighScores;
    TStoredSettings settings;
    std::string error;
    const TSettingsLoad status = LoadSettingsFile((Folders.Settings / kSettingsFile).string(), defaults, settings, error);
    if (status == TSettingsLoad::Unreadable) {
        // The player's table may be in there: play on the defaults and never
        // write over it in this run.
        SettingsUntouchable_ = true;
        ReportSettingsProblem(error + "\nThe game starts with the default settings and will not change the file.");
    }
    const bool loaded = status == TSettingsLoad::Loaded;
    const bool storedFullScreen = loaded && settings.FullScreen;
    if (FullScreenForRun.value_or(storedFullScreen)) GameFullScreenClick();
    // Set after the switch above, which forgets it as a player's switch does.
    if (FullScreenForRun) KeptFullScreen_ = storedFullScreen;
    if (!loaded) return;
    const TStoredSettings* stored = &settings;
    if (!stored->Music) GameMusic = false;
    if (!stored->Sound) GameSound = false;
    Edit1 = AddText = stored->AddText;
    Edit2 = PlayerName = stored->PlayerName;
    HighScores = stored->HighScores;
}

void TMainForm::SaveSettings()
{
    AddText = Edit1;
    PlayerName = Edit2;
    TStoredSettings settings;
    settings.FullScreen = KeptFullScreen_.value_or(GameFullScreen);
    settings.Music = GameMusic;
    settings.Sound = GameSound;
    settings.AddText = AddText;
    settings.PlayerName = PlayerName;
    settings.HighScores = HighScores;
    if (SettingsUntouchable_) return;
    std::string error;
    const std::filesystem::path file = Folders.Settings / kSettingsFile;
    if (MakeSettingsFolder(Folders.Settings, file, error) && SaveSettingsFile(file.string(), settings, error)) return;
    std::cerr << "zarvenok: " << error << '\n';
    // Once a run: the game goes on, but the player should know that the
    // settings and scores will not be kept.
    if (!SaveFailureShown_) {
        SaveFailureShown_ = true;
        Platform.MessageBox().Show("Zarvenok", error + "\nThe game goes on, but settings and scores are not kept.");
    }
}

void TMainForm::ReportSettingsProblem(const std::string& text)
{
    std::cerr << "zarvenok: " << text << '\n';
    Platform.MessageBox().Show("Zarvenok", text);
}

void TMainForm::ResetHighScores()
{
    HighScores = DefaultHighScores;
    GoToState(6);
}
