// SPDX-License-Identifier: GPL-3.0-or-later
// A made-up minute of play recorded as the game would: a 1000 Hz mouse
// aiming at target after target (quick, smooth sweeps that overshoot a
// little and correct, with the hand's tremor while it rests on a target),
// a click on most targets, the frame clock every 30 ms, two message timers
// once a second, a state check every 33 frames and a few keys.
#pragma once

#include "ReplayFile.h"

#include <cstdint>

enum class TMotion {
    Realistic,   // sweeps and rests
    // Never at rest, and a move every millisecond even when the pointer
    // stays on its pixel (as a window scaled up sends them): the worst case.
    Continuous,
};

TReplay SyntheticPlay(uint32_t seed, TMotion motion, uint32_t milliseconds = 60000);
