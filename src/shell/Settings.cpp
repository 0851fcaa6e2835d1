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
    const std::optional<TStoredSettings> stored = LoadSettingsFile(kSettingsFile, defaults);
    if (!stored) return;
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
    std::string error;
    if (!SaveSettingsFile(kSettingsFile, settings, error)) std::cerr << "zarvenok: " << error << '\n';
}

void TMainForm::ResetHighScores()
{
    HighScores = DefaultHighScores;
    GoToState(6);
}
