// SPDX-License-Identifier: GPL-3.0-or-later
// The program's command line: help, version, and for one run window or
// full screen, the picture's scaling, and the volumes (which are kept).
#pragma once

#include <optional>
#include <string>

struct TCommandLine {
    enum class TAction { Play, Help, Version, Usage };
    TAction Action = TAction::Play;
    // --window (false) or --fullscreen (true).
    std::optional<bool> FullScreen;
    // --scale N: the whole factor to draw at; 0 for the largest that fits.
    int Scale = 0;
    // --smooth: a smooth filter filling the window instead of whole factors.
    bool Smooth = false;
    // --music-volume N and --sound-volume N, 0 to 100.
    std::optional<int> MusicVolume;
    std::optional<int> SoundVolume;
    // --replay FILE: watch a recorded game instead of playing; --speed N
    // plays it N times as fast.
    std::string ReplayFile;
    int ReplaySpeed = 1;
    // What was wrong, for TAction::Usage.
    std::string Error;
};

inline constexpr int MaxScale = 10;
inline constexpr int MaxReplaySpeed = 100;

TCommandLine ParseCommandLine(int argc, const char* const* argv);
// The help text, ending in a newline.
std::string UsageText();
