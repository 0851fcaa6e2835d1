// SPDX-License-Identifier: GPL-3.0-or-later
// The frame clock and the message timers on the fake clock: cadence, lag,
// frame rate, wrap-around, the hook rules, and a loop that sleeps until the
// next deadline.
#include "DXTimer.h"
#include "HeadlessClock.h"
#include "HeadlessEvents.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// The game's frame clock: 30 ms, frames also while inactive.
class TDXTimerTest : public ::testing::Test {
protected:
    explicit TDXTimerTest(uint32_t start = 1000) : Clock(start), Timer(Clock)
    {
        Timer.SetInterval(30);
        Timer.SetActiveOnly(false);
        Timer.OnTimer = [this](int lag) { Lags.push_back(lag); };
    }

    THeadlessClock Clock;
    TDXTimer Timer;
    std::vector<int> Lags;
};

TEST_F(TDXTimerTest, NoFrameBeforeTheIntervalAndALateFrameCountsItsLag)
{
    EXPECT_FALSE(Timer.Idle()) << "no hook before the form has loaded";
    EXPECT_FALSE(Timer.NextDue().has_value());
    Timer.FormLoaded();
    ASSERT_TRUE(Timer.HookInstalled());
    EXPECT_EQ(Timer.NextDue(), 1030u);

    Clock.Advance(29);
    EXPECT_FALSE(Timer.Idle());
    Clock.Advance(1);
    EXPECT_TRUE(Timer.Idle());
    EXPECT_FALSE(Timer.Idle()) << "one frame per due time";
    Clock.Advance(95);
    EXPECT_TRUE(Timer.Idle());
    EXPECT_EQ(Lags, (std::vector<int>{1, 3}));
    EXPECT_EQ(Timer.NextDue(), 1030u + 95u + 30u) << "the next frame counts from the late one";

    Timer.SetInterval(-5);
    EXPECT_EQ(Timer.Interval(), 0);
    Clock.Advance(3);
    EXPECT_TRUE(Timer.Idle());
    EXPECT_TRUE(Timer.Idle()) << "an interval of 0 fires on every check";
    EXPECT_EQ(Lags, (std::vector<int>{1, 3, 3, 1})) << "divided by at least 1, and at least 1";
}

TEST_F(TDXTimerTest, FrameRateIsMeasuredOverAtLeastOneSecond)
{
    Timer.FormLoaded();
    EXPECT_EQ(Timer.FrameRate(), 0);
    for (int i = 0; i < 33; ++i) {
        Clock.Advance(30);
        ASSERT_TRUE(Timer.Idle());
    }
    EXPECT_EQ(Timer.FrameRate(), 0) << "990 ms is not yet a period";
    Clock.Advance(30);
    Timer.Idle();
    EXPECT_EQ(Timer.FrameRate(), 33) << "34 frames in 1020 ms";
    for (int i = 0; i < 10; ++i) {
        Clock.Advance(100);
        Timer.Idle();
    }
    EXPECT_EQ(Timer.FrameRate(), 10) << "a new period after the last";
}

class TDXTimerAtTheWrap : public TDXTimerTest {
protected:
    TDXTimerAtTheWrap() : TDXTimerTest(0xFFFFFFF0u) {}
};

TEST_F(TDXTimerAtTheWrap, CountsAcrossTheWrapOfTheMillisecondCount)
{
    Timer.FormLoaded();
    EXPECT_EQ(Timer.NextDue(), 14u);
    Clock.Advance(29);
    EXPECT_FALSE(Timer.Idle()) << "13 is 29 ms after 0xFFFFFFF0";
    Clock.Advance(1);
    EXPECT_TRUE(Timer.Idle());
    Clock.Advance(61);
    EXPECT_TRUE(Timer.Idle());
    EXPECT_EQ(Lags, (std::vector<int>{1, 2}));
    for (int i = 0; i < 19; ++i) {
        Clock.Advance(50);
        Timer.Idle();
    }
    EXPECT_EQ(Timer.FrameRate(), 20) << "21 frames in the 1041 ms since 0xFFFFFFF0";
}

TEST_F(TDXTimerTest, EnablingInstallsTheHookUnlessActiveOnlyAndInactive)
{
    std::vector<std::string> log;
    Timer.OnActivate = [&] { log.push_back(Timer.HookInstalled() ? "activate+hook" : "activate"); };
    Timer.OnDeactivate = [&] { log.push_back(Timer.HookInstalled() ? "deactivate+hook" : "deactivate"); };

    Timer.SetEnabled(false);
    Timer.FormLoaded();
    EXPECT_FALSE(Timer.HookInstalled());
    Clock.Advance(100);
    EXPECT_FALSE(Timer.Idle());

    Timer.SetEnabled(true);
    EXPECT_EQ(Timer.NextDue(), Clock.Now() + 30) << "enabling restarts the count from now";
    Timer.AppDeactivated();
    EXPECT_TRUE(Timer.HookInstalled()) << "not active-only: frames go on while inactive";

    Timer.SetActiveOnly(true);
    Timer.SetEnabled(true);
    EXPECT_FALSE(Timer.HookInstalled()) << "active-only and inactive";
    Clock.Advance(500);
    Timer.AppActivated();
    ASSERT_TRUE(Timer.HookInstalled());
    EXPECT_EQ(Timer.NextDue(), Clock.Now() + 30);
    Timer.AppDeactivated();
    EXPECT_FALSE(Timer.HookInstalled());
    EXPECT_EQ(log, (std::vector<std::string>{"deactivate+hook", "activate", "deactivate+hook"}))
        << "the events come before the hook changes";

    Timer.SetEnabled(false);
    Timer.AppActivated();
    EXPECT_FALSE(Timer.HookInstalled()) << "a disabled clock stays off";
}

