// SPDX-License-Identifier: GPL-3.0-or-later
// Whole-file reading for the library loaders.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Reads a file into memory; raises EFOpenError "Cannot open file "%s". %s"
// when it cannot be opened or read.
std::vector<uint8_t> ReadFileData(const std::string& fileName);
