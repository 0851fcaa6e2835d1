// SPDX-License-Identifier: GPL-3.0-or-later
// Replays: the size of a minute of play with a 1000 Hz mouse (the goal is
// at most 32 KiB), and the time to record, write and read one. The sizes are
// the counters file_bytes (the ".zrp" file) and record_bytes (before zlib).
#include "ReplayFile.h"
#include "SyntheticPlay.h"

#include <benchmark/benchmark.h>

namespace {

void SizeCounters(benchmark::State& state, const TReplay& replay, size_t fileBytes)
{
    state.counters["file_bytes"] = static_cast<double>(fileBytes);
    state.counters["record_bytes"] = static_cast<double>(replay.Records.Bytes().size());
    state.counters["records"] = static_cast<double>(replay.Records.Count());
}

void RecordAndEncodeAMinute(benchmark::State& state)
{
    const auto motion = static_cast<TMotion>(state.range(0));
    size_t fileBytes = 0;
    for (auto _ : state) {
        const TReplay replay = SyntheticPlay(11, motion);
        fileBytes = EncodeReplay(replay).size();
        benchmark::DoNotOptimize(fileBytes);
    }
    SizeCounters(state, SyntheticPlay(11, motion), fileBytes);
}
BENCHMARK(RecordAndEncodeAMinute)->ArgName("continuous")->Arg(static_cast<int>(TMotion::Realistic))->Arg(static_cast<int>(TMotion::Continuous))->Unit(benchmark::kMillisecond);

void DecodeAndWalkAMinute(benchmark::State& state)
{
    const TReplay replay = SyntheticPlay(11, static_cast<TMotion>(state.range(0)));
    const std::vector<uint8_t> bytes = EncodeReplay(replay);
    for (auto _ : state) {
        const TReplay back = DecodeReplay(bytes);
        int64_t sum = 0;
        for (const TReplayRecord& record : back.Records) sum += record.X;
        benchmark::DoNotOptimize(sum);
    }
    SizeCounters(state, replay, bytes.size());
}
BENCHMARK(DecodeAndWalkAMinute)->ArgName("continuous")->Arg(static_cast<int>(TMotion::Realistic))->Arg(static_cast<int>(TMotion::Continuous))->Unit(benchmark::kMillisecond);

} // namespace
