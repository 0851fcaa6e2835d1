// SPDX-License-Identifier: GPL-3.0-or-later
// The picture names that game code asks the image library for, in one
// place. Rows of the game's tables (buttons, scenes, enemy kinds, help
// pages, aiming bands) carry their own; the build checks all of them
// against the library it makes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace Images {

// Screens.
inline constexpr const char* Menu = "menu";
inline constexpr const char* ExitScene = "SceneExit";
inline constexpr const char* ScreenFrame = "fon_all";
inline constexpr const char* HelpFrame = "fon_help";
inline constexpr const char* OptionsFrame = "fon_options";
inline constexpr const char* HighScoresFrame = "fon_high_scores";
inline constexpr const char* GameOver = "bgGameOver";
inline constexpr const char* EnterName = "Enter_Name";
inline constexpr const char* Icon = "Icon";
// Pointers, the weapon and its flash.
inline constexpr const char* ScreenPointer = "pricel_anim";
inline constexpr const char* Crosshair = "pricel";
inline constexpr const char* Weapon = "ak47";
// The level intro.
inline constexpr const char* LevelCaption = "Word_Level_begin";
inline constexpr const char* Fight = "Fight";
// The artillery strike; the names ending in "_" face right.
inline constexpr const char* Plane = "plane";
inline constexpr const char* PlaneRight = "plane_";
inline constexpr const char* Rocket = "roket";
inline constexpr const char* RocketRight = "roket_";
// Effects.
inline constexpr const char* ArmourHit = "popal";
inline constexpr const char* VehicleKill = "gotov";
inline constexpr const char* BonusBurst = "Bonus_dead";
// Bonuses.
inline constexpr const char* Bomb = "bomb";
inline constexpr const char* Med = "med";
inline constexpr const char* Life = "Life";
inline constexpr const char* Dollar = "dollar";
inline constexpr const char* Cherep = "Cherep";
inline constexpr const char* Artobstrel = "artobstrel";
inline constexpr const char* Ocher = "ocher";
// The HUD.
inline constexpr const char* CountdownColon = "cifra_prefix";
inline constexpr const char* SingleFire = "odinoch";
inline constexpr const char* BurstFire = "ochered";
inline constexpr const char* LevelWord = "level";
inline constexpr const char* HealthPercent = "Health_percent";
// Letter glyphs: "Bukva_" + the character; "prefix" is the typing cursor.
inline constexpr const char* LetterPrefix = "Bukva_";
inline constexpr const char* Cursor = "prefix";
// The letter whose height places the cursor.
inline constexpr const char* CursorBasis = "Bukva_A";
// Digit glyph families: prefix + digit.
inline constexpr const char* CountdownDigit = "cifra";
inline constexpr const char* LargeDigit = "Health_";
inline constexpr const char* LivesDigit = "Lifes_";

// The digit glyph of a family.
std::string Digit(const char* family, int32_t digit);

// Every name above with every member of the glyph families: what the
// library must hold for the screens and the HUD.
std::vector<std::string> Fixed();

} // namespace Images
