// SPDX-License-Identifier: GPL-3.0-or-later
// From anti-aliased renderings to colour-keyed pictures: every pixel ends
// either fully opaque or fully clear, so the key never shows as a fringe.
#pragma once

#include "PngFile.h"

#include <cstdint>

// Alpha at or above this is kept; below it the pixel becomes the key.
constexpr uint32_t kOpaqueAlpha = 128;

// Pixels kept are laid over edgeRgb (0x00RRGGBB, the sprite's own outline
// colour) so a soft edge darkens towards the outline instead of towards
// whatever colour the key happens to be; the rest become 0 (clear).
void FlattenEdges(TRgbaImage& image, uint32_t edgeRgb);

// Every pixel laid over background and made opaque (backdrops).
void FlattenOpaque(TRgbaImage& image, uint32_t backgroundRgb);

// Cuts the columns left and right of the opaque pixels, keeping pad clear
// columns on each side where the picture has them. A picture without an
// opaque pixel is returned whole.
TRgbaImage TrimColumns(const TRgbaImage& image, int pad);

// Moves the picture down until its lowest opaque pixel is on the bottom row
// (what a figure stands on); rows moved in at the top are clear. A picture
// without an opaque pixel is left alone.
void SetOnGround(TRgbaImage& image);
