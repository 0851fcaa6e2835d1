// SPDX-License-Identifier: GPL-3.0-or-later
// The form's clocks: the frame clock that steps the game, and the slower
// message timers. Both read the platform's wrapping millisecond clock and
// tell the loop when they are next due, so the loop can sleep until then.
#pragma once

#include "Platform.h"

#include <cstdint>
#include <functional>
#include <optional>

// Fires OnTimer at most once per Interval from the loop's idle phase.
class TDXTimer {
public:
    explicit TDXTimer(IClock& clock);

    bool Enabled() const { return Enabled_; }
    // Once the form has loaded, enabling (re)installs the idle hook at once,
    // unless ActiveOnly is set and the application is inactive; disabling
    // removes it. Before that only the setting is kept.
    void SetEnabled(bool enabled);
    bool ActiveOnly() const { return ActiveOnly_; }
    // Takes effect at the next enabling or activation change.
    void SetActiveOnly(bool activeOnly) { ActiveOnly_ = activeOnly; }
    int Interval() const { return Interval_; }
    // Negative values are taken as 0.
    void SetInterval(int interval);
    // Frames per second over the last period of at least one second.
    int FrameRate() const { return FrameRate_; }

    std::function<void(int lagCount)> OnTimer;
    std::function<void()> OnActivate;
    std::function<void()> OnDeactivate;

    // The form has finished loading: the stored Enabled takes effect.
    void FormLoaded();
    // The application gained or lost activation.
    void AppActivated();
    void AppDeactivated();
    bool AppActive() const { return AppActive_; }

    // One check of the clock; fires OnTimer when a frame is due and says so.
    bool Idle();
    // The clock time at which the next frame falls due; empty while the
    // hook is not installed.
    std::optional<uint32_t> NextDue() const;
    bool HookInstalled() const { return HookInstalled_; }

private:
    void InstallHook();
    void RemoveHook() { HookInstalled_ = false; }

    IClock& Clock_;
    bool Enabled_ = true;
    bool ActiveOnly_ = true;
    int Interval_ = 1000;
    uint32_t Divisor_ = 1000;  // Interval, at least 1
    int FrameRate_ = 0;
    uint32_t LastTime_ = 0;
    uint32_t RateStart_ = 0;
    uint32_t FrameCount_ = 0;
    bool HookInstalled_ = false;
    bool Loaded_ = false;
    bool AppActive_ = true;
};

// A window-message timer. Enabling it or changing its interval starts the
// period again from now; a timer that fell behind fires once and counts its
// next period from then, it never catches up.
class TMessageTimer {
public:
    explicit TMessageTimer(IClock& clock, uint32_t interval = 1000, bool enabled = false);

    bool Enabled() const { return Enabled_; }
    void SetEnabled(bool enabled);
    uint32_t Interval() const { return Interval_; }
    // An interval of 0 stops the timer.
    void SetInterval(uint32_t interval);

    std::function<void()> OnTimer;

    bool Running() const { return Enabled_ && Interval_ > 0; }
    // The clock time of the next firing; empty while not running.
    std::optional<uint32_t> DueTime() const;
    bool IsDue(uint32_t now) const;
    // Starts the next period from now, then runs OnTimer.
    void Fire();

private:
    void Restart();

    IClock& Clock_;
    uint32_t Interval_;
    bool Enabled_;
    uint32_t PeriodStart_ = 0;
};
