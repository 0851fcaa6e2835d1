// SPDX-License-Identifier: GPL-3.0-or-later
// Contact sheets of a picture library.
#include "ContactSheet.h"

#include "Colors.h"
#include "PictureCollection.h"
#include "ReviewCanvas.h"

#include <algorithm>
#include <cstring>
#include <ostream>
#include <sstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

TCairoSurface ItemPicture(const TPictureCollectionItem& item)
{
    const TDIB& dib = item.Picture.Graphic;
    TCairoSurface surface(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, dib.Width, dib.Height));
    unsigned char* data = cairo_image_surface_get_data(surface.get());
    const int stride = cairo_image_surface_get_stride(surface.get());
    const uint32_t key = ColorRefToRGB(item.TransparentColor) & 0x00FFFFFF;
    for (int y = 0; y < dib.Height; ++y) {
        for (int x = 0; x < dib.Width; ++x) {
            const uint32_t rgb = dib.Pixel(x, y) & 0x00FFFFFF;
            const uint32_t p = item.Transparent && rgb == key ? 0 : (0xFF000000u | rgb);
            std::memcpy(data + static_cast<ptrdiff_t>(y) * stride + x * 4, &p, 4);
        }
    }
    cairo_surface_mark_dirty(surface.get());
    return surface;
}

void Checkerboard(cairo_t* cr, double x, double y, double w, double h)
{
    cairo_save(cr);
    cairo_rectangle(cr, x, y, w, h);
    cairo_clip(cr);
    for (int cy = 0; cy * 8 < h; ++cy) {
        for (int cx = 0; cx * 8 < w; ++cx) {
            const double v = (cx + cy) % 2 ? 0.55 : 0.7;
            cairo_set_source_rgb(cr, v, v, v);
            cairo_rectangle(cr, x + cx * 8, y + cy * 8, 8, 8);
            cairo_fill(cr);
        }
    }
    cairo_restore(cr);
}

} // namespace

