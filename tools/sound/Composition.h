// SPDX-License-Identifier: GPL-3.0-or-later
// Music compositions: the text form of a module (instruments as synth
// patches, kits, phrases, patterns and the order list) turned into a
// module ready for writing.
#pragma once

#include "Recipe.h"
#include "XmModule.h"

#include <string>

// Instrument samples are rendered at this rate so that a note plays its
// sample at an exact power-of-two speed.
constexpr double InstrumentRate = 8363.0 * 4.0;

// Raises TRecipeError "FILE:LINE: reason" on a bad line.
TXmModule ParseComposition(const std::string& text, const std::string& file);
