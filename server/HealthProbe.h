// SPDX-License-Identifier: GPL-3.0-or-later
// The server asking itself, over HTTP, whether it is healthy: the whole
// way a client's request goes, not just the database.
#pragma once

#include <chrono>
#include <cstdint>
#include <string>

struct THealth {
    int Status = 0;      // the HTTP status; 0 when no reply came
    std::string Detail;  // the reply's first line, or why there was none
};

// GET /health on `address` (numeric; an unspecified one means loopback).
THealth ProbeHealth(const std::string& address, uint16_t port, std::chrono::milliseconds timeout);
