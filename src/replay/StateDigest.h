// SPDX-License-Identifier: GPL-3.0-or-later
// The 32-bit digest of the game's state that a replay checks every few
// frames: a replay that drifts from the recorded game shows at the first
// check that differs. The game fills the plain values; sprites in the order
// the game walks them, so a changed order is a change of state too.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct TSpritePlace {
    std::string ClassName;
    double X = 0.0;
    double Y = 0.0;
};

struct TStateValues {
    int32_t Score = 0;
    int32_t Lives = 0;
    int32_t Health = 0;
    int32_t Level = 0;
    uint64_t Generator = 0;  // the random generator's whole state
    std::vector<TSpritePlace> Sprites;
};

// CRC-32 of the values laid out little-endian, each class name with its
// length, positions by their exact bits: the same state gives the same
// digest on every machine.
uint32_t StateDigest(const TStateValues& values);
