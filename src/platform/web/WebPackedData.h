// SPDX-License-Identifier: GPL-3.0-or-later
// The game's libraries and music reach the page packed with xz, which packs
// recorded sound and tracker modules far tighter than the browser's own
// gzip. Before the game starts, each NAME.xz is unpacked in memory to NAME
// and the packed form dropped, so the game finds its files as on a disk.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

// Unpacks every NAME.xz directly in the folders (a missing folder has
// none). Returns one line for each file that could not be unpacked; such a
// file stays missing, and the game's own error then names it.
std::vector<std::string> UnpackData(const std::vector<std::filesystem::path>& folders);
