// SPDX-License-Identifier: GPL-3.0-or-later
// The game's clock holds one reading for a whole step of the loop.
#include "GameClock.h"

#include <gtest/gtest.h>

namespace {

// Real time as the game sees it: every reading is a millisecond later.
class TRunningClock : public IClock {
public:
    uint32_t Now() override { return ++Now_; }
    void Sleep(uint32_t milliseconds) override { Now_ += milliseconds; }
    uint32_t Now_ = 1000;
};

} // namespace

TEST(GameClock, OneReadingPerStepAndLiveOutside)
{
    TRunningClock source;
    TGameClock clock(source);
    EXPECT_EQ(clock.Now(), 1001u);
    EXPECT_EQ(clock.Now(), 1002u);
    {
        const TClockStep step(clock);
        EXPECT_EQ(clock.Now(), 1003u);
        EXPECT_EQ(clock.Now(), 1003u);
        {
            // A nested step keeps the outer reading.
            const TClockStep inner(clock);
            EXPECT_EQ(clock.Now(), 1003u);
        }
        // A sleep inside a step moves the step's time by exactly its length.
        clock.Sleep(200);
        EXPECT_EQ(clock.Now(), 1203u);
    }
    EXPECT_EQ(clock.Now(), 1204u);
}

TEST(GameClock, TimeWrapsInsideAStep)
{
    TRunningClock source;
    source.Now_ = 0xFFFFFFF0u;
    TGameClock clock(source);
    const TClockStep step(clock);
    clock.Sleep(0x20);
    EXPECT_EQ(clock.Now(), 0x11u);
}
