// SPDX-License-Identifier: GPL-3.0-or-later
// Programme loudness of a stereo signal as broadcast meters read it:
// K-weighted, in 400 ms blocks, gated, in LUFS.
#pragma once

#include <vector>

class TLoudnessMeter {
public:
    explicit TLoudnessMeter(double rate);
    void Add(double left, double right);
    // Integrated loudness; -70 or lower for silence.
    double Lufs() const;

private:
    struct TBiquad {
        double B0 = 1, B1 = 0, B2 = 0, A1 = 0, A2 = 0, X1 = 0, X2 = 0, Y1 = 0, Y2 = 0;
        double Process(double x);
    };
    std::vector<TBiquad> Filters_; // shelf and high pass, for each side
    double Rate_;
    std::vector<double> Squares_; // weighted power of each 100 ms step
    double Step_ = 0;
    long StepFrames_ = 0;
};
