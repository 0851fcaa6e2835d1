// SPDX-License-Identifier: GPL-3.0-or-later
// Level, peak ceiling, ends and loops of a finished sound.
#include "Mastering.h"

#include "Recipe.h"

#include <algorithm>
#include <cmath>
#include <deque>

double ShortTermLoudness(const TSignal& signal, double rate)
{
    const size_t window = std::max<size_t>(1, static_cast<size_t>(rate * 0.1));
    if (signal.size() <= window) {
        double sum = 0;
        for (double s : signal) sum += s * s;
        return GainToDb(std::sqrt(sum / static_cast<double>(std::max<size_t>(1, window))));
    }
    double sum = 0, loudest = 0;
    for (size_t i = 0; i < signal.size(); ++i) {
        sum += signal[i] * signal[i];
        if (i >= window) sum -= signal[i - window] * signal[i - window];
        if (i + 1 >= window) loudest = std::max(loudest, sum);
    }
    return GainToDb(std::sqrt(std::max(loudest, 0.0) / static_cast<double>(window)));
}

double PeakDb(const TSignal& signal)
{
    double peak = 0;
    for (double s : signal) peak = std::max(peak, std::abs(s));
    return GainToDb(peak);
}

namespace {

double WholeLoudness(const TSignal& signal)
{
    double sum = 0;
    for (double s : signal) sum += s * s;
    return GainToDb(std::sqrt(sum / static_cast<double>(std::max<size_t>(1, signal.size()))));
}

// Removes DC and sub-sonic drift, which would otherwise leave the ends off zero.
void RemoveRumble(TSignal& signal, double rate)
{
    TStateVariableFilter filter(TFilterKind::HighPass, rate);
    for (double& s : signal) s = filter.Process(s, 22.0, 0.6);
}

// Look-ahead peak limiter: gain falls before a peak arrives and recovers
// slowly after it, so nothing passes the ceiling and nothing distorts.
void LimitPeaks(TSignal& signal, double ceiling, double rate)
{
    const size_t lookAhead = std::max<size_t>(1, static_cast<size_t>(rate * 0.002));
    std::vector<double> wanted(signal.size());
    for (size_t i = 0; i < signal.size(); ++i) {
        const double level = std::abs(signal[i]);
        wanted[i] = level > ceiling ? ceiling / level : 1.0;
    }
    // Lowest wanted gain over the coming look-ahead window (monotonic queue).
    std::vector<double> floorGain(signal.size());
    std::deque<size_t> queue;
    for (size_t j = signal.size(); j-- > 0;) {
        while (!queue.empty() && wanted[queue.back()] >= wanted[j]) queue.pop_back();
        queue.push_back(j);
        while (queue.front() > j + lookAhead) queue.pop_front();
        floorGain[j] = wanted[queue.front()];
    }
    const double release = std::exp(-1.0 / (rate * 0.06));
    const double attack = std::exp(-1.0 / (static_cast<double>(lookAhead) / 3.0));
    double gain = 1.0;
    for (size_t i = 0; i < signal.size(); ++i) {
        const double target = floorGain[i];
        gain = target < gain ? std::min(gain, attack * gain + (1 - attack) * target) : release * gain + (1 - release) * target;
        // The smoothing may lag a sudden peak: never let a sample through above the ceiling.
        gain = std::min(gain, wanted[i]);
        signal[i] *= gain;
    }
}

void Fade(TSignal& signal, double seconds, double rate, bool atStart)
{
    const size_t length = std::min(signal.size(), static_cast<size_t>(seconds * rate) + 1);
    for (size_t i = 0; i < length; ++i) {
        const double g = 0.5 - 0.5 * std::cos(Pi * static_cast<double>(i) / static_cast<double>(length));
        signal[atStart ? i : signal.size() - 1 - i] *= g;
    }
}

// Drops the tail once it stays below -70 dB of the peak.
void TrimTail(TSignal& signal, double rate)
{
    double peak = 0;
    for (double s : signal) peak = std::max(peak, std::abs(s));
    const double floor = peak * DbToGain(-70);
    size_t end = signal.size();
    while (end > 0 && std::abs(signal[end - 1]) < floor) --end;
    end = std::min(signal.size(), end + static_cast<size_t>(rate * 0.005));
    signal.resize(std::max<size_t>(end, 1));
}

// The last `overlap` samples are the loop's continuation: blend them over
// the loop's start, then let the loop begin where the blend ends.
TSignal CloseLoop(const TSignal& signal, size_t overlap)
{
    const size_t loop = signal.size() - overlap;
    TSignal out(signal.begin() + static_cast<std::ptrdiff_t>(overlap), signal.begin() + static_cast<std::ptrdiff_t>(overlap + loop));
    // out[k] = signal[overlap + k]; its last `overlap` samples hand over to
    // signal[0 .. overlap), which runs straight into out[0] = signal[overlap].
    for (size_t i = 0; i < overlap; ++i) {
        const double u = (static_cast<double>(i) + 0.5) / static_cast<double>(overlap);
        const size_t k = loop - overlap + i;
        out[k] = out[k] * std::cos(0.5 * Pi * u) + signal[i] * std::sin(0.5 * Pi * u);
    }
    return out;
}

} // namespace

TSignal MasterSignal(TSignal signal, const TMasterSettings& settings)
{
    const double rate = settings.Rate;
    RemoveRumble(signal, rate);
    if (PeakDb(signal) < -200) throw TRecipeError("the sound is silent");
    size_t overlap = 0;
    if (settings.Looped) {
        overlap = static_cast<size_t>(settings.Crossfade * rate);
        if (overlap == 0 || overlap * 3 > signal.size()) throw TRecipeError("a loop needs a crossfade shorter than half its length");
    }
    const double loudness = settings.Looped ? WholeLoudness(signal) : ShortTermLoudness(signal, rate);
    const double gain = DbToGain(settings.Loudness - loudness);
    for (double& s : signal) s *= gain;
    const double ceiling = DbToGain(settings.Ceiling);
    LimitPeaks(signal, ceiling, rate);
    if (settings.Looped) {
        signal = CloseLoop(signal, overlap);
        // Blending two halves can add up past the ceiling: scale the whole
        // loop, which keeps the seam intact.
        const double peak = DbToGain(PeakDb(signal));
        if (peak > ceiling)
            for (double& s : signal) s *= ceiling / peak;
        return signal;
    }
    TrimTail(signal, rate);
    Fade(signal, settings.FadeIn, rate, true);
    // A tail cut short by the sound's length still dies away smoothly.
    const double seconds = static_cast<double>(signal.size()) / rate;
    Fade(signal, std::max(settings.FadeOut, std::min(0.12, 0.1 * seconds)), rate, false);
    return signal;
}

std::vector<int16_t> ToPcm16(const TSignal& signal)
{
    std::vector<int16_t> out(signal.size());
    for (size_t i = 0; i < signal.size(); ++i)
        out[i] = static_cast<int16_t>(std::lround(std::clamp(signal[i], -1.0, 32767.0 / 32768.0) * 32768.0));
    return out;
}
