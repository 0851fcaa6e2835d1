// SPDX-License-Identifier: GPL-3.0-or-later
// Review pictures of a built library: contact sheets of every item and one
// layout picture per screen, drawn with the engine as the game draws them,
// with the screen's hover and click rectangles outlined.
#pragma once

#include <iosfwd>
#include <string>

void WriteArtReview(const std::string& libraryPath, const std::string& screensPath, const std::string& outDir,
                    std::ostream& out);
