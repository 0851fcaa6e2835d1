// SPDX-License-Identifier: GPL-3.0-or-later
// The synthesiser: sources (tones, noises, impulses, partials, speech),
// processing steps and the mix of a patch's layers.
#include "Synth.h"

#include "Speech.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <optional>

namespace {

size_t Samples(double seconds, double rate)
{
    return static_cast<size_t>(std::max(0.0, std::round(seconds * rate)));
}

// The parameters of a layer's source, gathered from its steps.
struct TSourceParams {
    TCurve Frequency;
    TCurve Width{0.5};
    double VibratoRate = 0, VibratoCents = 0, VibratoDelay = 0;
    double FmRatio = 0;
    TCurve FmIndex{0.0};
    int Unison = 1;
    double UnisonCents = 0;
    std::optional<TCurve> Hold;
    TCurve Density{100.0};
    double Jitter = 0;
    struct TPartial {
        double Ratio, Amplitude, Decay;
    };
    std::vector<TPartial> Partials;
    TSpeechRequest Speech;
    double Shift = 1.0;
    // Placement and repetition of the layer.
    double At = 0;
    std::optional<double> Duration;
    int Repeat = 1;
    double Interval = 0, RepeatJitter = 0, VaryDb = 0, VaryCents = 0;
};

bool IsSourceParam(const std::string& keyword)
{
    static const char* names[] = {"freq", "width", "vibrato", "fm", "unison", "hold", "density", "jitter",
                                  "partial", "engine", "voice", "pitch", "speed", "shift", "at", "dur", "repeat"};
    return std::any_of(std::begin(names), std::end(names), [&](const char* n) { return keyword == n; });
}

TSourceParams GatherParams(const TLayer& layer, const TRenderOptions& options)
{
    TSourceParams p;
    p.Frequency = TCurve(options.RootFrequency);
    for (const TLine& step : layer.Steps) {
        const std::string& k = step.Keyword();
        if (k == "freq") p.Frequency = step.Curve(0, true);
        else if (k == "width") p.Width = step.Curve(0, false);
        else if (k == "vibrato") {
            step.ExpectArgs(2, 3);
            p.VibratoRate = step.Value(0);
            p.VibratoCents = step.Value(1);
            p.VibratoDelay = step.ValueOr(2, 0);
        } else if (k == "fm") {
            p.FmRatio = step.Value(0);
            p.FmIndex = step.Curve(1, false);
        } else if (k == "unison") {
            step.ExpectArgs(2, 2);
            p.Unison = std::clamp(step.Integer(0), 1, 16);
            p.UnisonCents = step.Value(1);
        } else if (k == "hold") p.Hold = step.Curve(0, true);
        else if (k == "density") p.Density = step.Curve(0, false);
        else if (k == "jitter") p.Jitter = std::clamp(step.Value(0), 0.0, 0.9);
        else if (k == "partial") {
            step.ExpectArgs(3, 3);
            p.Partials.push_back({step.Value(0), step.Value(1), std::max(step.Value(2), 1e-3)});
        } else if (k == "engine") p.Speech.Engine = step.Arg(0);
        else if (k == "voice") p.Speech.Voice = step.Arg(0);
        else if (k == "pitch") p.Speech.Pitch = step.Integer(0);
        else if (k == "speed") p.Speech.Speed = step.Integer(0);
        else if (k == "shift") p.Shift = std::clamp(step.Value(0), 0.25, 4.0);
        else if (k == "at") p.At = std::max(0.0, step.Value(0));
        else if (k == "dur") p.Duration = std::max(0.0, step.Value(0));
        else if (k == "repeat") {
            step.ExpectArgs(2, 5);
            p.Repeat = std::clamp(step.Integer(0), 1, 1000);
            p.Interval = std::max(0.0, step.Value(1));
            p.RepeatJitter = step.ValueOr(2, 0);
            p.VaryDb = step.ValueOr(3, 0);
            p.VaryCents = step.ValueOr(4, 0);
        }
    }
    return p;
}

TWaveShape ShapeOf(const TLine& source)
{
    const std::string& name = source.Arg(0);
    if (name == "sine") return TWaveShape::Sine;
    if (name == "triangle") return TWaveShape::Triangle;
    if (name == "saw") return TWaveShape::Saw;
    if (name == "square") return TWaveShape::Square;
    if (name == "pulse") return TWaveShape::Pulse;
    source.Fail("unknown tone shape '" + name + "'");
}

// One sounding of a layer's source, before its processing steps.
TSignal RenderSource(const TLine& source, const TSourceParams& p, size_t length, double rate, double pitch, TRandom& random)
{
    const std::string& kind = source.Keyword();
    TSignal out(length, 0.0);
    const auto frequencyAt = [&](double t) {
        double f = p.Frequency.At(t) * pitch;
        if (p.VibratoCents != 0 && t >= p.VibratoDelay) {
            const double ramp = std::min(1.0, (t - p.VibratoDelay) / 0.15);
            f *= std::pow(2.0, ramp * p.VibratoCents / 1200.0 * std::sin(2 * Pi * p.VibratoRate * (t - p.VibratoDelay)));
        }
        return f;
    };

    if (kind == "tone") {
        source.ExpectArgs(1, 1);
        const TWaveShape shape = ShapeOf(source);
        std::vector<TOscillator> voices;
        std::vector<double> detune;
        for (int v = 0; v < p.Unison; ++v) {
            // Unison voices start at scattered phases so they never sum into a spike.
            voices.emplace_back(shape, p.Unison > 1 ? random.Unit() : 0.0);
            const double spread = p.Unison > 1 ? (2.0 * v / (p.Unison - 1) - 1.0) : 0.0;
            detune.push_back(std::pow(2.0, spread * p.UnisonCents / 1200.0));
        }
        double modPhase = 0;
        const double norm = 1.0 / std::sqrt(static_cast<double>(p.Unison));
        for (size_t i = 0; i < length; ++i) {
            const double t = static_cast<double>(i) / rate;
            double f = frequencyAt(t);
            if (p.FmRatio > 0) {
                const double fm = f * p.FmRatio;
                f += p.FmIndex.At(t) * fm * std::sin(2 * Pi * modPhase);
                modPhase += fm / rate;
                modPhase -= std::floor(modPhase);
            }
            const double width = p.Width.At(t);
            double sum = 0;
            for (size_t v = 0; v < voices.size(); ++v) sum += voices[v].Next(f * detune[v] / rate, width);
            out[i] = sum * norm;
        }
    } else if (kind == "noise") {
        source.ExpectArgs(1, 1);
        const std::string& colour = source.Arg(0);
        if (colour != "white" && colour != "pink" && colour != "brown") source.Fail("unknown noise colour '" + colour + "'");
        TPinkNoise pink;
        double brown = 0, held = 0, holdPhase = 1;
        for (size_t i = 0; i < length; ++i) {
            const double t = static_cast<double>(i) / rate;
            double value = random.Signed();
            if (colour == "pink") value = pink.Next(value);
            else if (colour == "brown") {
                brown = 0.985 * brown + 0.15 * value;
                value = brown * 1.2;
            }
            if (p.Hold) {
                holdPhase += p.Hold->At(t) / rate;
                if (holdPhase >= 1) {
                    holdPhase -= std::floor(holdPhase);
                    held = value;
                }
                value = held;
            }
            out[i] = value;
        }
    } else if (kind == "crackle") {
        source.ExpectArgs(0, 0);
        for (size_t i = 0; i < length; ++i) {
            const double t = static_cast<double>(i) / rate;
            if (random.Unit() < p.Density.At(t) / rate) {
                const double size = 0.3 + 0.7 * random.Unit();
                out[i] = random.Unit() < 0.5 ? -size : size;
            }
        }
    } else if (kind == "pulses") {
        source.ExpectArgs(0, 0);
        double phase = 1.0; // the first pulse sounds at once
        double nextAt = 1.0;
        for (size_t i = 0; i < length; ++i) {
            const double t = static_cast<double>(i) / rate;
            phase += frequencyAt(t) / rate;
            if (phase >= nextAt) {
                phase -= nextAt;
                nextAt = 1.0 + p.Jitter * random.Signed();
                out[i] = 1.0 - 0.5 * p.Jitter * random.Unit();
            }
        }
    } else if (kind == "partials") {
        source.ExpectArgs(0, 0);
        if (p.Partials.empty()) source.Fail("'partials' needs 'partial RATIO AMPLITUDE DECAY' lines");
        std::vector<double> phases(p.Partials.size(), 0.0);
        for (size_t i = 0; i < length; ++i) {
            const double t = static_cast<double>(i) / rate;
            const double f = frequencyAt(t);
            double sum = 0;
            for (size_t k = 0; k < p.Partials.size(); ++k) {
                const auto& partial = p.Partials[k];
                const double fk = f * partial.Ratio;
                if (fk < rate * 0.48) sum += partial.Amplitude * std::pow(10.0, -3.0 * t / partial.Decay) * std::sin(2 * Pi * phases[k]);
                phases[k] += fk / rate;
                phases[k] -= std::floor(phases[k]);
            }
            out[i] = sum;
        }
    } else if (kind == "metal") {
        source.ExpectArgs(0, 0);
        // Inharmonic square waves: the clang of cymbals, bells and struck plate.
        static const double ratios[6] = {1.0, 1.4471, 1.6170, 1.9265, 2.5028, 2.6637};
        std::vector<TOscillator> oscillators;
        for (int k = 0; k < 6; ++k) oscillators.emplace_back(TWaveShape::Square, random.Unit());
        for (size_t i = 0; i < length; ++i) {
            const double f = frequencyAt(static_cast<double>(i) / rate);
            double sum = 0;
            for (int k = 0; k < 6; ++k) sum += oscillators[static_cast<size_t>(k)].Next(f * ratios[k] / rate);
            out[i] = sum / 6.0;
        }
    } else if (kind == "speech") {
        source.ExpectArgs(1, 1);
        TSpeechRequest request = p.Speech;
        request.Text = source.Arg(0);
        TSignal speech;
        try {
            speech = Speak(request, rate / (p.Shift * pitch));
        } catch (const TRecipeError& e) {
            source.Fail(e.what());
        }
        out.assign(length, 0.0);
        std::copy_n(speech.begin(), std::min(length, speech.size()), out.begin());
    } else {
        source.Fail("unknown source '" + kind + "'");
    }
    return out;
}

// A filter step: "lowpass CURVE [q Q] [gain DB] [poles 2|4]".
void ApplyFilter(TSignal& signal, const TLine& step, double rate, TFilterKind kind)
{
    size_t curveEnd = step.ArgCount();
    std::map<std::string, double> options{{"q", 0.707}, {"gain", 0}, {"poles", 2}};
    for (size_t i = 0; i < step.ArgCount(); ++i) {
        if (options.count(step.Arg(i)) != 0) {
            if (curveEnd == step.ArgCount()) curveEnd = i;
            options[step.Arg(i)] = step.Value(i + 1);
            ++i;
        } else if (curveEnd != step.ArgCount()) {
            step.Fail("unexpected '" + step.Arg(i) + "' after the filter's options");
        }
    }
    TLine curveLine = step;
    curveLine.Words.resize(curveEnd + 1);
    const TCurve cutoff = curveLine.Curve(0, true);
    const int stages = options["poles"] >= 4 ? 2 : 1;
    for (int s = 0; s < stages; ++s) {
        TStateVariableFilter filter(kind, rate);
        for (size_t i = 0; i < signal.size(); ++i)
            signal[i] = filter.Process(signal[i], cutoff.At(static_cast<double>(i) / rate), options["q"], options["gain"]);
    }
}

} // namespace

