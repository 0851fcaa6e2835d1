// SPDX-License-Identifier: GPL-3.0-or-later
// zarvenok-sim entry point: zarvenok-sim [SCRIPT] (standard input without one).
#include "Simulator.h"

#include <fstream>
#include <iostream>

int main(int argc, char** argv)
{
    if (argc > 2) {
        std::cerr << "usage: zarvenok-sim [SCRIPT]\n";
        return 2;
    }
    TSimulator simulator;
    if (argc == 2) {
        std::ifstream script(argv[1]);
        if (!script) {
            std::cerr << "zarvenok-sim: cannot open \"" << argv[1] << "\"\n";
            return 2;
        }
        return simulator.Run(script, std::cout, std::cerr);
    }
    return simulator.Run(std::cin, std::cout, std::cerr);
}
