// SPDX-License-Identifier: GPL-3.0-or-later
// Starting the desktop platform: it refuses to run where nobody could see it.
#include "SdlPlatform.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <stdexcept>
#include <string>

TEST(TSdlPlatform, WithoutADisplayItRefusesToStartInsteadOfRunningUnseen)
{
    const std::string display = std::getenv("DISPLAY") != nullptr ? std::getenv("DISPLAY") : "";
    const struct {
        const char* Display;
        const char* Reason;
    } cases[] = {
        {nullptr, "neither DISPLAY nor WAYLAND_DISPLAY is set"},
        {":4321", "the X display \":4321\" cannot be opened"},
    };
    unsetenv("WAYLAND_DISPLAY");
    unsetenv("SDL_VIDEODRIVER");
    for (const auto& c : cases) {
        if (c.Display != nullptr)
            setenv("DISPLAY", c.Display, 1);
        else
            unsetenv("DISPLAY");
        try {
            TSdlPlatform platform("Zarvenok tests");
            ADD_FAILURE() << "started on " << SDL_GetCurrentVideoDriver();
        } catch (const std::runtime_error& e) {
            EXPECT_NE(std::string(e.what()).find(c.Reason), std::string::npos) << e.what();
        }
    }
    setenv("DISPLAY", display.c_str(), 1);
    // Asked for by name, the memory driver is taken.
    setenv("SDL_VIDEODRIVER", "offscreen", 1);
    EXPECT_NO_THROW(TSdlPlatform("Zarvenok tests"));
    unsetenv("SDL_VIDEODRIVER");
}
