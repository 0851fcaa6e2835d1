// SPDX-License-Identifier: GPL-3.0-or-later
// Device-independent bitmap: decoded from the library's "TDIB" and
// "TBitmap" picture forms, and written back for our own tools.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

// Largest picture the readers accept; anything bigger is treated as damage.
inline constexpr int kMaxDibSide = 32768;
inline constexpr int64_t kMaxDibPixels = int64_t{1} << 25;

class TDIB {
public:
    int Width = 0;
    int Height = 0;
    // Bits per pixel as stored in the file (1, 4, 8, 16, 24 or 32).
    int BitCount = 0;
    // Colour table as read (0x00RRGGBB each); its size is the real colour count.
    std::vector<uint32_t> Palette;
    // Decoded pixels, top row first, 0x00RRGGBB each.
    std::vector<uint32_t> Pixels;

    uint32_t Pixel(int x, int y) const { return Pixels[static_cast<size_t>(y) * static_cast<size_t>(Width) + static_cast<size_t>(x)]; }

    // A bitmap without its 14-byte file header: a 12- or 40-byte information
    // header, masks for compression 3, the colour table, then the rows.
    // Throws EInvalidGraphic("DIB is invalid") on any damage. Pixels that
    // run-length data never reaches show palette entry 0; indices past the
    // colour table show black.
    static TDIB LoadFromDIB(std::span<const uint8_t> data);
    // A whole bitmap file ("BM" file header; pixel rows found by its offset).
    // Also takes the later information headers (52, 56, 108, 124 bytes).
    static TDIB LoadFromBitmapFile(std::span<const uint8_t> data);

    // Encodes as a DIB without file header: 8 bits with a palette when the
    // picture has at most 256 colours (run-length coded when that is smaller),
    // else 24 bits. Palette order follows first appearance in the pixels.
    // Throws EInvalidGraphic("DIB is invalid") when the size is out of range
    // or does not match the pixel count.
    static std::vector<uint8_t> EncodeDIB(int width, int height, const std::vector<uint32_t>& pixels);
};
