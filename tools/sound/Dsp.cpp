// SPDX-License-Identifier: GPL-3.0-or-later
// Signal building blocks of the synthesiser.
#include "Dsp.h"

#include <algorithm>
#include <cmath>

double DbToGain(double db)
{
    return std::pow(10.0, db / 20.0);
}

double GainToDb(double gain)
{
    return 20.0 * std::log10(std::max(gain, 1e-12));
}

// ---- TRandom (splitmix64)

TRandom::TRandom(uint64_t seed) : state_(seed) {}

uint64_t TRandom::Next()
{
    uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

double TRandom::Unit()
{
    return static_cast<double>(Next() >> 11) * (1.0 / 9007199254740992.0);
}

double TRandom::Signed()
{
    return Unit() * 2.0 - 1.0;
}

uint64_t HashText(std::string_view text)
{
    uint64_t hash = 1469598103934665603ull;
    for (char c : text) {
        hash ^= static_cast<uint8_t>(c);
        hash *= 1099511628211ull;
    }
    return hash;
}

// ---- TCurve

TCurve::TCurve(double constant) : points_{{0, constant, false}} {}

TCurve::TCurve(std::vector<TCurvePoint> points, bool logScale) : points_(std::move(points)), logScale_(logScale) {}

double TCurve::EndTime() const
{
    return points_.empty() ? 0 : points_.back().Time;
}

double TCurve::At(double time) const
{
    if (points_.empty()) return 0;
    if (time <= points_.front().Time) return points_.front().Value;
    if (time >= points_.back().Time) return points_.back().Value;
    auto next = std::upper_bound(points_.begin(), points_.end(), time,
                                 [](double t, const TCurvePoint& p) { return t < p.Time; });
    const TCurvePoint& b = *next;
    const TCurvePoint& a = *(next - 1);
    const double span = b.Time - a.Time;
    const double u = span > 0 ? (time - a.Time) / span : 1.0;
    if (logScale_ && a.Value > 0 && b.Value > 0) return a.Value * std::pow(b.Value / a.Value, u);
    if (!b.Exponential) return a.Value + (b.Value - a.Value) * u;
    // Exponential glide: a decay that lands exactly on its target, or a
    // rise that starts slowly.
    if (a.Value > 0 && b.Value > 0) return a.Value * std::pow(b.Value / a.Value, u);
    if (b.Value == 0) {
        const double k = 6.9; // -60 dB at the segment's end before the final pull to zero
        return a.Value * (std::exp(-k * u) - u * std::exp(-k));
    }
    return a.Value + (b.Value - a.Value) * u * u * u;
}

// ---- TOscillator

TOscillator::TOscillator(TWaveShape shape, double startPhase) : shape_(shape), phase_(startPhase) {}

namespace {

// Correction of a unit step at phase 0 for a band-limited edge.
double PolyBlep(double t, double dt)
{
    if (dt <= 0) return 0;
    if (t < dt) {
        t /= dt;
        return t + t - t * t - 1.0;
    }
    if (t > 1.0 - dt) {
        t = (t - 1.0) / dt;
        return t * t + t + t + 1.0;
    }
    return 0;
}

} // namespace

double TOscillator::Next(double increment, double pulseWidth)
{
    const double dt = std::clamp(std::abs(increment), 0.0, 0.5);
    const double t = phase_;
    double out = 0;
    switch (shape_) {
    case TWaveShape::Sine:
        out = std::sin(2.0 * Pi * t);
        break;
    case TWaveShape::Saw:
        out = 2.0 * t - 1.0 - PolyBlep(t, dt);
        break;
    case TWaveShape::Triangle:
        // Its harmonics fall fast enough that the plain shape barely aliases.
        out = 1.0 - 4.0 * std::abs(t - 0.5);
        break;
    case TWaveShape::Square:
    case TWaveShape::Pulse: {
        const double width = shape_ == TWaveShape::Pulse ? std::clamp(pulseWidth, 0.05, 0.95) : 0.5;
        out = t < width ? 1.0 : -1.0;
        out += PolyBlep(t, dt);
        double shifted = t - width;
        if (shifted < 0) shifted += 1.0;
        out -= PolyBlep(shifted, dt);
        break;
    }
    }
    phase_ += increment;
    phase_ -= std::floor(phase_);
    return out;
}

// ---- TStateVariableFilter

TStateVariableFilter::TStateVariableFilter(TFilterKind kind, double sampleRate) : kind_(kind), sampleRate_(sampleRate) {}

double TStateVariableFilter::Process(double x, double cutoff, double q, double gainDb)
{
    const double fc = std::clamp(cutoff, sampleRate_ * 2e-4, sampleRate_ * 0.49);
    const double g = std::tan(Pi * fc / sampleRate_);
    const double k = 1.0 / std::max(q, 0.05);
    const double a1 = 1.0 / (1.0 + g * (g + k));
    const double a2 = g * a1;
    const double a3 = g * a2;
    const double v3 = x - ic2_;
    const double v1 = a1 * ic1_ + a2 * v3;
    const double v2 = ic2_ + a2 * ic1_ + a3 * v3;
    ic1_ = 2.0 * v1 - ic1_;
    ic2_ = 2.0 * v2 - ic2_;
    switch (kind_) {
    case TFilterKind::LowPass: return v2;
    case TFilterKind::HighPass: return x - k * v1 - v2;
    case TFilterKind::BandPass: return k * v1; // unity gain at the centre
    case TFilterKind::Notch: return x - k * v1;
    case TFilterKind::Peak: return x + (DbToGain(gainDb) - 1.0) * k * v1;
    }
    return v2;
}

// ---- TPinkNoise (Paul Kellet's economy filter)

double TPinkNoise::Next(double white)
{
    b_[0] = 0.99886 * b_[0] + white * 0.0555179;
    b_[1] = 0.99332 * b_[1] + white * 0.0750759;
    b_[2] = 0.96900 * b_[2] + white * 0.1538520;
    b_[3] = 0.86650 * b_[3] + white * 0.3104856;
    b_[4] = 0.55000 * b_[4] + white * 0.5329522;
    b_[5] = -0.7616 * b_[5] - white * 0.0168980;
    const double pink = b_[0] + b_[1] + b_[2] + b_[3] + b_[4] + b_[5] + b_[6] + white * 0.5362;
    b_[6] = white * 0.115926;
    return pink * 0.2;
}

// ---- TReverb

TReverb::TReverb(double sampleRate, double size, double damping)
    : feedback_(0.70 + 0.28 * std::clamp(size, 0.0, 1.0)), damping_(std::clamp(damping, 0.0, 1.0) * 0.4)
{
    const double scale = sampleRate / 44100.0;
    // Comb lengths grow with the room so a small size is a tight space.
    const double lengthScale = scale * (0.35 + 0.65 * std::clamp(size, 0.0, 1.0));
    for (int length : {1116, 1188, 1277, 1356, 1422, 1491, 1557, 1617}) {
        TComb comb;
        comb.Buffer.assign(static_cast<size_t>(std::max(1.0, length * lengthScale)), 0.0);
        combs_.push_back(std::move(comb));
    }
    for (int length : {556, 441, 341, 225}) {
        TAllPass pass;
        pass.Buffer.assign(static_cast<size_t>(std::max(1.0, length * scale)), 0.0);
        allPasses_.push_back(std::move(pass));
    }
}

double TReverb::Process(double x)
{
    const double input = x * 0.015;
    double out = 0;
    for (TComb& comb : combs_) {
        const double y = comb.Buffer[comb.Pos];
        comb.Store = y * (1.0 - damping_) + comb.Store * damping_;
        comb.Buffer[comb.Pos] = input + comb.Store * feedback_;
        if (++comb.Pos == comb.Buffer.size()) comb.Pos = 0;
        out += y;
    }
    for (TAllPass& pass : allPasses_) {
        const double buffered = pass.Buffer[pass.Pos];
        pass.Buffer[pass.Pos] = out + buffered * 0.5;
        if (++pass.Pos == pass.Buffer.size()) pass.Pos = 0;
        out = buffered - out;
    }
    return out * 4.0;
}

// ---- resampling

double SampleAt(const TSignal& signal, double position)
{
    if (signal.empty()) return 0;
    const auto at = [&](long i) {
        return i < 0 || i >= static_cast<long>(signal.size()) ? 0.0 : signal[static_cast<size_t>(i)];
    };
    const double floorPos = std::floor(position);
    const long i = static_cast<long>(floorPos);
    const double f = position - floorPos;
    const double y0 = at(i - 1), y1 = at(i), y2 = at(i + 1), y3 = at(i + 2);
    // Catmull-Rom
    const double c1 = 0.5 * (y2 - y0);
    const double c2 = y0 - 2.5 * y1 + 2.0 * y2 - 0.5 * y3;
    const double c3 = 0.5 * (y3 - y0) + 1.5 * (y1 - y2);
    return ((c3 * f + c2) * f + c1) * f + y1;
}

TSignal Resample(const TSignal& source, double ratio)
{
    if (ratio <= 0 || source.empty()) return {};
    const TSignal* input = &source;
    TSignal filtered;
    if (ratio > 1.0) {
        // Reading faster folds the top octave down: take it away first.
        filtered = source;
        for (int pass = 0; pass < 2; ++pass) {
            TStateVariableFilter filter(TFilterKind::LowPass, 1.0);
            for (double& s : filtered) s = filter.Process(s, 0.45 / ratio, 0.707);
        }
        input = &filtered;
    }
    const size_t length = static_cast<size_t>(static_cast<double>(source.size()) / ratio);
    TSignal out(length);
    for (size_t i = 0; i < length; ++i) out[i] = SampleAt(*input, static_cast<double>(i) * ratio);
    return out;
}
