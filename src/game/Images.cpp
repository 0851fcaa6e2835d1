// SPDX-License-Identifier: GPL-3.0-or-later
// The glyph families and the list of fixed names for the library check.
#include "Images.h"

namespace Images {

std::string Digit(const char* family, int32_t digit)
{
    return family + std::string(1, static_cast<char>('0' + digit));
}

std::vector<std::string> Fixed()
{
    std::vector<std::string> names = {
        Menu,        ExitScene,    ScreenFrame,  HelpFrame, OptionsFrame, HighScoresFrame, GameOver,
        EnterName,   ScreenPointer, Crosshair,   Weapon,    LevelCaption, Fight,           Plane,
        PlaneRight,  Rocket,       RocketRight,  ArmourHit, VehicleKill,  BonusBurst,      Bomb,
        Med,         Life,         Dollar,       Cherep,    Artobstrel,   Ocher,           CountdownColon,
        SingleFire,  BurstFire,    LevelWord,    HealthPercent, CursorBasis,
        std::string(LetterPrefix) + Cursor,
    };
    for (int d = 0; d <= 9; ++d) {
        names.push_back(Digit(CountdownDigit, d));
        names.push_back(Digit(LargeDigit, d));
    }
    for (int d = 1; d <= 3; ++d) names.push_back(Digit(LivesDigit, d));
    for (char c = 'A'; c <= 'Z'; ++c) names.push_back(LetterPrefix + std::string(1, c));
    return names;
}

} // namespace Images
