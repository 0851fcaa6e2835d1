// The commands of zarvenok-replay.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

// Runs one command line (without the program name). Returns the exit
// status: 0 done, 2 a file that cannot be read or a usage error.
int RunReplayTool(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

const char* ReplayToolUsage();
