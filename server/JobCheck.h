// SPDX-License-Identifier: GPL-3.0-or-later
// Verifying one job: the server's own checks of the replay's header against
// the submitted record and the token's age, then the re-run by the
// verifier program in a child process, and the re-run's result against the
// record.
#pragma once

#include "Verification.h"
#include "VerifierProcess.h"

#include <chrono>
#include <string>
#include <vector>

// The game's frame clock: no two frames come closer than this.
inline constexpr int64_t GameFramePeriodMs = 30;

struct TJobResult {
    bool Settled = false;   // false: the verifier broke on it; try again
    TVerifyOutcome Outcome;  // when settled
    std::string Why;         // when not
    std::chrono::milliseconds VerifierCpu{0};  // the verifier's processor time
};

// `verifiers` are tried in turn while one says the replay's version is not
// its own: one per game version the server supports.
TJobResult CheckJob(const TVerifyJob& job, const std::vector<std::string>& verifiers, const TVerifierLimits& limits);
