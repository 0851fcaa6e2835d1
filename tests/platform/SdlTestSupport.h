// SPDX-License-Identifier: GPL-3.0-or-later
// Shared set-up for the desktop platform tests: the platform on the silent
// audio driver, and waiting on events or on the mixer with a deadline.
#pragma once

#include "SdlPlatform.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <memory>
#include <vector>

class SdlPlatformTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        setenv("SDL_AUDIODRIVER", "dummy", 1);
        Platform = std::make_unique<TSdlPlatform>("Zarvenok tests");
    }
    void TearDown() override { Platform.reset(); }

    // The game events that arrive within timeoutMs.
    std::vector<TInputEvent> Drain(uint32_t timeoutMs)
    {
        std::vector<TInputEvent> events;
        const Uint32 start = SDL_GetTicks();
        TInputEvent event;
        while (SDL_GetTicks() - start < timeoutMs) {
            if (Platform->Events().WaitEvent(event, 20)) events.push_back(event);
        }
        while (Platform->Events().WaitEvent(event, 0)) events.push_back(event);
        return events;
    }

    // Keeps the event queue moving until the condition holds or the time is up.
    bool WaitFor(const std::function<bool()>& condition, uint32_t timeoutMs = 3000)
    {
        const Uint32 start = SDL_GetTicks();
        TInputEvent event;
        while (!condition()) {
            if (SDL_GetTicks() - start >= timeoutMs) return false;
            Platform->Events().WaitEvent(event, 5);
        }
        return true;
    }

    std::unique_ptr<TSdlPlatform> Platform;
};
