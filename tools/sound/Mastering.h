// SPDX-License-Identifier: GPL-3.0-or-later
// The last stage of every sound: level, peak ceiling, clean ends or a
// seamless loop, and 16-bit samples.
#pragma once

#include "Dsp.h"

#include <cstdint>
#include <vector>

struct TMasterSettings {
    double Rate = 44100;
    // Target loudness: the RMS level in dBFS of the loudest 100 ms
    // (the whole loop for looped sounds).
    double Loudness = -16;
    // Sample peaks stay at or below this, in dBFS.
    double Ceiling = -1.2;
    double FadeIn = 0.001;
    double FadeOut = 0.01;
    bool Looped = false;
    // Looped: the signal holds the loop plus this much, which is blended
    // over the loop's end so that the end runs into the start.
    double Crossfade = 0;
};

// Loudest RMS over 100 ms windows, in dBFS.
double ShortTermLoudness(const TSignal& signal, double rate);
double PeakDb(const TSignal& signal);

// Raises TRecipeError when the signal is silent.
TSignal MasterSignal(TSignal signal, const TMasterSettings& settings);
std::vector<int16_t> ToPcm16(const TSignal& signal);