void WriteContactSheets(const TPictureCollection& library, const fs::path& outDir, std::ostream& out)
{
    constexpr int kSheetWidth = 1280, kMaxSheetHeight = 1400, kMaxCell = 400, kGap = 14, kCaption = 30, kTileGap = 6;
    // A cell shows the whole picture with its pattern grid, or, for strips
    // too wide for the sheet, the patterns one by one in rows of Cols.
    struct TCell {
        int Index = 0;
        double Scale = 1;
        int Cols = 0;
        int W = 0, H = 0;
    };
    std::vector<std::vector<std::vector<TCell>>> sheets(1); // sheet -> row -> cells
    std::vector<std::vector<int>> rowHeights(1);
    int x = kGap, y = kGap, rowH = 0;
    sheets[0].emplace_back();
    for (int i = 0; i < library.Count(); ++i) {
        const auto& item = library.Items(i);
        const int pw = std::max(1, item.Picture.Width()), ph = std::max(1, item.Picture.Height());
        const int cw = std::max(1, item.Width()), ch = std::max(1, item.Height());
        TCell cell;
        cell.Index = i;
        if (item.PatternCount() > 1 && pw > kSheetWidth - 2 * kGap) {
            cell.Scale = cw <= 64 && ch <= 64 ? 2 : cw > kMaxCell ? static_cast<double>(kMaxCell) / cw : 1;
            const int tw = static_cast<int>(cw * cell.Scale), th = static_cast<int>(ch * cell.Scale);
            cell.Cols = std::max(1, (kSheetWidth - 2 * kGap + kTileGap) / (tw + kTileGap));
            const int rows = (item.PatternCount() + cell.Cols - 1) / cell.Cols;
            cell.W = std::min(item.PatternCount(), cell.Cols) * (tw + kTileGap) - kTileGap;
            cell.H = rows * (th + kTileGap) - kTileGap + kCaption;
        } else {
            if (pw > kMaxCell) cell.Scale = static_cast<double>(kMaxCell) / pw;
            else if (pw <= 64 && ph <= 64) cell.Scale = 2;
            cell.W = std::max(150, static_cast<int>(pw * cell.Scale));
            cell.H = static_cast<int>(ph * cell.Scale) + kCaption;
        }
        if (x + cell.W > kSheetWidth - kGap && x > kGap) {
            rowHeights.back().push_back(rowH);
            y += rowH + kGap;
            x = kGap;
            rowH = 0;
            if (y + cell.H > kMaxSheetHeight) {
                sheets.emplace_back();
                rowHeights.emplace_back();
                y = kGap;
            }
            sheets.back().emplace_back();
        }
        sheets.back().back().push_back(cell);
        x += cell.W + kGap;
        rowH = std::max(rowH, cell.H);
    }
    rowHeights.back().push_back(rowH);

    for (size_t s = 0; s < sheets.size(); ++s) {
        int height = kGap;
        for (int rh : rowHeights[s]) height += rh + kGap;
        TCairoSurface sheet(cairo_image_surface_create(CAIRO_FORMAT_RGB24, kSheetWidth, height));
        TCairo cr(cairo_create(sheet.get()));
        cairo_set_source_rgb(cr.get(), 0.16, 0.17, 0.19);
        cairo_paint(cr.get());
        int top = kGap;
        for (size_t r = 0; r < sheets[s].size(); ++r) {
            int left = kGap;
            for (const TCell& cell : sheets[s][r]) {
                const auto& item = library.Items(cell.Index);
                const int pw = item.Picture.Width(), ph = item.Picture.Height();
                const int cw = item.Width(), ch = item.Height();
                double bottom = top;
                if (item.Picture.HasGraphic()) {
                    TCairoSurface picture = ItemPicture(item);
                    // Draws the picture area (sx, sy, sw, sh) at (dx, dy), scaled.
                    auto paint = [&](double sx, double sy, double sw, double sh, double dx, double dy) {
                        Checkerboard(cr.get(), dx, dy, sw * cell.Scale, sh * cell.Scale);
                        cairo_save(cr.get());
                        cairo_rectangle(cr.get(), dx, dy, sw * cell.Scale, sh * cell.Scale);
                        cairo_clip(cr.get());
                        cairo_translate(cr.get(), dx, dy);
                        cairo_scale(cr.get(), cell.Scale, cell.Scale);
                        cairo_set_source_surface(cr.get(), picture.get(), -sx, -sy);
                        cairo_pattern_set_filter(cairo_get_source(cr.get()),
                                                 cell.Scale >= 1 ? CAIRO_FILTER_NEAREST : CAIRO_FILTER_GOOD);
                        cairo_paint(cr.get());
                        cairo_restore(cr.get());
                    };
                    if (cell.Cols > 0) {
                        const int pictureCols = std::max(1, pw / cw);
                        const double tw = cw * cell.Scale + kTileGap, th = ch * cell.Scale + kTileGap;
                        for (int p = 0; p < item.PatternCount(); ++p) {
                            const double dx = left + (p % cell.Cols) * tw, dy = top + (p / cell.Cols) * th;
                            paint((p % pictureCols) * cw, (p / pictureCols) * ch, cw, ch, dx, dy);
                            bottom = std::max(bottom, dy + ch * cell.Scale);
                        }
                    } else {
                        paint(0, 0, pw, ph, left, top);
                        bottom = top + ph * cell.Scale;
                        // Pattern grid.
                        cairo_set_source_rgb(cr.get(), 1, 0.2, 0.2);
                        cairo_set_line_width(cr.get(), 1);
                        for (int gx = cw; gx < pw; gx += cw) {
                            cairo_move_to(cr.get(), left + gx * cell.Scale + 0.5, top);
                            cairo_line_to(cr.get(), left + gx * cell.Scale + 0.5, bottom);
                        }
                        for (int gy = ch; gy < ph; gy += ch) {
                            cairo_move_to(cr.get(), left, top + gy * cell.Scale + 0.5);
                            cairo_line_to(cr.get(), left + pw * cell.Scale, top + gy * cell.Scale + 0.5);
                        }
                        cairo_stroke(cr.get());
                    }
                }
                std::ostringstream caption;
                caption << item.Name() << "  " << pw << 'x' << ph;
                if (item.PatternCount() > 1) caption << "  " << item.PatternCount() << "x " << cw << 'x' << ch;
                if (cell.Scale != 1) caption << "  (shown x" << cell.Scale << ')';
                Label(cr.get(), left, bottom + 13, caption.str(), 11, 1, 1, 0.85);
                left += cell.W + kGap;
            }
            top += rowHeights[s][r] + kGap;
        }
        WriteSurface(sheet.get(), outDir / ("contact-" + std::to_string(s + 1) + ".png"), out);
    }
}
