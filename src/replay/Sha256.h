// SPDX-License-Identifier: GPL-3.0-or-later
// SHA-256 digests of files, for telling which picture and sound libraries a
// replay was recorded with.
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <span>
#include <string>

using TSha256 = std::array<uint8_t, 32>;

TSha256 Sha256Of(std::span<const uint8_t> bytes);
// EReplayError naming the file when it cannot be read.
TSha256 Sha256OfFile(const std::filesystem::path& file);
// Lower-case hexadecimal, 64 digits.
std::string HexOf(const TSha256& digest);

struct TLibraryDigests {
    TSha256 Pictures{};
    TSha256 Sounds{};
};

// The digests of the game's two libraries ("Data/Graphic.dxg" and
// "Data/Music.dxw" under the data folder the game runs with).
TLibraryDigests DigestLibraries(const std::filesystem::path& pictureLibrary, const std::filesystem::path& soundLibrary);
