// SPDX-License-Identifier: GPL-3.0-or-later
// Signal building blocks of the synthesiser: random numbers, breakpoint
// curves, oscillators, filters, delays and the reverb.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

using TSignal = std::vector<double>;

constexpr double Pi = 3.14159265358979323846;

double DbToGain(double db);
double GainToDb(double gain);

// Small, fast and the same on every machine, so renders repeat exactly.
class TRandom {
public:
    explicit TRandom(uint64_t seed);
    uint64_t Next();
    // Uniform in [0, 1).
    double Unit();
    // Uniform in [-1, 1).
    double Signed();

private:
    uint64_t state_;
};

uint64_t HashText(std::string_view text);

// A value over time through breakpoints. Frequencies glide on a log scale;
// other values glide linearly, or exponentially on segments marked so.
struct TCurvePoint {
    double Time = 0;
    double Value = 0;
    bool Exponential = false; // shape of the segment that ends at this point
};

class TCurve {
public:
    TCurve() = default;
    explicit TCurve(double constant);
    TCurve(std::vector<TCurvePoint> points, bool logScale);

    double At(double time) const;
    double EndTime() const;
    bool Empty() const { return points_.empty(); }

private:
    std::vector<TCurvePoint> points_;
    bool logScale_ = false;
};

// Band-limited oscillator (saw and square corrected at their steps).
enum class TWaveShape { Sine, Triangle, Saw, Square, Pulse };

class TOscillator {
public:
    explicit TOscillator(TWaveShape shape, double startPhase = 0);
    // Next sample for a frequency given as cycles per sample.
    double Next(double increment, double pulseWidth = 0.5);

private:
    TWaveShape shape_;
    double phase_;
};

// Zero-delay-feedback state-variable filter; stable under fast sweeps.
enum class TFilterKind { LowPass, HighPass, BandPass, Notch, Peak };

class TStateVariableFilter {
public:
    TStateVariableFilter(TFilterKind kind, double sampleRate);
    // gainDb applies to the peak kind only.
    double Process(double x, double cutoff, double q, double gainDb = 0);

private:
    TFilterKind kind_;
    double sampleRate_;
    double ic1_ = 0;
    double ic2_ = 0;
};

class TPinkNoise {
public:
    double Next(double white);

private:
    double b_[7] = {};
};

// Mono room after the classic comb and all-pass design.
class TReverb {
public:
    TReverb(double sampleRate, double size, double damping);
    double Process(double x);

private:
    struct TComb {
        std::vector<double> Buffer;
        size_t Pos = 0;
        double Store = 0;
    };
    struct TAllPass {
        std::vector<double> Buffer;
        size_t Pos = 0;
    };
    std::vector<TComb> combs_;
    std::vector<TAllPass> allPasses_;
    double feedback_;
    double damping_;
};

// Cubic interpolation of a signal at a fractional position.
double SampleAt(const TSignal& signal, double position);
// Reads `source` at `ratio` times its speed (pitch up above 1).
TSignal Resample(const TSignal& source, double ratio);
