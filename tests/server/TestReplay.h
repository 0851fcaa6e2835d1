// SPDX-License-Identifier: GPL-3.0-or-later
// A replay file with the header's claims and no play in it, for the
// stand-in verifier, which reads only the header.
#pragma once

#include "ReplayFile.h"

#include <cstdint>
#include <string>
#include <vector>

inline std::vector<uint8_t> ReplayBytes(const std::string& name, int32_t score, int32_t level, uint32_t frames,
                                        uint32_t gameMs)
{
    TReplay replay;
    replay.Header.GameVersion = "test";
    replay.Header.PlayerName = name;
    replay.Header.Score = score;
    replay.Header.Level = level;
    replay.Header.Frames = frames;
    replay.Header.GameTimeMs = gameMs;
    replay.Records.Finish(gameMs);
    return EncodeReplay(replay);
}
