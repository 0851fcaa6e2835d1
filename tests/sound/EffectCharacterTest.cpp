// SPDX-License-Identifier: GPL-3.0-or-later
// What makes the busiest effects read on small speakers, measured on the
// built library: the rifle's crack leads its thump, and a miss is a noisy
// ricochet that falls away rather than a pure whistle.
#include "WaveMeasures.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <complex>
#include <numbers>
#include <string>
#include <vector>

namespace {

struct TSpectrum {
    std::vector<double> Power; // per bin
    double BinHz = 0;

    double Band(double fromHz, double toHz) const
    {
        double sum = 0;
        for (size_t k = 0; k < Power.size(); ++k)
            if (k * BinHz >= fromHz && k * BinHz < toHz) sum += Power[k];
        return sum;
    }
    double Total() const { return Band(0, 1e9); }
};

// The power spectrum of a Hann-windowed stretch of a recording.
TSpectrum SpectrumOf(const TWave& wave, double fromSeconds, double seconds)
{
    const double rate = wave.SamplesPerSec();
    const size_t first = static_cast<size_t>(fromSeconds * rate);
    const size_t count = static_cast<size_t>(seconds * rate);
    std::vector<double> window(count, 0.0);
    for (size_t i = 0; i < count && 2 * (first + i) + 1 < wave.Data.size(); ++i) {
        const size_t at = 2 * (first + i);
        const double sample = static_cast<int16_t>(wave.Data[at] | (wave.Data[at + 1] << 8)) / 32768.0;
        window[i] = sample * (0.5 - 0.5 * std::cos(2 * std::numbers::pi * static_cast<double>(i) / static_cast<double>(count - 1)));
    }
    TSpectrum spectrum;
    spectrum.BinHz = rate / static_cast<double>(count);
    for (size_t k = 0; k < count / 2; ++k) {
        std::complex<double> sum;
        for (size_t i = 0; i < count; ++i)
            sum += window[i] * std::polar(1.0, -2 * std::numbers::pi * static_cast<double>((k * i) % count) / static_cast<double>(count));
        spectrum.Power.push_back(std::norm(sum));
    }
    return spectrum;
}

TEST(EffectCharacter, TheRifleCracksInItsFirstThirtyMillisecondsOnTopOfItsThump)
{
    const TSpectrum onset = SpectrumOf(BuiltLibrary().Find("1").Wave, 0, 0.03);
    EXPECT_GE(onset.Band(1000, 4000) / onset.Total(), 0.25) << "the crack that laptop speakers carry";
    EXPECT_GE(onset.Band(0, 250) / onset.Total(), 0.15) << "the thump under it";
}

TEST(EffectCharacter, AMissIsANoisyRicochetThatFalls)
{
    const TWave& wave = BuiltLibrary().Find("2").Wave;
    const auto centroidAbove500 = [](const TSpectrum& s) {
        double weighted = 0, sum = 0;
        for (size_t k = 0; k < s.Power.size(); ++k)
            if (k * s.BinHz >= 500) {
                weighted += k * s.BinHz * s.Power[k];
                sum += s.Power[k];
            }
        return weighted / sum;
    };
    for (double at : {0.05, 0.1, 0.15, 0.2, 0.3}) {
        SCOPED_TRACE(at);
        // A tone puts nearly all its energy within a few bins of its peak;
        // the ricochet's whine is noise shaped by a moving resonance.
        const TSpectrum s = SpectrumOf(wave, at, 0.04);
        size_t peak = 0;
        for (size_t k = 1; k < s.Power.size(); ++k)
            if (s.Power[k] > s.Power[peak]) peak = k;
        const double nearPeak = s.Band((static_cast<double>(peak) - 0.5) * s.BinHz - 150, (static_cast<double>(peak) + 0.5) * s.BinHz + 150);
        EXPECT_LT(nearPeak / s.Total(), 0.6);
    }
    EXPECT_LT(centroidAbove500(SpectrumOf(wave, 0.3, 0.04)), 0.85 * centroidAbove500(SpectrumOf(wave, 0.03, 0.04)))
        << "the whine falls away";
}

// A soldier's cry answers the shot that kills him: at full voice within
// 40 ms, then a second sound of his (a cry, a gasp or a groan) after it.
TEST(EffectCharacter, CriesStartOnTheKillAndGoOn)
{
    for (int kind = 1; kind <= 4; ++kind) {
        const std::string name = "terror" + std::to_string(kind) + "_dead";
        const TWave& wave = BuiltLibrary().Find(name).Wave;
        const double rate = wave.SamplesPerSec();
        const TSignal cry = SamplesOf(wave);
        EXPECT_LT(OnsetSeconds(cry, rate, 6), 0.04) << name;
        const TSignal after(cry.begin() + std::min(cry.size(), static_cast<size_t>(0.3 * rate)), cry.end());
        double peak = 0, later = 0;
        for (double s : cry) peak = std::max(peak, std::abs(s));
        for (double s : after) later = std::max(later, std::abs(s));
        EXPECT_GT(later, peak * DbToGain(-20)) << name << " is over at once";
    }
}

} // namespace
