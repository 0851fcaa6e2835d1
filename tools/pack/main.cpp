// SPDX-License-Identifier: GPL-3.0-or-later
// zarvenok-pack entry point.
#include "PackCommands.h"

#include <iostream>
#include <string>
#include <vector>

int main(int argc, char** argv)
{
    std::vector<std::string> args(argv + 1, argv + argc);
    return RunPack(args, std::cout, std::cerr);
}
