// SPDX-License-Identifier: GPL-3.0-or-later
// librsvg and cairo behind TSvgCanvas.
#include "SvgCanvas.h"

#include <cairo.h>
#include <librsvg/rsvg.h>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <memory>
#include <stdexcept>

namespace {

struct THandleDeleter {
    void operator()(RsvgHandle* h) const { g_object_unref(h); }
};
using THandle = std::unique_ptr<RsvgHandle, THandleDeleter>;

THandle LoadSvg(const std::string& svg, const std::string& baseFile)
{
    GError* error = nullptr;
    GFile* base = g_file_new_for_path(std::filesystem::absolute(baseFile).c_str());
    GInputStream* stream = g_memory_input_stream_new_from_data(svg.data(), static_cast<gssize>(svg.size()), nullptr);
    RsvgHandle* handle = rsvg_handle_new_from_stream_sync(stream, base, RSVG_HANDLE_FLAGS_NONE, nullptr, &error);
    g_object_unref(stream);
    g_object_unref(base);
    if (handle == nullptr) {
        const std::string why = error != nullptr ? error->message : "unknown error";
        if (error != nullptr) g_error_free(error);
        throw std::runtime_error(baseFile + ": " + why);
    }
    rsvg_handle_set_dpi(handle, 96.0);
    return THandle(handle);
}

} // namespace

TSvgCanvas::TSvgCanvas(int width, int height)
    : Width_(width), Height_(height), Surface_(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height))
{
    if (cairo_surface_status(Surface_) != CAIRO_STATUS_SUCCESS) {
        cairo_surface_destroy(Surface_);
        throw std::runtime_error("Cannot make a " + std::to_string(width) + "x" + std::to_string(height) + " canvas");
    }
}

TSvgCanvas::~TSvgCanvas() { cairo_surface_destroy(Surface_); }

void TSvgCanvas::IntrinsicSize(const std::string& svg, const std::string& baseFile, int& width, int& height)
{
    THandle handle = LoadSvg(svg, baseFile);
    gdouble w = 0, h = 0;
    if (!rsvg_handle_get_intrinsic_size_in_pixels(handle.get(), &w, &h) || w <= 0 || h <= 0)
        throw std::runtime_error(baseFile + ": the SVG has no width and height in pixels");
    width = static_cast<int>(std::lround(w));
    height = static_cast<int>(std::lround(h));
}

void TSvgCanvas::DrawSvg(const std::string& svg, const std::string& baseFile, double x, double y, int width,
                         int height)
{
    THandle handle = LoadSvg(svg, baseFile);
    if (width <= 0 || height <= 0) IntrinsicSize(svg, baseFile, width, height);
    cairo_t* cr = cairo_create(Surface_);
    RsvgRectangle viewport{x, y, static_cast<double>(width), static_cast<double>(height)};
    GError* error = nullptr;
    const bool done = rsvg_handle_render_document(handle.get(), cr, &viewport, &error);
    cairo_destroy(cr);
    if (!done) {
        const std::string why = error != nullptr ? error->message : "unknown error";
        if (error != nullptr) g_error_free(error);
        throw std::runtime_error(baseFile + ": " + why);
    }
    cairo_surface_flush(Surface_);
}

void TSvgCanvas::DrawPixels(const TRgbaImage& picture, int sx, int sy, int sw, int sh, double x, double y, int width,
                            int height)
{
    if (sw <= 0 || sh <= 0 || sx < 0 || sy < 0 || sx + sw > picture.Width || sy + sh > picture.Height)
        throw std::runtime_error("picture area out of range");
    cairo_surface_t* source = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, sw, sh);
    unsigned char* data = cairo_image_surface_get_data(source);
    const int stride = cairo_image_surface_get_stride(source);
    for (int row = 0; row < sh; ++row)
        for (int col = 0; col < sw; ++col) {
            const uint32_t p = picture.Pixels[static_cast<size_t>(sy + row) * static_cast<size_t>(picture.Width) +
                                              static_cast<size_t>(sx + col)];
            const uint32_t a = p >> 24;
            auto pre = [a](uint32_t c) { return (c * a + 127) / 255; };
            const uint32_t out = (a << 24) | (pre((p >> 16) & 0xFF) << 16) | (pre((p >> 8) & 0xFF) << 8) | pre(p & 0xFF);
            std::memcpy(data + static_cast<ptrdiff_t>(row) * stride + col * 4, &out, 4);
        }
    cairo_surface_mark_dirty(source);
    cairo_t* cr = cairo_create(Surface_);
    cairo_translate(cr, x, y);
    cairo_scale(cr, static_cast<double>(width) / sw, static_cast<double>(height) / sh);
    cairo_set_source_surface(cr, source, 0, 0);
    // A picture at its own size is copied pixel for pixel.
    cairo_pattern_set_filter(cairo_get_source(cr), width == sw && height == sh ? CAIRO_FILTER_NEAREST : CAIRO_FILTER_GOOD);
    cairo_paint(cr);
    cairo_destroy(cr);
    cairo_surface_destroy(source);
    cairo_surface_flush(Surface_);
}

TRgbaImage TSvgCanvas::Pixels() const
{
    cairo_surface_flush(Surface_);
    TRgbaImage image{Width_, Height_, {}};
    image.Pixels.resize(static_cast<size_t>(Width_) * static_cast<size_t>(Height_));
    const unsigned char* data = cairo_image_surface_get_data(Surface_);
    const int stride = cairo_image_surface_get_stride(Surface_);
    for (int y = 0; y < Height_; ++y) {
        for (int x = 0; x < Width_; ++x) {
            uint32_t p = 0;
            std::memcpy(&p, data + static_cast<ptrdiff_t>(y) * stride + x * 4, 4);
            const uint32_t a = p >> 24;
            uint32_t out = 0;
            if (a == 255) {
                out = p;
            } else if (a != 0) {
                auto un = [a](uint32_t c) { return std::min<uint32_t>(255, (c * 255 + a / 2) / a); };
                out = (a << 24) | (un((p >> 16) & 0xFF) << 16) | (un((p >> 8) & 0xFF) << 8) | un(p & 0xFF);
            }
            image.Pixels[static_cast<size_t>(y) * static_cast<size_t>(Width_) + static_cast<size_t>(x)] = out;
        }
    }
    return image;
}
