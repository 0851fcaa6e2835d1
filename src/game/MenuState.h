// SPDX-License-Identifier: GPL-3.0-or-later
// The menus' own values: the hover sound's arming, the help page, and the
// music the menu owes after a game.
#pragma once

#include <cstdint>

struct TMenuState {
    // The pointer has been off every button since the last hover sound.
    bool HoverArmed = false;
    int32_t HelpPage = 1;
    // A game was left: the next menu or high-score screen restarts track 1.
    bool MenuMusicPending = false;
};
