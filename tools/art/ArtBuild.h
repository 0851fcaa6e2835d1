// SPDX-License-Identifier: GPL-3.0-or-later
// The build command: every item of the art list drawn, cut into patterns
// and handed to zarvenok-pack's builder.
#pragma once

#include "ArtList.h"
#include "PngFile.h"

#include <iosfwd>
#include <map>
#include <string>

// A picture already drawn, for the picture layers (+ @NAME) of later items.
struct TArtPicture {
    TRgbaImage Image; // its patterns side by side
    int PatternWidth = 0;
};
using TArtPictures = std::map<std::string, TArtPicture>;

// The item's whole picture: its frames side by side, each pixel opaque or
// clear (exports keep their soft alpha), with at most the item's colours.
// Picture layers are taken from pictures.
TRgbaImage RenderArtItem(const TArtList& list, const TArtItem& item, const TArtPictures* pictures = nullptr);

// Size of one frame of a rendered item.
void ArtFrameSize(const TArtList& list, const TArtItem& item, int& width, int& height);

// Writes the library at libraryPath (exports beside it) and the PNGs and
// pack manifest it is made from into workDir.
void BuildArtLibrary(const std::string& listPath, const std::string& libraryPath, const std::string& workDir,
                     std::ostream& out);
