// SPDX-License-Identifier: GPL-3.0-or-later
// Where the finished frame goes in the window or on the screen, and how it
// is sampled: by default the largest whole multiple of the frame that fits,
// drawn with hard pixel edges; a forced factor or a smooth fit on request.
#pragma once

#include "Platform.h"
#include "Rect.h"

struct TFrameScaling {
    // A whole factor to draw at; 0 picks the largest that fits.
    int Scale = 0;
    // Fill the area with a smooth filter instead of whole multiples.
    bool Smooth = false;
};

struct TFrameLayout {
    TRect Target;         // in output pixels; empty when there is no frame
    bool Filtered = false; // sampled smoothly rather than nearest pixel
};

// The layout of a frame in an output area. Stretched, the frame keeps its
// proportions between black bars: at the forced factor or the largest whole
// one that fits, or filling the area when smooth; an area too small for 1x
// gets the frame shrunk to fit, smoothly. Not stretched, it is drawn 1:1,
// centred or at the top left.
TFrameLayout LayFrame(int outputWidth, int outputHeight, int frameWidth, int frameHeight,
                      const TPresentOptions& options, const TFrameScaling& scaling);

// The factor a new window starts at: the forced one, else the largest whole
// multiple of the frame that fits the area, and at least 1.
int StartingScale(int areaWidth, int areaHeight, int frameWidth, int frameHeight, const TFrameScaling& scaling);
