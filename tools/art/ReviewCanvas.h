// SPDX-License-Identifier: GPL-3.0-or-later
// Cairo helpers of the review pictures.
#pragma once

#include <cairo.h>

#include <filesystem>
#include <iosfwd>
#include <memory>
#include <string>

struct TCairoSurfaceDeleter {
    void operator()(cairo_surface_t* s) const { cairo_surface_destroy(s); }
};
struct TCairoDeleter {
    void operator()(cairo_t* c) const { cairo_destroy(c); }
};
using TCairoSurface = std::unique_ptr<cairo_surface_t, TCairoSurfaceDeleter>;
using TCairo = std::unique_ptr<cairo_t, TCairoDeleter>;

// Writes the surface as a PNG and names the file on out.
void WriteSurface(cairo_surface_t* surface, const std::filesystem::path& file, std::ostream& out);

// Text with a dark halo, readable over any picture; (x, y) is its baseline.
void Label(cairo_t* cr, double x, double y, const std::string& text, double size, double r, double g, double b);
