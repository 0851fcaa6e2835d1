// SPDX-License-Identifier: GPL-3.0-or-later
// zarvenok-verifier: checks one replay read from standard input and says
// what came of it in one line, for a score server that runs it in a child
// process of its own. "--data DIR" names the game's libraries; without it,
// they are the ones beside it in a build tree, or the score server's copy
// where the server's package installs them.
#include "HeadlessGame.h"
#include "ProgramFolder.h"
#include "ReplayCommands.h"
#include "ReplayFile.h"

#include <cstdio>
#include <iostream>
#include <string>
#include <vector>

int main(int argc, char** argv)
{
    std::filesystem::path data = GameDataFolder(ProgramFolder(argv[0]), ZARVENOK_VERIFIER_DATA);
    if (argc == 3 && std::string(argv[1]) == "--data") {
        data = argv[2];
    } else if (argc != 1) {
        std::cerr << "usage: zarvenok-verifier [--data DIR] < REPLAY\n";
        return 2;
    }
    // No more than a replay may hold, and a byte more to tell a larger one.
    std::vector<uint8_t> bytes;
    bytes.reserve(64 * 1024);
    char chunk[65536];
    size_t got = 0;
    while ((got = std::fread(chunk, 1, sizeof chunk, stdin)) > 0) {
        bytes.insert(bytes.end(), chunk, chunk + got);
        if (bytes.size() > MaxReplayFileSize) {
            std::cout << "refused: the replay is larger than " << MaxReplayFileSize << " bytes\n";
            return 2;
        }
    }
    return VerifyReplayBytes(bytes, data, std::cout);
}
