// SPDX-License-Identifier: GPL-3.0-or-later
// The game's own random numbers: the same sequence on every C library, and
// seeded from the game's clock, so a simulator run replays exactly.
#pragma once

#include <cstdint>

class TRandomGenerator {
public:
    void Seed(uint32_t seed)
    {
        // Spread a small seed (a millisecond count) over the whole state.
        State_ = SplitMix(uint64_t{seed} + 0x9E3779B97F4A7C15ull);
        if (State_ == 0) State_ = 1;
    }

    // 0 .. n - 1 with equal chance; 0 when n <= 0.
    int32_t RandInt(int32_t n)
    {
        if (n <= 0) return 0;
        // Multiply-shift with rejection of the short last stripe: unbiased.
        const uint32_t range = static_cast<uint32_t>(n);
        const uint32_t threshold = (0u - range) % range;
        for (;;) {
            const uint64_t product = uint64_t{Next()} * range;
            if (static_cast<uint32_t>(product) >= threshold) return static_cast<int32_t>(product >> 32);
        }
    }

    // The whole state, for a replay to start from and check against.
    uint64_t State() const { return State_; }
    void SetState(uint64_t state) { State_ = state != 0 ? state : 1; }

    uint32_t Next()
    {
        // xorshift64*
        State_ ^= State_ >> 12;
        State_ ^= State_ << 25;
        State_ ^= State_ >> 27;
        return static_cast<uint32_t>((State_ * 0x2545F4914F6CDD1Dull) >> 32);
    }

private:
    static uint64_t SplitMix(uint64_t z)
    {
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }

    uint64_t State_ = 1;
};
