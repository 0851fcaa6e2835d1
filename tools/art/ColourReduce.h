// SPDX-License-Identifier: GPL-3.0-or-later
// Fewer colours for a picture, so that it is stored with a palette (8 bits a
// pixel, run-length coded) instead of 24 bits. Flat art has a few dozen fill
// colours and many soft-edge blends; the fills are kept exactly and the blends
// move to the nearest colour kept.
#pragma once

#include "PngFile.h"

// Leaves at most maxColours distinct colours among the opaque pixels (alpha
// 255); clear pixels are left alone. Same input, same output.
void ReduceColours(TRgbaImage& image, int maxColours);

// Distinct colours among the opaque pixels.
int CountColours(const TRgbaImage& image);
