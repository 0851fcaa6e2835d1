// SPDX-License-Identifier: GPL-3.0-or-later
// Signal handlers that only touch a lock-free atomic, which is all a
// handler may safely do; the event wait turns the flag into an event.
#include "SdlSignals.h"

#include <atomic>
#include <csignal>

namespace {

std::atomic<int> Pending{0};
static_assert(std::atomic<int>::is_always_lock_free);

// Signals the game has not answered yet after which the next one ends the
// process the default way: a hung game must stay killable from the terminal.
constexpr int UnansweredLimit = 2;

constexpr int HandledSignals[] = {SIGINT, SIGTERM};
struct sigaction Previous[2];
bool Installed[2] = {false, false};

extern "C" void OnTerminationSignal(int signalNumber)
{
    if (Pending.fetch_add(1) >= UnansweredLimit) {
        std::signal(signalNumber, SIG_DFL);
        std::raise(signalNumber);
    }
}

} // namespace

TSdlSignals::TSdlSignals()
{
    Pending.store(0);
    for (int i = 0; i < 2; ++i) {
        struct sigaction old{};
        if (sigaction(HandledSignals[i], nullptr, &old) != 0 || old.sa_handler == SIG_IGN) continue;
        struct sigaction action{};
        action.sa_handler = OnTerminationSignal;
        sigemptyset(&action.sa_mask);
        action.sa_flags = SA_RESTART;
        if (sigaction(HandledSignals[i], &action, &Previous[i]) == 0) Installed[i] = true;
    }
}

TSdlSignals::~TSdlSignals()
{
    for (int i = 0; i < 2; ++i) {
        if (Installed[i]) sigaction(HandledSignals[i], &Previous[i], nullptr);
        Installed[i] = false;
    }
}

bool TSdlSignals::TakePending()
{
    return Pending.exchange(0) > 0;
}
