// SPDX-License-Identifier: GPL-3.0-or-later
#include "LoudnessMeter.h"

#include <cmath>
#include <numbers>

double TLoudnessMeter::TBiquad::Process(double x)
{
    const double y = B0 * x + B1 * X1 + B2 * X2 - A1 * Y1 - A2 * Y2;
    X2 = X1, X1 = x, Y2 = Y1, Y1 = y;
    return y;
}

TLoudnessMeter::TLoudnessMeter(double rate) : Rate_(rate)
{
    // The weighting's two stages, designed for this rate: a +4 dB shelf
    // above about 1.7 kHz and a high pass at about 38 Hz.
    TBiquad shelf, high;
    {
        const double a = std::pow(10.0, 3.999843853973347 / 40), w = 2 * std::numbers::pi * 1681.974450955533 / rate;
        const double alpha = std::sin(w) / (2 * 0.7071752369554196), c = std::cos(w), r = 2 * std::sqrt(a) * alpha;
        const double a0 = (a + 1) - (a - 1) * c + r;
        shelf.B0 = a * ((a + 1) + (a - 1) * c + r) / a0;
        shelf.B1 = -2 * a * ((a - 1) + (a + 1) * c) / a0;
        shelf.B2 = a * ((a + 1) + (a - 1) * c - r) / a0;
        shelf.A1 = 2 * ((a - 1) - (a + 1) * c) / a0;
        shelf.A2 = ((a + 1) - (a - 1) * c - r) / a0;
    }
    {
        const double w = 2 * std::numbers::pi * 38.13547087602444 / rate;
        const double alpha = std::sin(w) / (2 * 0.5003270373238773), c = std::cos(w), a0 = 1 + alpha;
        high.B0 = (1 + c) / 2 / a0;
        high.B1 = -(1 + c) / a0;
        high.B2 = (1 + c) / 2 / a0;
        high.A1 = -2 * c / a0;
        high.A2 = (1 - alpha) / a0;
    }
    Filters_ = {shelf, high, shelf, high};
}

void TLoudnessMeter::Add(double left, double right)
{
    const double l = Filters_[1].Process(Filters_[0].Process(left));
    const double r = Filters_[3].Process(Filters_[2].Process(right));
    Step_ += l * l + r * r;
    if (++StepFrames_ >= static_cast<long>(Rate_ / 10)) {
        Squares_.push_back(Step_ / static_cast<double>(StepFrames_));
        Step_ = 0;
        StepFrames_ = 0;
    }
}

double TLoudnessMeter::Lufs() const
{
    // Blocks of four steps, overlapping by three; an absolute gate at -70
    // and a relative one 10 LU under the mean of what passed it.
    std::vector<double> blocks;
    for (size_t i = 0; i + 4 <= Squares_.size(); ++i)
        blocks.push_back((Squares_[i] + Squares_[i + 1] + Squares_[i + 2] + Squares_[i + 3]) / 4);
    const auto loudness = [](double power) { return -0.691 + 10 * std::log10(std::max(power, 1e-12)); };
    const auto gatedMean = [&](double gate) {
        double sum = 0;
        long n = 0;
        for (double b : blocks)
            if (loudness(b) > gate) sum += b, ++n;
        return n ? sum / static_cast<double>(n) : 0.0;
    };
    const double absolute = gatedMean(-70);
    if (absolute <= 0) return -70;
    return loudness(gatedMean(loudness(absolute) - 10));
}
