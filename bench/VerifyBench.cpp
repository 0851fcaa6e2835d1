// SPDX-License-Identifier: GPL-3.0-or-later
// The score server's verification of one golden game as a worker does it:
// the server's checks and the verifier program in its child process, with
// the limits. "games_5min_per_core_minute" is how many games of five
// minutes one core verifies in a minute of its processor time (the goal is
// at least 200), counted by the children's own time so that a busy machine
// does not lower it; "..._wall" is the same by the wall clock.
#include "JobCheck.h"
#include "ReplayFile.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace {

void BM_VerifyGoldenGame(benchmark::State& state)
{
    const std::filesystem::path file = std::filesystem::path(ZARVENOK_GOLDEN_DIR) / "game_over_a.zrp";
    std::ifstream in(file, std::ios::binary);
    TVerifyJob job;
    job.Replay.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    const TReplayHeader header = ReadReplayHeader(std::span<const uint8_t>(job.Replay));
    job.Name = header.PlayerName;
    job.Score = header.Score;
    job.SubmittedAt = 2'000'000'000;
    job.TokenIssuedAt = job.SubmittedAt - header.GameTimeMs / 1000 - 10;
    const TVerifierLimits limits;
    double seconds = 0;
    double cpuSeconds = 0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        const TJobResult result = CheckJob(job, {REAL_VERIFIER}, limits);
        seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        cpuSeconds += std::chrono::duration<double>(result.VerifierCpu).count();
        if (!result.Settled || result.Outcome.State != ScoreState::Verified) {
            state.SkipWithError((result.Outcome.Detail + result.Why).c_str());
            break;
        }
    }
    state.counters["game_minutes"] = header.GameTimeMs / 60000.0;
    const double games = header.GameTimeMs / 300000.0 * static_cast<double>(state.iterations());
    state.counters["games_5min_per_core_minute"] = cpuSeconds > 0 ? games / cpuSeconds * 60 : 0.0;
    state.counters["games_5min_per_core_minute_wall"] = seconds > 0 ? games / seconds * 60 : 0.0;
}

} // namespace

BENCHMARK(BM_VerifyGoldenGame)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(5.0);
