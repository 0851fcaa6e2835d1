// SPDX-License-Identifier: GPL-3.0-or-later
// Volumes from the volume file onto the sound device, and back when changed.
#include "VolumeSetup.h"

#include "SdlAudioDevice.h"
#include "VolumeSettings.h"

#include <iostream>
#include <string>
#include <vector>

void SetUpVolumes(TSdlAudioDevice& audio, TVolumeSettingsFile& file, std::optional<int> music,
                  std::optional<int> sound)
{
    std::vector<std::string> problems;
    TSoundLevels levels = file.Load(problems);
    for (const std::string& problem : problems) std::cerr << "zarvenok: " << problem << '\n';
    const TSoundLevels stored = levels;
    if (music) levels.Music = *music;
    if (sound) levels.Sound = *sound;
    const auto keep = [&file](const TSoundLevels& changed) {
        std::string error;
        if (!file.Save(changed, error)) std::cerr << "zarvenok: the volumes are not kept: " << error << '\n';
    };
    if (levels != stored) keep(levels);
    audio.SetLevels(levels);
    audio.SetLevelsChangedHandler(keep);
}
