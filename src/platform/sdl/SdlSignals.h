// SPDX-License-Identifier: GPL-3.0-or-later
// Termination signals (Ctrl+C in a terminal, SIGTERM from the session) as a
// flag that the event wait looks at, so the game can save and end cleanly.
#pragma once

class TSdlSignals {
public:
    // Installs handlers for SIGINT and SIGTERM unless they are ignored (a
    // background job keeps ignoring them); the destructor puts the old ones back.
    TSdlSignals();
    ~TSdlSignals();
    TSdlSignals(const TSdlSignals&) = delete;
    TSdlSignals& operator=(const TSdlSignals&) = delete;

    // True when a signal arrived since the last call.
    static bool TakePending();
};
