// SPDX-License-Identifier: GPL-3.0-or-later
// A log line at most once a second, with a count of those left out: a
// database that is away fails every request, and an attack makes the HTTP
// library complain about every connection, yet the log should stay readable.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>

class TQuietLog {
public:
    explicit TQuietLog(std::string prefix) : Prefix(std::move(prefix)) {}
    void Say(const std::string& line);

private:
    const std::string Prefix;
    std::atomic<int64_t> LastSecond{-1};
    std::atomic<int64_t> Quiet{0};
};
