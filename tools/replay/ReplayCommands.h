// SPDX-License-Identifier: GPL-3.0-or-later
// The commands of zarvenok-replay, and the one check of zarvenok-verifier.
#pragma once

#include <filesystem>
#include <iosfwd>
#include <string>
#include <vector>

// Runs one command line (without the program name) with the game's
// libraries in `dataFolder`. Returns the exit status: 0 done (verified), 1
// a replay that does not verify, 2 a file that cannot be read or checked
// here, or a usage error.
int RunReplayTool(const std::vector<std::string>& args, const std::filesystem::path& dataFolder, std::ostream& out,
                  std::ostream& err);

const char* ReplayToolUsage();

// The verifier's one check of a replay's bytes, as a server runs it: one
// line on `out` and the exit status. 0 "verified: ..." (the game ended in a
// game over with the claimed result), 1 "desync at frame F" or "result
// differs: ...", 2 "refused: REASON", 3 "unsupported version: VERSION".
int VerifyReplayBytes(const std::vector<uint8_t>& bytes, const std::filesystem::path& dataFolder, std::ostream& out);
