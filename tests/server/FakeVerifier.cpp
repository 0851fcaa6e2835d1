// SPDX-License-Identifier: GPL-3.0-or-later
// A stand-in for the verifier program that keeps its contract (a replay on
// standard input, one line out, the exit status that goes with it) and
// misbehaves on request: the replay's player name says how. Lets the tests
// drive the server's isolation, queue and outcomes without re-running games.
//   CRASH    aborts           HANG     stops reading and never ends
//   SPIN     burns processor  BOMB     allocates without end
//   CHATTER  writes for ever  DESYNC   "desync at frame 42"
//   OLDER    "unsupported version: 0.9"
//   SLOW     takes 3 s, then verifies
//   anything else: verified with the header's claims.
#include "ReplayError.h"
#include "ReplayFile.h"

#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string.h>
#include <thread>
#include <vector>

int main()
{
    std::vector<uint8_t> bytes;
    uint8_t buffer[65536];
    for (ssize_t got = ::read(0, buffer, sizeof buffer); got > 0; got = ::read(0, buffer, sizeof buffer)) {
        bytes.insert(bytes.end(), buffer, buffer + got);
        // HANG reads no more once its name has come (the first read brings
        // the header), so a server writing a large replay to it must not block.
        if (::memmem(bytes.data(), bytes.size(), "HANG", 4) != nullptr)
            for (;;)
                ::pause();
    }
    TReplayHeader header;
    try {
        header = ReadReplayHeader(std::span<const uint8_t>(bytes));
    } catch (const EReplayError& e) {
        std::printf("refused: %s\n", e.what());
        return 2;
    }
    const std::string& name = header.PlayerName;
    if (name == "CRASH")
        std::abort();
    if (name == "SPIN") {
        std::atomic<uint64_t> n{0};
        for (;;)
            n.fetch_add(1, std::memory_order_relaxed);
    }
    if (name == "BOMB") {
        std::vector<char*> blocks;
        for (;;) {
            char* block = new char[16 << 20];
            std::memset(block, 1, 16 << 20);
            blocks.push_back(block);
        }
    }
    if (name == "CHATTER")
        for (;;)
            std::fputs("verified: score 1, level 1, frames 1\n", stdout);
    if (name == "DESYNC") {
        std::puts("desync at frame 42");
        return 1;
    }
    if (name == "OLDER") {
        std::puts("unsupported version: 0.9");
        return 3;
    }
    if (name == "SLOW")
        std::this_thread::sleep_for(std::chrono::seconds(3));
    std::printf("verified: score %d, level %d, frames %u\n", header.Score, header.Level, header.Frames);
    return 0;
}
