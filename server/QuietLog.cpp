// SPDX-License-Identifier: GPL-3.0-or-later
// Rate-limited lines on stderr.
#include "QuietLog.h"

#include <chrono>
#include <cstdio>

void TQuietLog::Say(const std::string& line)
{
    const auto second = std::chrono::duration_cast<std::chrono::seconds>(
                            std::chrono::steady_clock::now().time_since_epoch())
                            .count();
    int64_t last = LastSecond.load();
    if (second == last || !LastSecond.compare_exchange_strong(last, second)) {
        ++Quiet;
        return;
    }
    std::string text = line;
    while (!text.empty() && (text.back() == '\n' || text.back() == ' '))
        text.pop_back();
    const int64_t skipped = Quiet.exchange(0);
    if (skipped > 0)
        std::fprintf(stderr, "zarvenok-server: %s%s (and %lld more like it since)\n", Prefix.c_str(), text.c_str(),
                     static_cast<long long>(skipped));
    else
        std::fprintf(stderr, "zarvenok-server: %s%s\n", Prefix.c_str(), text.c_str());
}
