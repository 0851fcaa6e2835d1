// SPDX-License-Identifier: GPL-3.0-or-later
// What verifying a score by its replay can come to, as stored with the
// score and shown in the table, and the verifier program's one line of
// output read into it.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// A score's state. Scores come in unverified; an uploaded replay makes them
// pending until a worker settles them.
namespace ScoreState {
inline constexpr std::string_view Unverified = "unverified";
inline constexpr std::string_view Pending = "pending";
inline constexpr std::string_view Verified = "verified";
inline constexpr std::string_view Differs = "differs";      // the re-run's result is not the claimed one
inline constexpr std::string_view Desync = "desync";        // the re-run left the recording at a frame
inline constexpr std::string_view Refused = "refused";      // the file or its claims cannot be right
inline constexpr std::string_view Unsupported = "unsupported";  // no verifier knows its version
inline constexpr std::string_view TimedOut = "timeout";     // the re-run ran past its limits
inline constexpr std::string_view Failed = "failed";        // the verifier broke on it three times
} // namespace ScoreState

// A settled verification. Detail is the outcome in words ("desync at frame
// 120", "refused: not a replay file"); Level and GameTimeMs come with a
// verified score.
struct TVerifyOutcome {
    std::string State;
    std::string Detail;
    std::optional<int64_t> Level;
    std::optional<int64_t> GameTimeMs;
};

// What the verifier said about one replay: the outcome, with the re-run's
// score, level and frames when it was verified.
struct TVerifierLine {
    bool Ok = false;  // false: not a line of the verifier's
    TVerifyOutcome Outcome;
    int64_t Score = 0;
    int64_t Level = 0;
    int64_t Frames = 0;
};

// Reads "verified: score S, level L, frames F", "desync at frame F",
// "result differs: claimed S1, replayed S2", "refused: REASON" or
// "unsupported version: VERSION" with the exit status that goes with it.
TVerifierLine ReadVerifierLine(std::string_view line, int exitStatus);

// `text` fit to keep and show: printable ASCII ("?" for other bytes), at
// most a line's length.
std::string DetailText(std::string_view text);

// A job as a worker takes it: the submitted record and the replay's bytes.
struct TVerifyJob {
    int64_t ScoreId = 0;
    int Attempts = 0;  // this one included
    std::string Name;
    int64_t Score = 0;
    int64_t SubmittedAt = 0;
    std::optional<int64_t> TokenIssuedAt;
    std::vector<uint8_t> Replay;
};

// Jobs are tried this often before they are marked failed.
inline constexpr int MaxVerifyAttempts = 3;
