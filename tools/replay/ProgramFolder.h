// SPDX-License-Identifier: GPL-3.0-or-later
// The folder of the running program, wherever it was started from.
#pragma once

#include <filesystem>

std::filesystem::path ProgramFolder(const char* argv0);