void ApplyStep(TSignal& signal, const TLine& step, double rate)
{
    const std::string& k = step.Keyword();
    const auto timeOf = [rate](size_t i) { return static_cast<double>(i) / rate; };
    if (k == "amp") {
        const TCurve curve = step.Curve(0, false);
        for (size_t i = 0; i < signal.size(); ++i) signal[i] *= curve.At(timeOf(i));
    } else if (k == "gain") {
        step.ExpectArgs(1, 1);
        const double g = DbToGain(step.Value(0));
        for (double& s : signal) s *= g;
    } else if (k == "lowpass") ApplyFilter(signal, step, rate, TFilterKind::LowPass);
    else if (k == "highpass") ApplyFilter(signal, step, rate, TFilterKind::HighPass);
    else if (k == "bandpass") ApplyFilter(signal, step, rate, TFilterKind::BandPass);
    else if (k == "notch") ApplyFilter(signal, step, rate, TFilterKind::Notch);
    else if (k == "peak") ApplyFilter(signal, step, rate, TFilterKind::Peak);
    else if (k == "drive") {
        step.ExpectArgs(1, 1);
        const double amount = std::max(0.01, step.Value(0));
        const double norm = 1.0 / std::tanh(amount);
        for (double& s : signal) s = std::tanh(amount * s) * norm;
    } else if (k == "tremolo") {
        // "tremolo RATE DEPTH [sine|saw|pulse]": saw gives a chop that hits and fades.
        step.ExpectArgs(2, 3);
        const TCurve rateCurve = TCurve(step.Value(0));
        const double depth = std::clamp(step.Value(1), 0.0, 1.0);
        const std::string shape = step.ArgCount() > 2 ? step.Arg(2) : "sine";
        if (shape != "sine" && shape != "saw" && shape != "pulse") step.Fail("unknown tremolo shape '" + shape + "'");
        double phase = 0;
        for (size_t i = 0; i < signal.size(); ++i) {
            double lfo = 0;
            if (shape == "sine") lfo = 0.5 + 0.5 * std::cos(2 * Pi * phase);
            else if (shape == "saw") lfo = std::pow(1.0 - phase, 2.0);
            else lfo = phase < 0.35 ? 1.0 : 0.0;
            signal[i] *= 1.0 - depth * (1.0 - lfo);
            phase += rateCurve.At(timeOf(i)) / rate;
            phase -= std::floor(phase);
        }
    } else if (k == "ringmod") {
        step.ExpectArgs(2, 2);
        const double f = step.Value(0), mix = std::clamp(step.Value(1), 0.0, 1.0);
        for (size_t i = 0; i < signal.size(); ++i)
            signal[i] *= (1.0 - mix) + mix * std::sin(2 * Pi * f * timeOf(i));
    } else if (k == "echo") {
        // "echo DELAY FEEDBACK MIX": a darkening slap-back.
        step.ExpectArgs(3, 3);
        const size_t delay = std::max<size_t>(1, Samples(std::min(step.Value(0), 2.0), rate));
        const double feedback = std::clamp(step.Value(1), 0.0, 0.95), mix = step.Value(2);
        std::vector<double> line(delay, 0.0);
        size_t pos = 0;
        double tone = 0;
        for (double& s : signal) {
            const double delayed = line[pos];
            tone += 0.45 * (delayed - tone);
            line[pos] = s + feedback * tone;
            if (++pos == delay) pos = 0;
            s += mix * tone;
        }
    } else if (k == "exciter") {
        // "exciter FREQ MIX": overtones of the band above FREQ, an octave and
        // more up, for air a narrow-band source (a 16 kHz voice) lacks. The
        // band times its own magnitude over its envelope keeps its level.
        step.ExpectArgs(2, 2);
        const double from = step.Value(0), mix = step.Value(1);
        TStateVariableFilter band1(TFilterKind::HighPass, rate), band2(TFilterKind::HighPass, rate);
        TStateVariableFilter top1(TFilterKind::HighPass, rate), top2(TFilterKind::HighPass, rate);
        const double top = std::min(from * 2, rate * 0.45);
        const double follow = 1 - std::exp(-1.0 / (rate * 0.002));
        double envelope = 0;
        for (double& s : signal) {
            const double band = band2.Process(band1.Process(s, from, 0.707), from, 0.707);
            envelope += follow * (std::abs(band) - envelope);
            const double overtone = band * std::abs(band) / (envelope + 1e-4);
            s += mix * top2.Process(top1.Process(overtone, top, 0.707), top, 0.707);
        }
    } else if (k == "reverb") {
        step.ExpectArgs(3, 3);
        TReverb reverb(rate, step.Value(0), step.Value(1));
        const double mix = step.Value(2);
        for (double& s : signal) s += mix * reverb.Process(s);
    } else if (k == "compress") {
        // "compress THRESHOLD_DB RATIO [ATTACK_MS RELEASE_MS]", with makeup to the threshold.
        step.ExpectArgs(2, 4);
        const double threshold = step.Value(0), ratio = std::max(1.0, step.Value(1));
        const double attack = std::exp(-1.0 / (rate * std::max(0.01, step.ValueOr(2, 2)) / 1000.0));
        const double release = std::exp(-1.0 / (rate * std::max(0.01, step.ValueOr(3, 80)) / 1000.0));
        double envelope = 0;
        for (double& s : signal) {
            const double level = std::abs(s);
            envelope = level > envelope ? attack * envelope + (1 - attack) * level : release * envelope + (1 - release) * level;
            const double overDb = GainToDb(envelope) - threshold;
            if (overDb > 0) s *= DbToGain(-overDb * (1.0 - 1.0 / ratio));
        }
    } else if (k == "delay") {
        step.ExpectArgs(1, 1);
        const size_t shift = std::min(signal.size(), Samples(step.Value(0), rate));
        signal.insert(signal.begin(), shift, 0.0);
        signal.resize(signal.size() - shift);
    } else {
        step.Fail("unknown step '" + k + "'");
    }
}

