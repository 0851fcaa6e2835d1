// "Config.cfg": the options, the two texts and the high-score table, read
// at start-up and written when the settings screens are left.
#include "Unit1.h"

#include "SettingsFile.h"

#include <iostream>

namespace {
const char* const kSettingsFile = "Config.cfg";
} // namespace

void TMainForm::LoadSettings()
{
    TStoredSettings defaults;
    defaults.HighScores = HighScores;
    TStoredSettings settings;
    std::string error;
    const TSettingsLoad status = LoadSettingsFile(kSettingsFile, defaults, settings, error);
    if (status == TSettingsLoad::Unreadable) {
        // The player's table may be in there: play on the defaults and never
        // write over it in this run.
        SettingsUntouchable_ = true;
        ReportSettingsProblem(error + "\nThe game starts with the default settings and will not change the file.");
        return;
    }
    if (status != TSettingsLoad::Loaded) return;
    const TStoredSettings* stored = &settings;
    if (stored->FullScreen) GameFullScreenClick();
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
    settings.FullScreen = GameFullScreen;
    settings.Music = GameMusic;
    settings.Sound = GameSound;
    settings.AddText = AddText;
    settings.PlayerName = PlayerName;
    settings.HighScores = HighScores;
    if (SettingsUntouchable_) return;
    std::string error;
    if (SaveSettingsFile(kSettingsFile, settings, error)) return;
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
