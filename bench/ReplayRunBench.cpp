// SPDX-License-Identifier: GPL-3.0-or-later
// Playing a whole recorded game again, headless, with and without drawing:
// the check a score server runs and zarvenok-replay's timedemo. The counter
// "x_real_time" is game time over run time; the goals are 1000 without
// drawing and 100 with it.
#include "HeadlessGame.h"
#include "ReplayCheck.h"
#include "ReplayFile.h"
#include "Unit1.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <memory>

namespace {

void CheckGolden(benchmark::State& state, const char* name, bool draw)
{
    const TReplay replay = ReadReplayFile(std::filesystem::path(ZARVENOK_GOLDEN_DIR) / name);
    double runSeconds = 0.0;
    for (auto _ : state) {
        // Starting and ending the game (loading the libraries) is not timed.
        state.PauseTiming();
        auto game = std::make_unique<THeadlessGame>(ZARVENOK_BUILD_DIR, draw, replay.Header.StartClock);
        state.ResumeTiming();
        const auto start = std::chrono::steady_clock::now();
        const TReplayVerdict verdict = CheckReplay(game->Form(), replay);
        runSeconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        state.PauseTiming();
        game.reset();
        state.ResumeTiming();
        if (verdict.Kind != TReplayVerdict::TKind::Verified) state.SkipWithError(verdict.Line().c_str());
    }
    state.counters["frames"] = replay.Header.Frames;
    state.counters["x_real_time"] = runSeconds > 0 ? replay.Header.GameTimeMs / 1000.0 * state.iterations() / runSeconds : 0.0;
}

// A game over at level 4 after 3.9 minutes, and a practised player's game
// over at level 7 after 13.5 minutes, with the crowded levels of a long game.
void BM_ReplayNoDraw(benchmark::State& state) { CheckGolden(state, "game_over_a.zrp", false); }
void BM_ReplayDraw(benchmark::State& state) { CheckGolden(state, "game_over_a.zrp", true); }
void BM_LongReplayNoDraw(benchmark::State& state) { CheckGolden(state, "long_game.zrp", false); }
void BM_LongReplayDraw(benchmark::State& state) { CheckGolden(state, "long_game.zrp", true); }

} // namespace

BENCHMARK(BM_ReplayNoDraw)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReplayDraw)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LongReplayNoDraw)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LongReplayDraw)->Unit(benchmark::kMillisecond);
