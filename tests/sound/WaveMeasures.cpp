// SPDX-License-Identifier: GPL-3.0-or-later
#include "WaveMeasures.h"

#include <algorithm>
#include <cmath>
#include <string>

const TWaveCollection& BuiltLibrary()
{
    static const TWaveCollection* library = [] {
        auto* loaded = new TWaveCollection;
        loaded->LoadFromFile(std::string(ZARVENOK_BUILD_DIR) + "/Data/Music.dxw");
        return loaded;
    }();
    return *library;
}

TSignal SamplesOf(const TWave& wave)
{
    const size_t step = 2 * std::max<size_t>(1, wave.Channels());
    TSignal samples;
    for (size_t i = 0; i + 1 < wave.Data.size(); i += step)
        samples.push_back(static_cast<int16_t>(wave.Data[i] | (wave.Data[i + 1] << 8)) / 32768.0);
    return samples;
}

double BandShare(const TSignal& signal, double rate, double fromHz, double toHz)
{
    TSignal band = signal;
    for (int stage = 0; stage < 2; ++stage) {
        TStateVariableFilter high(TFilterKind::HighPass, rate), low(TFilterKind::LowPass, rate);
        for (double& s : band) {
            if (fromHz > 0) s = high.Process(s, fromHz, 0.707);
            if (toHz < rate * 0.49) s = low.Process(s, toHz, 0.707);
        }
    }
    double part = 0, all = 1e-30;
    for (size_t i = 0; i < signal.size(); ++i) {
        part += band[i] * band[i];
        all += signal[i] * signal[i];
    }
    return part / all;
}

double OnsetSeconds(const TSignal& signal, double rate, double belowPeakDb)
{
    const size_t window = std::max<size_t>(1, static_cast<size_t>(rate / 1000));
    std::vector<double> levels;
    for (size_t from = 0; from < signal.size(); from += window) {
        double sum = 0;
        const size_t to = std::min(signal.size(), from + window);
        for (size_t i = from; i < to; ++i) sum += signal[i] * signal[i];
        levels.push_back(std::sqrt(sum / static_cast<double>(to - from)));
    }
    if (levels.empty()) return 0;
    const double loudest = *std::max_element(levels.begin(), levels.end());
    for (size_t w = 0; w < levels.size(); ++w)
        if (levels[w] >= loudest * DbToGain(-belowPeakDb)) return static_cast<double>(w * window) / rate;
    return static_cast<double>(signal.size()) / rate;
}
