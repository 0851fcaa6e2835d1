// SPDX-License-Identifier: GPL-3.0-or-later
// Contact sheets: every item of a library with its name, size and pattern
// grid, clear pixels on a checkerboard.
#pragma once

#include <filesystem>
#include <iosfwd>

class TPictureCollection;

// Writes contact-1.png, contact-2.png, ... into outDir.
void WriteContactSheets(const TPictureCollection& library, const std::filesystem::path& outDir, std::ostream& out);
