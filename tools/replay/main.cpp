// SPDX-License-Identifier: GPL-3.0-or-later
// zarvenok-replay entry point.
#include "HeadlessGame.h"
#include "ProgramFolder.h"
#include "ReplayCommands.h"

#include <iostream>
#include <string>
#include <vector>

int main(int argc, char** argv)
{
    std::vector<std::string> args(argv + 1, argv + argc);
    std::filesystem::path data = GameDataFolder(ProgramFolder(argv[0]), ZARVENOK_INSTALLED_DATA);
    if (args.size() >= 2 && args[0] == "--data") {
        data = args[1];
        args.erase(args.begin(), args.begin() + 2);
    }
    return RunReplayTool(args, data, std::cout, std::cerr);
}
