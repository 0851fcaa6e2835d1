// SPDX-License-Identifier: GPL-3.0-or-later
// Renders a module with libxmp (the game's player) and with libopenmpt
// (an independent one), noting what a listener and the game would see:
// levels, clipping, length and the order positions passed through.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct TModuleRender {
    bool Loaded = false;
    std::vector<std::string> Messages; // anything the player logged while loading
    double Seconds = 0; // time until the song ended or looped
    double Peak = 0; // 0..1 of full scale
    double Rms = 0;
    long ClippedSamples = 0;
    int OrderCount = 0;
    std::vector<int> Positions; // order positions in the order they were entered
    double SecondsAtFirstPosition = 0; // how long position 0 played before the song moved on
    std::vector<float> Mono; // kept only when asked for
    double MeanLeft = 0, MeanRight = 0; // DC offset of each side, 0..1 of full scale
    double LeftRms = 0, RightRms = 0;
    double SideRms = 0; // of (left - right) / 2: what stereo adds to the middle
    std::vector<double> PositionLeftRms, PositionRightRms; // by order position
    double Correlation = 0; // of left and right: 1 mono, 0 unrelated
    double Lufs = -70; // programme loudness
};

// Plays the module once through, stereo at `rate`.
TModuleRender RenderWithXmp(const std::vector<uint8_t>& module, int rate, bool keepMono = false);
TModuleRender RenderWithOpenMpt(const std::vector<uint8_t>& module, int rate, bool keepMono = false);

std::vector<uint8_t> ReadBinaryFile(const std::string& path);
