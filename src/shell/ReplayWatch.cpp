// SPDX-License-Identifier: GPL-3.0-or-later
// The watching loop: each record waits for its time on the platform's
// clock, then plays; between them the window's events are answered.
#include "ReplayWatch.h"

#include "ReplayPlayer.h"
#include "Unit1.h"

#include <ostream>

namespace {

// Waits up to `timeout` ms for an event that asks to leave; true when one came.
bool LeaveAsked(IEventSource& events, uint32_t timeout)
{
    TInputEvent event;
    if (!events.WaitEvent(event, timeout)) return false;
    using TKind = TInputEvent::TKind;
    return (event.Kind == TKind::KeyDown && event.Key == VirtualKey::Escape) || event.Kind == TKind::Close ||
           event.Kind == TKind::Terminate;
}

} // namespace

int WatchReplay(TMainForm& form, const TReplay& replay, int speed, std::ostream& errors)
{
    IClock& clock = form.Platform.Clock();
    IEventSource& events = form.Platform.Events();
    const uint32_t speedFactor = speed > 0 ? static_cast<uint32_t>(speed) : 1u;
    TReplayPlayer player(form, replay);
    const uint32_t realStart = clock.Now();
    while (const auto next = player.NextReading()) {
        const uint32_t due = realStart + (*next - replay.Header.StartClock) / speedFactor;
        for (;;) {
            const auto left = static_cast<int32_t>(due - clock.Now());
            if (LeaveAsked(events, left > 0 ? static_cast<uint32_t>(left) : 0)) return 0;
            if (left <= 0) break;
        }
        const TReplayStep step = player.Step();
        if (step == TReplayStep::Desync) {
            errors << "zarvenok: the replay went out of step at frame " << player.Frames() << ": "
                   << player.Problem() << '\n';
            return 1;
        }
        if (step == TReplayStep::Finished) break;
    }
    // The end stays in view a moment.
    const uint32_t holdEnd = clock.Now() + 3000;
    for (int32_t left = 3000; left > 0; left = static_cast<int32_t>(holdEnd - clock.Now()))
        if (LeaveAsked(events, static_cast<uint32_t>(left))) break;
    return 0;
}
