// SPDX-License-Identifier: GPL-3.0-or-later
// The checks of a job, in order: the header, the time the game can have
// taken, the re-run.
#include "JobCheck.h"

#include "ReplayError.h"
#include "ReplayFile.h"

namespace {

// Seconds of slack between the clocks of the token's issue and the
// submission and the game's own.
constexpr int64_t ClockSlackMs = 2000;

TJobResult Settle(std::string_view state, std::string detail)
{
    TJobResult result;
    result.Settled = true;
    result.Outcome.State = std::string(state);
    result.Outcome.Detail = DetailText(detail);
    return result;
}

TJobResult Refuse(const std::string& reason)
{
    return Settle(ScoreState::Refused, "refused: " + reason);
}

bool FramesTooFast(int64_t frames, int64_t gameTimeMs)
{
    return frames > gameTimeMs / GameFramePeriodMs + 1;
}

// The re-run by the verifiers, adding their processor time to `cpu`.
TJobResult Rerun(const TVerifyJob& job, const TReplayHeader& header, const std::vector<std::string>& verifiers,
                 const TVerifierLimits& limits, std::chrono::milliseconds& cpu)
{
    TJobResult result;
    for (std::size_t i = 0; i < verifiers.size(); ++i) {
        const TVerifierRun run = RunVerifier(verifiers[i], job.Replay, limits);
        cpu += run.Cpu;
        if (run.End == TVerifierRun::EEnd::TimedOut)
            return Settle(ScoreState::TimedOut, "time-out: " + run.Why);
        if (run.End == TVerifierRun::EEnd::Broke) {
            result.Why = run.Why;
            return result;
        }
        const TVerifierLine line = ReadVerifierLine(run.Line, run.ExitStatus);
        if (!line.Ok) {
            result.Why = "the verifier said \"" + DetailText(run.Line) + "\" with status " + std::to_string(run.ExitStatus);
            return result;
        }
        if (line.Outcome.State == ScoreState::Unsupported && i + 1 < verifiers.size())
            continue;
        if (line.Outcome.State != ScoreState::Verified) {
            result.Settled = true;
            result.Outcome = line.Outcome;
            return result;
        }
        if (line.Score != job.Score)
            return Settle(ScoreState::Differs, "result differs: claimed " + std::to_string(job.Score) + ", replayed " +
                                                   std::to_string(line.Score));
        if (FramesTooFast(line.Frames, header.GameTimeMs))
            return Refuse(std::to_string(line.Frames) + " frames re-run in " + std::to_string(header.GameTimeMs) +
                          " ms come faster than the game runs");
        result = Settle(ScoreState::Verified, "verified");
        result.Outcome.Level = line.Level;
        result.Outcome.GameTimeMs = header.GameTimeMs;
        return result;
    }
    result.Why = "no verifier is set";
    return result;
}

} // namespace

TJobResult CheckJob(const TVerifyJob& job, const std::vector<std::string>& verifiers, const TVerifierLimits& limits)
{
    TReplayHeader header;
    try {
        header = ReadReplayHeader(std::span<const uint8_t>(job.Replay));
    } catch (const EReplayError& e) {
        return Refuse(e.what());
    }
    if (header.PlayerName != job.Name)
        return Refuse("the replay is of the player \"" + header.PlayerName + "\", the score of " + job.Name);
    if (job.TokenIssuedAt) {
        const int64_t sinceToken = (job.SubmittedAt - *job.TokenIssuedAt) * 1000;
        if (int64_t{header.GameTimeMs} > sinceToken + ClockSlackMs)
            return Refuse("the game took " + std::to_string(header.GameTimeMs / 1000) + " s, but its token was issued " +
                          std::to_string(sinceToken / 1000) + " s before the score came");
    }
    if (FramesTooFast(header.Frames, header.GameTimeMs))
        return Refuse(std::to_string(header.Frames) + " frames in " + std::to_string(header.GameTimeMs) +
                      " ms come faster than the game runs");

    std::chrono::milliseconds cpu{0};
    TJobResult result = Rerun(job, header, verifiers, limits, cpu);
    result.VerifierCpu = cpu;
    return result;
}
