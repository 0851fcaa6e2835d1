// SPDX-License-Identifier: GPL-3.0-or-later
// The score server's verification of one golden game as a worker does it:
// the server's checks and the verifier program in its child process, with
// the limits. "games_5min_per_core_minute" is how many games of five
// minutes one core verifies in a minute (the goal is at least 200); the
// child does the work, so the time is the wall clock's.
#include "JobCheck.h"
#include "ReplayFile.h"

#include <benchmark/benchmark.h>

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
    for (auto _ : state) {
        const TJobResult result = CheckJob(job, {REAL_VERIFIER}, limits);
        if (!result.Settled || result.Outcome.State != ScoreState::Verified) {
            state.SkipWithError((result.Outcome.Detail + result.Why).c_str());
            break;
        }
    }
    state.counters["game_minutes"] = header.GameTimeMs / 60000.0;
    state.counters["games_5min_per_core_minute"] = benchmark::Counter(
        header.GameTimeMs / 300000.0 * 60, benchmark::Counter::kIsIterationInvariantRate);
}

} // namespace

BENCHMARK(BM_VerifyGoldenGame)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(5.0);
