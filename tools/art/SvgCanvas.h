// SPDX-License-Identifier: GPL-3.0-or-later
// A drawing surface for SVG sources: librsvg draws them with cairo into a
// premultiplied ARGB picture.
#pragma once

#include "PngFile.h"

#include <string>

typedef struct _cairo_surface cairo_surface_t;

class TSvgCanvas {
public:
    TSvgCanvas(int width, int height);
    ~TSvgCanvas();
    TSvgCanvas(const TSvgCanvas&) = delete;
    TSvgCanvas& operator=(const TSvgCanvas&) = delete;

    int Width() const { return Width_; }
    int Height() const { return Height_; }

    // Draws the SVG text with its top-left corner at (x, y), at width x
    // height (0 takes the document's own size). baseFile names the source
    // for messages and relative references.
    void DrawSvg(const std::string& svg, const std::string& baseFile, double x, double y, int width, int height);

    // Draws the area (sx, sy, sw, sh) of a straight-alpha picture with its
    // top-left corner at (x, y), scaled to width x height.
    void DrawPixels(const TRgbaImage& picture, int sx, int sy, int sw, int sh, double x, double y, int width,
                    int height);

    // Straight-alpha copy: 0xAARRGGBB.
    TRgbaImage Pixels() const;

    cairo_surface_t* Surface() const { return Surface_; }

    // The document's own size in pixels.
    static void IntrinsicSize(const std::string& svg, const std::string& baseFile, int& width, int& height);

private:
    int Width_;
    int Height_;
    cairo_surface_t* Surface_;
};
