// SPDX-License-Identifier: GPL-3.0-or-later
// The sound device's volumes at start: those kept in the volume file, with
// any given for this run over them (and kept too); every later change the
// player makes is written back.
#pragma once

#include <optional>

class TSdlAudioDevice;
class TVolumeSettingsFile;

void SetUpVolumes(TSdlAudioDevice& audio, TVolumeSettingsFile& file, std::optional<int> music,
                  std::optional<int> sound);