TEST_F(TDXTimerTest, AFrameThatDisablesTheClockIsTheLast)
{
    Timer.OnTimer = [this](int lag) {
        Lags.push_back(lag);
        Timer.SetEnabled(false);
    };
    Timer.FormLoaded();
    Clock.Advance(30);
    EXPECT_TRUE(Timer.Idle());
    Clock.Advance(30);
    EXPECT_FALSE(Timer.Idle());
    EXPECT_FALSE(Timer.NextDue().has_value());
    EXPECT_EQ(Lags.size(), 1u);
}

TEST_F(TDXTimerTest, ALoopThatSleepsUntilTheNextDueKeepsTheCadence)
{
    THeadlessEvents events(Clock);
    std::vector<uint32_t> frames;
    Timer.OnTimer = [&](int) { frames.push_back(Clock.Now()); };
    Timer.SetInterval(30);
    Timer.FormLoaded();
    const uint32_t end = Clock.Now() + 100;
    events.SetWaitLimit(end);
    TInputEvent event;
    while (Clock.Now() != end) {
        const uint32_t due = *Timer.NextDue();
        const uint32_t wait = static_cast<int32_t>(due - Clock.Now()) > 0 ? due - Clock.Now() : 0;
        if (events.WaitEvent(event, wait)) continue;
        Timer.Idle();
    }
    EXPECT_EQ(frames, (std::vector<uint32_t>{1030, 1060, 1090}));
    EXPECT_EQ(Clock.Now(), 1100u) << "waiting stops at the limit";

    TInputEvent move;
    move.Kind = TInputEvent::TKind::MouseMove;
    move.X = 5;
    events.Push(move);
    ASSERT_TRUE(events.WaitEvent(event, 1000));
    EXPECT_EQ(event.X, 5);
    EXPECT_EQ(Clock.Now(), 1100u) << "a queued event costs no time";
}

// ---------------------------------------------------------------- message timers

TEST(TMessageTimer, EnablingOrANewIntervalRestartsThePeriod)
{
    THeadlessClock clock(0);
    TMessageTimer timer(clock, 1000, false);
    EXPECT_FALSE(timer.DueTime().has_value()) << "disabled";
    clock.SetNow(100);
    timer.SetEnabled(true);
    EXPECT_EQ(timer.DueTime(), 1100u);
    clock.SetNow(500);
    timer.SetEnabled(true);
    EXPECT_EQ(timer.DueTime(), 1100u) << "enabling an enabled timer changes nothing";
    timer.SetInterval(1000);
    EXPECT_EQ(timer.DueTime(), 1100u) << "nor does the same interval";
    timer.SetInterval(300);
    EXPECT_EQ(timer.DueTime(), 800u);
    clock.SetNow(700);
    timer.SetEnabled(false);
    timer.SetEnabled(true);
    EXPECT_EQ(timer.DueTime(), 1000u);
    EXPECT_FALSE(timer.IsDue(999));
    EXPECT_TRUE(timer.IsDue(1000));

    timer.SetInterval(0);
    EXPECT_FALSE(timer.Running());
    EXPECT_FALSE(timer.IsDue(5000)) << "an interval of 0 stops the timer";
}

TEST(TMessageTimer, ALateTimerFiresOnceAndCountsOnFromThen)
{
    THeadlessClock clock(0);
    TMessageTimer timer(clock, 1000, true);
    int fired = 0;
    timer.OnTimer = [&] { ++fired; };
    clock.SetNow(3500);
    ASSERT_TRUE(timer.IsDue(clock.Now()));
    timer.Fire();
    EXPECT_EQ(fired, 1);
    EXPECT_FALSE(timer.IsDue(clock.Now())) << "no catching up on the missed periods";
    EXPECT_EQ(timer.DueTime(), 4500u);

    // A handler that sets a new interval starts that period from the firing.
    timer.OnTimer = [&] { timer.SetInterval(5000); };
    clock.SetNow(4600);
    timer.Fire();
    EXPECT_EQ(timer.DueTime(), 9600u);
}

TEST(TMessageTimer, DueTimesWrapWithTheClock)
{
    THeadlessClock clock(0xFFFFFF00u);
    TMessageTimer timer(clock, 500, true);
    EXPECT_EQ(timer.DueTime(), 0xF4u);
    EXPECT_FALSE(timer.IsDue(0xFFFFFFFFu));
    EXPECT_FALSE(timer.IsDue(0xF3u));
    EXPECT_TRUE(timer.IsDue(0xF4u));
}

} // namespace
