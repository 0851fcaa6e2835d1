// SPDX-License-Identifier: GPL-3.0-or-later
// Layout pictures of the game's screens from a screens file (format in
// ScreenLayout.cpp): backdrops, sprites and sprite text drawn by the engine,
// hover and click rectangles outlined over them.
#pragma once

#include <filesystem>
#include <iosfwd>
#include <string>

class TPictureCollection;
class TOffscreenDXDraw;

// Writes layout-NAME.png (and layout-NAME-zoom.png) per screen into outDir.
// The library must be bound to the display, which must be initialised.
void WriteLayouts(TPictureCollection& library, TOffscreenDXDraw& display, const std::string& screensPath,
                  const std::filesystem::path& outDir, std::ostream& out);
