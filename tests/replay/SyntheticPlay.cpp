// SPDX-License-Identifier: GPL-3.0-or-later
// A made-up minute of play, recorded.
#include "SyntheticPlay.h"

#include "ReplayRecorder.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <random>

namespace {

class TRandom {
public:
    explicit TRandom(uint32_t seed) : Engine_(seed) {}
    // Uniform in [low, high), the same on every standard library.
    double Between(double low, double high) { return low + (high - low) * (Engine_() / 4294967296.0); }

private:
    std::mt19937 Engine_;
};

// Where a minimum-jerk sweep from a to b is at fraction s of its time.
double MinimumJerk(double a, double b, double s)
{
    return a + (b - a) * (10 * s * s * s - 15 * s * s * s * s + 6 * s * s * s * s * s);
}

struct TSweep {
    double FromX, FromY, ToX, ToY;
    uint32_t Start, Duration;
};

} // namespace

TReplay SyntheticPlay(uint32_t seed, TMotion motion, uint32_t milliseconds)
{
    TRandom random(seed);
    const uint32_t startClock = 0xFFFF0000u + seed;  // wraps during the minute
    TReplayRecorder recorder(startClock);

    double x = 400, y = 300;
    TSweep sweep{x, y, x, y, 0, 1};
    uint32_t restUntil = 0;
    bool correcting = false;
    double aimX = x, aimY = y;
    uint32_t pressAt = UINT32_MAX, releaseAt = UINT32_MAX;
    int lastX = 400, lastY = 300;
    uint32_t lastFrame = 0, nextTimer = 1000;
    const double tremorPhase = random.Between(0, 2 * std::numbers::pi);
    double driftX = 0, driftY = 0;

    for (uint32_t t = 0; t < milliseconds; ++t) {
        const uint32_t now = startClock + t;
        const uint32_t sweepEnd = sweep.Start + sweep.Duration;
        if (t >= sweepEnd && t >= restUntil) {
            if (!correcting) {
                // The main sweep lands a little off; a short correction follows.
                aimX = random.Between(40, 760);
                aimY = random.Between(60, 540);
                const double missX = (aimX - x) * random.Between(-0.08, 0.08);
                const double missY = (aimY - y) * random.Between(-0.08, 0.08);
                sweep = {x, y, aimX + missX, aimY + missY, t, static_cast<uint32_t>(random.Between(120, 450))};
                correcting = true;
            } else {
                sweep = {x, y, aimX, aimY, t, static_cast<uint32_t>(random.Between(80, 150))};
                correcting = false;
                const uint32_t rest = motion == TMotion::Realistic ? static_cast<uint32_t>(random.Between(150, 900)) : 0;
                restUntil = t + sweep.Duration + rest;
                if (random.Between(0, 1) < 0.8) {
                    pressAt = t + sweep.Duration + static_cast<uint32_t>(random.Between(20, 80));
                    releaseAt = pressAt + static_cast<uint32_t>(random.Between(60, 120));
                }
            }
        }
        const double s = std::min(1.0, static_cast<double>(t - sweep.Start) / sweep.Duration);
        x = MinimumJerk(sweep.FromX, sweep.ToX, s);
        y = MinimumJerk(sweep.FromY, sweep.ToY, s);
        // Tremor: about 9 Hz and under a pixel, with a slow wander.
        driftX = std::clamp(driftX + random.Between(-0.05, 0.05), -1.5, 1.5);
        driftY = std::clamp(driftY + random.Between(-0.05, 0.05), -1.5, 1.5);
        const double tremor = 0.6 * std::sin(2 * std::numbers::pi * 9 * t / 1000.0 + tremorPhase);
        const double px = x + tremor + driftX;
        const double py = y + 0.7 * tremor + driftY;
        const int ix = static_cast<int>(std::lround(px));
        const int iy = static_cast<int>(std::lround(py));

        TInputEvent event;
        if (ix != lastX || iy != lastY || motion == TMotion::Continuous) {
            event.Kind = TInputEvent::TKind::MouseMove;
            event.X = lastX = ix;
            event.Y = lastY = iy;
            recorder.Event(now, event);
        }
        if (t == pressAt || t == releaseAt) {
            event.Kind = t == pressAt ? TInputEvent::TKind::MouseDown : TInputEvent::TKind::MouseUp;
            event.X = ix;
            event.Y = iy;
            recorder.Event(now, event);
        }
        if (t % 20000 == 10000) {
            event.Kind = TInputEvent::TKind::KeyDown;
            event.Key = 'P';
            recorder.Event(now, event);
        }
        if (t >= nextTimer) {
            recorder.Timer(now, 1);
            recorder.Timer(now, 3);
            nextTimer += 1000;
        }
        if (t - lastFrame >= 30) {
            lastFrame = t;
            if (recorder.Frame(now)) recorder.StateCheck(now, static_cast<uint32_t>(random.Between(0, 4294967296.0)));
        }
    }
    TReplayHeader header;
    header.GameVersion = "0.1.0";
    header.PlayerName = "SYNTHETIC";
    header.Score = 1234;
    header.Level = 2;
    return recorder.Finish(startClock + milliseconds, header);
}
