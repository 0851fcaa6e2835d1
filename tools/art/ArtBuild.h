// The build command: every item of the art list drawn, cut into patterns
// and handed to zarvenok-pack's builder.
#pragma once

#include "ArtList.h"
#include "PngFile.h"

#include <iosfwd>
#include <string>

// The item's whole picture: its frames side by side, each pixel opaque or
// clear (exports keep their soft alpha).
TRgbaImage RenderArtItem(const TArtList& list, const TArtItem& item);

// Size of one frame of a rendered item.
void ArtFrameSize(const TArtList& list, const TArtItem& item, int& width, int& height);

// Writes the library at libraryPath (exports beside it) and the PNGs and
// pack manifest it is made from into workDir.
void BuildArtLibrary(const std::string& listPath, const std::string& libraryPath, const std::string& workDir,
                     std::ostream& out);
