// SPDX-License-Identifier: GPL-3.0-or-later
// The text manifest from which `zarvenok-pack build` makes a library.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

struct TManifestEntry {
    enum class TKind { Image, Wave };
    TKind Kind = TKind::Image;
    int Line = 0;
    std::string Name;
    // Source file, resolved against the manifest's folder; empty for "-".
    std::string File;
    // Image settings.
    int PatternWidth = 0;
    int PatternHeight = 0;
    int SkipWidth = 0;
    int SkipHeight = 0;
    bool Transparent = true;
    bool SystemMemory = false;
    // Key colour as 0x00BBGGRR; empty means "choose one no opaque pixel uses".
    std::optional<uint32_t> TransparentColor;
    // Wave settings.
    bool Looped = false;
    int MaxPlayingCount = 0;
};

// Raises std::runtime_error("MANIFEST:LINE: reason") on a bad line.
std::vector<TManifestEntry> ParseManifest(const std::string& text, const std::string& manifestPath);
std::vector<TManifestEntry> ReadManifest(const std::string& manifestPath);
