// SPDX-License-Identifier: GPL-3.0-or-later
// Drawing order of the layers that are not placed by their bottom edge
// (scenery, enemies, bodies and bonuses use their foot line instead).
#pragma once

enum TDepth : int {
    dpBackdrop = -1,
    // Pictures of the screens around the game, and the main menu's backdrop.
    dpScreen = 0,
    // The menus' buttons and indicators.
    dpButton = 1,
    // Captions, HUD glyphs, effects and the in-game exit panel.
    dpCaption = 800,
    // What sits on a caption: the pause word, the panels' buttons.
    dpOverlay = 801,
    dpOverlayButton = 802,
    dpCrosshair = 804,
    dpWeapon = 805,
};
