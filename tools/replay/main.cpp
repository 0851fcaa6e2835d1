// zarvenok-replay entry point.
#include "ReplayCommands.h"

#include <iostream>
#include <string>
#include <vector>

int main(int argc, char** argv)
{
    const std::vector<std::string> args(argv + 1, argv + argc);
    return RunReplayTool(args, std::cout, std::cerr);
}
