// SPDX-License-Identifier: GPL-3.0-or-later
// What a replay says about itself before its records: which game and
// libraries made it, how the game started, and the result it claims.
#pragma once

#include "Platform.h"
#include "Sha256.h"

#include <cstdint>
#include <string>

inline constexpr uint16_t ReplayFormatVersion = 1;
// Longer texts are refused on writing and taken for damage on reading.
inline constexpr size_t MaxGameVersionLength = 32;
inline constexpr size_t MaxPlayerNameLength = 64;

struct TReplayHeader {
    std::string GameVersion;
    TSha256 PictureLibrary{};
    TSha256 SoundLibrary{};
    // The clock's reading when the recording began; the first record's
    // delta counts from it.
    uint32_t StartClock = 0;
    // The window as the game started: its state, full screen or not, and
    // the surfaces' bits per pixel (pixel tests compare at that depth).
    TWindowState WindowState = TWindowState::Normal;
    bool FullScreen = false;
    uint8_t BitCount = 32;
    // What play started from besides the clock: the random generator's
    // state and the pointer's place on the back surface.
    uint64_t GeneratorState = 1;
    int32_t PointerX = 0;
    int32_t PointerY = 0;
    // Empty when no name was entered.
    std::string PlayerName;
    // The claimed result.
    int32_t Score = 0;
    int32_t Level = 0;
    uint32_t Frames = 0;
    uint32_t GameTimeMs = 0;

    friend bool operator==(const TReplayHeader&, const TReplayHeader&) = default;
};

const char* WindowStateName(TWindowState state);

class TByteWriter;
class TByteReader;

// The header's own fields, between the format version and the record
// sizes (ReplayFile.h gives the whole layout). Reading checks each field's
// range and raises EReplayError for one out of it.
void WriteHeaderFields(TByteWriter& out, const TReplayHeader& header);
TReplayHeader ReadHeaderFields(TByteReader& in);
