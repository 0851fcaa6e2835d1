// SPDX-License-Identifier: GPL-3.0-or-later
// Every picture and sound name that the game can ask its libraries for:
// the catalogue's, and those in the rows of the game's tables. The build
// checks them against the libraries it makes.
#pragma once

#include <string>
#include <vector>

std::vector<std::string> PictureNamesUsed();
std::vector<std::string> SoundNamesUsed();
