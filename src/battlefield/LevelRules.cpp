// SPDX-License-Identifier: GPL-3.0-or-later
// Difficulty, level values and spawn places.
#include "LevelRules.h"

#include <cmath>

long double DifficultyCurve(long double n, long double scale, long double offset, long double slope)
{
    return scale * std::tanh((n - 1) * slope + offset);
}

TLevelValues LevelValues(int32_t levelNo)
{
    TLevelValues values{};
    values.LevelCountdown = levelNo * 30 - 1;
    // The curve's constants are extended-precision literals, like the curve.
    values.InfantryLimit = static_cast<int32_t>(std::trunc(DifficultyCurve(levelNo - 1, 5, 0.5L, 0.1L) + 5));
    values.VehicleLimit = values.InfantryLimit / 3;
    values.SpawnChance = static_cast<double>(DifficultyCurve(levelNo - 1, 1, 0.5L, 1) + 2);
    return values;
}

TInfantryPlace InfantryPlace(int32_t xr, int32_t yr, int imageHeight)
{
    TInfantryPlace place{};
    place.DepthScale = yr < 56 ? 1.5 : 1.0;
    place.Foot = 410 + yr;
    place.X = 190 + xr;
    place.Y = place.Foot - std::nearbyint(imageHeight / place.DepthScale);
    return place;
}
