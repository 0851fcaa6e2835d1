// SPDX-License-Identifier: GPL-3.0-or-later
// Review picture helpers.
#include "ReviewCanvas.h"

#include <ostream>
#include <stdexcept>

void WriteSurface(cairo_surface_t* surface, const std::filesystem::path& file, std::ostream& out)
{
    if (cairo_surface_write_to_png(surface, file.c_str()) != CAIRO_STATUS_SUCCESS)
        throw std::runtime_error("Cannot write \"" + file.string() + "\"");
    out << file.string() << '\n';
}

void Label(cairo_t* cr, double x, double y, const std::string& text, double size, double r, double g, double b)
{
    cairo_select_font_face(cr, "DejaVu Sans", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_BOLD);
    cairo_set_font_size(cr, size);
    // A dark halo keeps labels readable over any picture.
    cairo_move_to(cr, x, y);
    cairo_text_path(cr, text.c_str());
    cairo_set_source_rgb(cr, 0, 0, 0);
    cairo_set_line_width(cr, 3);
    cairo_stroke_preserve(cr);
    cairo_set_source_rgb(cr, r, g, b);
    cairo_fill(cr);
}
