// SPDX-License-Identifier: GPL-3.0-or-later
// Whole-file reading for the library loaders.
#include "FileData.h"

#include "EngineErrors.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

std::vector<uint8_t> ReadFileData(const std::string& fileName)
{
    std::FILE* file = std::fopen(fileName.c_str(), "rb");
    if (file == nullptr)
        throw EFOpenError(FormatMessage("Cannot open file \"%s\". %s", fileName.c_str(), std::strerror(errno)));
    std::vector<uint8_t> data;
    uint8_t buffer[65536];
    size_t got;
    while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0) data.insert(data.end(), buffer, buffer + got);
    const bool failed = std::ferror(file) != 0;
    const int error = errno;
    std::fclose(file);
    if (failed) throw EFOpenError(FormatMessage("Cannot open file \"%s\". %s", fileName.c_str(), std::strerror(error)));
    return data;
}
