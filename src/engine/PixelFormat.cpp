// SPDX-License-Identifier: GPL-3.0-or-later
// Colour conversion between 0x00RRGGBB and raw pixel values.
#include "PixelFormat.h"

#include <bit>

TChannel ChannelOf(uint32_t mask)
{
    if (mask == 0) return {};
    const int shift = std::countr_zero(mask);
    return {shift, std::countr_one(mask >> shift)};
}

namespace {

uint32_t PackChannel(uint32_t value8, uint32_t mask)
{
    const TChannel c = ChannelOf(mask);
    if (c.Bits == 0) return 0;
    uint32_t v = c.Bits >= 8 ? value8 << (c.Bits - 8) : value8 >> (8 - c.Bits);
    return (v << c.Shift) & mask;
}

uint32_t UnpackChannel(uint32_t pixel, uint32_t mask)
{
    const TChannel c = ChannelOf(mask);
    if (c.Bits == 0) return 0;
    uint32_t v = (pixel & mask) >> c.Shift;
    if (c.Bits >= 8) return v >> (c.Bits - 8);
    // Replicate the high bits so that full scale maps to 255.
    uint32_t out = 0;
    int filled = 0;
    while (filled < 8) {
        out = (out << c.Bits) | v;
        filled += c.Bits;
    }
    return out >> (filled - 8);
}

} // namespace

uint32_t TPixelFormat::RGBToPixel(uint32_t rgb) const
{
    return PackChannel((rgb >> 16) & 0xFF, RMask) | PackChannel((rgb >> 8) & 0xFF, GMask) |
           PackChannel(rgb & 0xFF, BMask);
}

uint32_t TPixelFormat::PixelToRGB(uint32_t pixel) const
{
    return (UnpackChannel(pixel, RMask) << 16) | (UnpackChannel(pixel, GMask) << 8) |
           UnpackChannel(pixel, BMask);
}
