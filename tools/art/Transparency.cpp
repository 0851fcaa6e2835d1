// SPDX-License-Identifier: GPL-3.0-or-later
// Edge flattening and column trimming.
#include "Transparency.h"

#include <algorithm>
#include <cstddef>

namespace {

uint32_t Over(uint32_t pixel, uint32_t backgroundRgb)
{
    const uint32_t a = pixel >> 24;
    auto mix = [a](uint32_t fg, uint32_t bg) { return (fg * a + bg * (255 - a) + 127) / 255; };
    const uint32_t r = mix((pixel >> 16) & 0xFF, (backgroundRgb >> 16) & 0xFF);
    const uint32_t g = mix((pixel >> 8) & 0xFF, (backgroundRgb >> 8) & 0xFF);
    const uint32_t b = mix(pixel & 0xFF, backgroundRgb & 0xFF);
    return 0xFF000000u | (r << 16) | (g << 8) | b;
}

} // namespace

void FlattenEdges(TRgbaImage& image, uint32_t edgeRgb)
{
    for (uint32_t& p : image.Pixels) p = (p >> 24) >= kOpaqueAlpha ? Over(p, edgeRgb) : 0;
}

void FlattenOpaque(TRgbaImage& image, uint32_t backgroundRgb)
{
    for (uint32_t& p : image.Pixels) p = Over(p, backgroundRgb);
}

TRgbaImage TrimColumns(const TRgbaImage& image, int pad)
{
    int first = image.Width, last = -1;
    for (int y = 0; y < image.Height; ++y) {
        for (int x = 0; x < image.Width; ++x) {
            if ((image.Pixels[static_cast<size_t>(y) * static_cast<size_t>(image.Width) + static_cast<size_t>(x)] >> 24) <
                kOpaqueAlpha)
                continue;
            first = std::min(first, x);
            last = std::max(last, x);
        }
    }
    if (last < 0) return image;
    first = std::max(0, first - pad);
    last = std::min(image.Width - 1, last + pad);
    TRgbaImage out{last - first + 1, image.Height, {}};
    out.Pixels.reserve(static_cast<size_t>(out.Width) * static_cast<size_t>(out.Height));
    for (int y = 0; y < image.Height; ++y) {
        const auto row = image.Pixels.begin() + static_cast<ptrdiff_t>(y) * image.Width;
        out.Pixels.insert(out.Pixels.end(), row + first, row + last + 1);
    }
    return out;
}

void SetOnGround(TRgbaImage& image)
{
    int lowest = -1;
    for (int y = image.Height - 1; y >= 0 && lowest < 0; --y)
        for (int x = 0; x < image.Width; ++x)
            if ((image.Pixels[static_cast<size_t>(y) * static_cast<size_t>(image.Width) + static_cast<size_t>(x)] >> 24) >=
                kOpaqueAlpha) {
                lowest = y;
                break;
            }
    const int shift = lowest < 0 ? 0 : image.Height - 1 - lowest;
    if (shift == 0) return;
    const size_t w = static_cast<size_t>(image.Width);
    std::copy_backward(image.Pixels.begin(), image.Pixels.end() - static_cast<ptrdiff_t>(shift * w), image.Pixels.end());
    std::fill(image.Pixels.begin(), image.Pixels.begin() + static_cast<ptrdiff_t>(shift * w), 0u);
}
