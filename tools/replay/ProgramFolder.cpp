// SPDX-License-Identifier: GPL-3.0-or-later
#include "ProgramFolder.h"

#include <system_error>

std::filesystem::path ProgramFolder(const char* argv0)
{
    std::error_code error;
    std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error) program = std::filesystem::absolute(argv0 != nullptr ? argv0 : "", error);
    return program.parent_path();
}
