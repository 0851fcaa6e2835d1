// SPDX-License-Identifier: GPL-3.0-or-later
// The error a replay file is refused with: its message says what is wrong
// with the file, for the player or the tool to show as it is.
#pragma once

#include <stdexcept>

class EReplayError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};
