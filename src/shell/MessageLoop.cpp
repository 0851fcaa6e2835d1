// SPDX-License-Identifier: GPL-3.0-or-later
// One thread runs everything: window events, then the message timers that
// are due in the order they fell due, then the frame. Between those the
// loop sleeps until the next event or deadline instead of spinning.
#include "Unit1.h"

#include "PointerGrab.h"

#include <algorithm>
#include <filesystem>
#include <vector>

void TMainForm::HandleEvent(const TInputEvent& event)
{
    const TClockStep step(GameClock);
    const uint32_t now = GameClock.Now();
    using TKind = TInputEvent::TKind;
    switch (event.Kind) {
    case TKind::KeyDown: FormKeyDown(event.Key, event.Alt); break;
    case TKind::MouseDown: DXDrawMouseDown(event.Button, event.X, event.Y); break;
    case TKind::MouseUp: DXDrawMouseUp(event.Button, event.X, event.Y); break;
    case TKind::MouseMove: DXDrawMouseMove(event.X, event.Y); break;
    case TKind::Close: FormClose(); break;
    case TKind::Activate:
        DXDraw.SetWindowActive(true);
        DXTimer.AppActivated();
        break;
    case TKind::Deactivate:
        DXDraw.SetWindowActive(false);
        DXTimer.AppDeactivated();
        break;
    case TKind::Minimized:
    case TKind::Restored:
    case TKind::Maximized:
    case TKind::Resized: FormResize(); break;
    case TKind::Shown: DXDraw.WindowShown(); break;
    case TKind::Terminate:
        KeepEndedReplay(false);
        SaveSettings();
        Terminated = true;
        Interrupted = true;
        break;
    }
    // After the event, so that the click on "Start Game" is the first record.
    RecordEvent(now, event);
    Platform.Video().SetPointerGrab(PointerStaysInWindow(*this));
}

void TMainForm::RunDue()
{
    const TClockStep step(GameClock);
    const uint32_t now = GameClock.Now();
    std::vector<TMessageTimer*> due;
    for (TMessageTimer* timer : Timers())
        if (timer->Enabled() && timer->IsDue(now)) due.push_back(timer);
    // Earliest first; times wrap, so compare by distance from now.
    std::stable_sort(due.begin(), due.end(), [now](const TMessageTimer* a, const TMessageTimer* b) {
        return now - a->DueTime().value_or(now) > now - b->DueTime().value_or(now);
    });
    for (TMessageTimer* timer : due) {
        if (Terminated) return;
        // An earlier handler may have stopped or restarted this one.
        if (!timer->Enabled() || !timer->IsDue(GameClock.Now())) continue;
        const uint32_t at = GameClock.Now();
        timer->Fire();
        RecordTimer(at, timer);
    }
    if (!Terminated) DXTimer.Idle();
    Platform.Video().SetPointerGrab(PointerStaysInWindow(*this));
}

std::optional<uint32_t> TMainForm::NextDeadline()
{
    const uint32_t now = GameClock.Now();
    std::optional<uint32_t> next = DXTimer.NextDue();
    for (TMessageTimer* timer : Timers()) {
        const std::optional<uint32_t> dueTime = timer->DueTime();
        if (!dueTime) continue;
        const uint32_t due = *dueTime;
        // Earlier of the two, measured forward from now (a past due time is 0 away).
        const auto ahead = [now](uint32_t t) { return static_cast<int32_t>(t - now) < 0 ? 0u : t - now; };
        if (!next || ahead(due) < ahead(*next)) next = due;
    }
    return next;
}

int TMainForm::Run()
{
    IEventSource& events = Platform.Events();
    IClock& clock = Platform.Clock();
    while (!Terminated) {
        uint32_t timeout = 1000;
        if (const auto deadline = NextDeadline()) {
            const int32_t left = static_cast<int32_t>(*deadline - clock.Now());
            timeout = left > 0 ? static_cast<uint32_t>(left) : 0;
        }
        TInputEvent event;
        if (events.WaitEvent(event, timeout)) {
            HandleEvent(event);
            while (!Terminated && events.WaitEvent(event, 0)) HandleEvent(event);
        }
        if (!Terminated) RunDue();
    }
    return 0;
}

void TMainForm::AfterLoop()
{
    // Stopped by a signal, the program just ends.
    if (Interrupted) return;
    std::error_code error;
    const std::filesystem::path playUrl = Folders.Settings / "play.url";
    if (std::filesystem::exists(playUrl, error)) Platform.Shell().Open(playUrl.string());
}
