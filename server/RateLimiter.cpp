// SPDX-License-Identifier: GPL-3.0-or-later
// Per-address request buckets.
#include "RateLimiter.h"

#include <algorithm>

namespace {

// Past this many addresses, full buckets are dropped: they would allow a
// whole burst anyway, so forgetting them changes nothing.
constexpr std::size_t PruneAbove = 10000;

} // namespace

TRateLimiter::TRateLimiter(double rate, double burst) : Rate(rate), Burst(std::max(burst, 1.0)) {}

bool TRateLimiter::Allow(const std::string& address, double nowSeconds)
{
    if (Rate <= 0)
        return true;
    std::lock_guard lock(Mutex);
    if (Buckets.size() > PruneAbove) {
        std::erase_if(Buckets, [&](const auto& entry) {
            return entry.second.Tokens + (nowSeconds - entry.second.Last) * Rate >= Burst;
        });
    }
    auto [it, fresh] = Buckets.try_emplace(address, TBucket{Burst, nowSeconds});
    TBucket& bucket = it->second;
    if (!fresh) {
        bucket.Tokens = std::min(Burst, bucket.Tokens + std::max(0.0, nowSeconds - bucket.Last) * Rate);
        bucket.Last = nowSeconds;
    }
    if (bucket.Tokens < 1)
        return false;
    bucket.Tokens -= 1;
    return true;
}
