// SPDX-License-Identifier: GPL-3.0-or-later
// Pixel layouts of software surfaces and the conversion of colours to and
// from raw pixel values.
#pragma once

#include <cstdint>

// A direct-colour layout: 16 (RGB565 or RGB555), 24 (bytes B, G, R) or 32 bits
// (XRGB8888, X always 0). Colours are given as 0x00RRGGBB unless named
// otherwise; a "colour reference" is the 0x00BBGGRR form of the library files.
struct TPixelFormat {
    int BitCount = 32;
    uint32_t RMask = 0x00FF0000;
    uint32_t GMask = 0x0000FF00;
    uint32_t BMask = 0x000000FF;

    static constexpr TPixelFormat XRGB8888() { return {32, 0x00FF0000, 0x0000FF00, 0x000000FF}; }
    static constexpr TPixelFormat RGB888() { return {24, 0x00FF0000, 0x0000FF00, 0x000000FF}; }
    static constexpr TPixelFormat RGB565() { return {16, 0xF800, 0x07E0, 0x001F}; }
    static constexpr TPixelFormat RGB555() { return {16, 0x7C00, 0x03E0, 0x001F}; }

    constexpr int BytesPerPixel() const { return BitCount / 8; }
    constexpr bool operator==(const TPixelFormat&) const = default;

    // 0x00RRGGBB to this format's pixel value (channels truncated to the mask).
    uint32_t RGBToPixel(uint32_t rgb) const;
    // A pixel value back to 0x00RRGGBB, narrow channels widened by bit replication.
    uint32_t PixelToRGB(uint32_t pixel) const;
    // The largest value of every channel, in place (the saturation limits).
    uint32_t ChannelMax() const { return RMask | GMask | BMask; }
};

// Shift and width of a contiguous channel mask.
struct TChannel {
    int Shift = 0;
    int Bits = 0;
};
TChannel ChannelOf(uint32_t mask);
