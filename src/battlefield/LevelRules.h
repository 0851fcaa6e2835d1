// SPDX-License-Identifier: GPL-3.0-or-later
// The arithmetic of levels and waves: the difficulty curve, the values a
// level switch sets, and where a spawned enemy stands.
#pragma once

#include <cstdint>

// Scale * tanh((n - 1) * Slope + Offset), in extended precision.
long double DifficultyCurve(long double n, long double scale, long double offset, long double slope);

// What the switch to a level sets.
struct TLevelValues {
    int32_t LevelCountdown;
    int32_t InfantryLimit;
    int32_t VehicleLimit;
    double SpawnChance;
};
// For levels 2 and up (level 1 comes from the start of a game).
TLevelValues LevelValues(int32_t levelNo);

// A soldier's place from the two draws of a spawn (xr of 500 - pattern
// width, yr of 110): the far half of the band is drawn at two thirds.
struct TInfantryPlace {
    double DepthScale;
    double X;
    double Y;
    int Foot;
};
TInfantryPlace InfantryPlace(int32_t xr, int32_t yr, int imageHeight);
