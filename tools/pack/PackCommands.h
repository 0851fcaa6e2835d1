// SPDX-License-Identifier: GPL-3.0-or-later
// The commands of zarvenok-pack: list, extract and build.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

// Runs one command line (without the program name). Returns the exit
// status: 0 done, 1 the library's or the file system's error, 2 usage.
int RunPack(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

// The help text, with the manifest format.
const char* PackUsage();
