// SPDX-License-Identifier: GPL-3.0-or-later
// Requests per client address: a bucket of `burst` requests refilled at
// `rate` per second. Kept per process; behind a proxy the proxy's own limits
// add to it.
#pragma once

#include <mutex>
#include <string>
#include <unordered_map>

class TRateLimiter {
public:
    // A rate of 0 lets everything through.
    TRateLimiter(double rate, double burst);

    bool Allow(const std::string& address, double nowSeconds);

private:
    struct TBucket {
        double Tokens = 0;
        double Last = 0;
    };

    double Rate;
    double Burst;
    std::mutex Mutex;
    std::unordered_map<std::string, TBucket> Buckets;
};