TSignal RenderPatch(const TPatch& patch, const TRenderOptions& options)
{
    const double rate = patch.Rate;
    const size_t total = Samples(patch.Length + options.ExtraLength, rate);
    TSignal mix(total, 0.0);
    for (size_t layerIndex = 0; layerIndex < patch.Layers.size(); ++layerIndex) {
        const TLayer& layer = patch.Layers[layerIndex];
        const TSourceParams p = GatherParams(layer, options);
        // The same for every layer, so layers that repeat alike stay together.
        TRandom placement(patch.Seed ^ 0x51ED270B27ull);
        for (int hit = 0; hit < p.Repeat; ++hit) {
            double start = p.At + hit * p.Interval + p.RepeatJitter * placement.Signed();
            start = std::max(0.0, start);
            const size_t startSample = Samples(start, rate);
            if (startSample >= total) break;
            size_t length = total - startSample;
            if (p.Duration) length = std::min(length, Samples(*p.Duration, rate));
            const double pitch = std::pow(2.0, p.VaryCents * placement.Signed() / 1200.0);
            const double level = DbToGain(p.VaryDb * placement.Signed());
            TRandom random(patch.Seed + 0x9E37ull * (layerIndex + 1) + 0x7F4Bull * static_cast<uint64_t>(hit + 1));
            TSignal sound = RenderSource(layer.Source, p, length, rate, pitch, random);
            for (const TLine& step : layer.Steps)
                if (!IsSourceParam(step.Keyword())) ApplyStep(sound, step, rate);
            for (size_t i = 0; i < sound.size() && startSample + i < total; ++i) mix[startSample + i] += level * sound[i];
        }
    }
    for (const TLine& step : patch.Master) ApplyStep(mix, step, rate);
    return mix;
}
