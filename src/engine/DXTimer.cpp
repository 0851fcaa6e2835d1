// SPDX-License-Identifier: GPL-3.0-or-later
// The frame clock and the message timers. All time differences are taken
// modulo 2^32, so both keep working when the millisecond count wraps.
#include "DXTimer.h"

#include <algorithm>
#include <cmath>

// ---------------------------------------------------------------- frame clock

TDXTimer::TDXTimer(IClock& clock) : Clock_(clock) {}

void TDXTimer::SetEnabled(bool enabled)
{
    Enabled_ = enabled;
    if (!Loaded_) return;
    RemoveHook();
    if (Enabled_ && (!ActiveOnly_ || AppActive_)) InstallHook();
}

void TDXTimer::SetInterval(int interval)
{
    Interval_ = std::max(interval, 0);
    Divisor_ = static_cast<uint32_t>(std::max(interval, 1));
}

void TDXTimer::FormLoaded()
{
    Loaded_ = true;
    SetEnabled(Enabled_);
}

void TDXTimer::InstallHook()
{
    HookInstalled_ = true;
    LastTime_ = Clock_.Now();
    RateStart_ = LastTime_;
}

void TDXTimer::AppActivated()
{
    AppActive_ = true;
    if (OnActivate) OnActivate();
    if (Loaded_ && Enabled_ && ActiveOnly_ && !HookInstalled_) InstallHook();
}

void TDXTimer::AppDeactivated()
{
    AppActive_ = false;
    if (OnDeactivate) OnDeactivate();
    if (Enabled_ && ActiveOnly_) RemoveHook();
}

bool TDXTimer::Idle()
{
    if (!HookInstalled_) return false;
    const uint32_t now = Clock_.Now();
    const uint32_t elapsed = now - LastTime_;
    if (elapsed < static_cast<uint32_t>(Interval_)) return false;

    const int lagCount = static_cast<int>(std::max<uint32_t>(elapsed / Divisor_, 1));
    LastTime_ = now;
    ++FrameCount_;
    const uint32_t ratePeriod = now - RateStart_;
    if (ratePeriod >= 1000) {
        FrameRate_ = static_cast<int>(std::lround(static_cast<double>(FrameCount_) * 1000.0 / ratePeriod));
        FrameCount_ = 0;
        RateStart_ = now;
    }
    if (OnTimer) OnTimer(lagCount);
    return true;
}

std::optional<uint32_t> TDXTimer::NextDue() const
{
    if (!HookInstalled_) return std::nullopt;
    return LastTime_ + static_cast<uint32_t>(Interval_);
}

// ---------------------------------------------------------------- message timers

TMessageTimer::TMessageTimer(IClock& clock, uint32_t interval, bool enabled)
    : Clock_(clock), Interval_(interval), Enabled_(enabled)
{
    Restart();
}

void TMessageTimer::Restart()
{
    PeriodStart_ = Clock_.Now();
}

void TMessageTimer::SetEnabled(bool enabled)
{
    if (enabled == Enabled_) return;
    Enabled_ = enabled;
    Restart();
}

void TMessageTimer::SetInterval(uint32_t interval)
{
    if (interval == Interval_) return;
    Interval_ = interval;
    Restart();
}

std::optional<uint32_t> TMessageTimer::DueTime() const
{
    if (!Running()) return std::nullopt;
    return PeriodStart_ + Interval_;
}

bool TMessageTimer::IsDue(uint32_t now) const
{
    return Running() && now - PeriodStart_ >= Interval_;
}

void TMessageTimer::Fire()
{
    Restart();
    if (OnTimer) OnTimer();
}
