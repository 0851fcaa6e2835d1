// SPDX-License-Identifier: GPL-3.0-or-later
// The opaque runs of a pattern: for every row, the spans of pixels that
// differ from the surface's transparent key. Patterns never change once
// built, so keyed and stretched draws copy whole spans and the pixel test
// intersects spans instead of comparing every pixel with the key.
#pragma once

#include "Rect.h"

#include <cstdint>
#include <span>
#include <vector>

class TDirectDrawSurface;

// Three bytes of a 24-bit pixel, read as ReadPixelValue composes them.
struct TPixel24 {
    uint8_t B0, B1, B2;
    explicit operator uint32_t() const { return uint32_t{B0} | (uint32_t{B1} << 8) | (uint32_t{B2} << 16); }
};

struct TOpaqueRun {
    uint16_t Start = 0;
    uint16_t Length = 0;
};

class TOpaqueRuns {
public:
    TOpaqueRuns() = default;
    // Scans rect of surface against the surface's key as it is now; a rect
    // that is not wholly inside the surface, or wider than a 16-bit
    // column, gives no runs (Valid false).
    TOpaqueRuns(const TDirectDrawSurface& surface, const TRect& rect);

    bool Valid() const { return Valid_; }
    // Valid and built from surface as it still is.
    bool Holds(const TDirectDrawSurface& surface) const;
    int Width() const { return Width_; }
    int Height() const { return Height_; }
    // Runs of row y (0 at the rect's top), left to right, never touching.
    std::span<const TOpaqueRun> Row(int y) const
    {
        const auto row = static_cast<size_t>(y);
        return {Runs_.data() + RowStart_[row], Runs_.data() + RowStart_[row + 1]};
    }
    // Some pixel of the rect takes the key.
    bool HasKeyPixel() const { return HasKeyPixel_; }
    // Every pixel compares equal to the key whether read whole or by its low
    // 24 bits (the pixel test's way at 32 bits); false only for pixels that
    // carry a padding byte, which our own patterns never do.
    bool LowBitsDecide() const { return LowBitsDecide_; }

private:
    template <typename T>
    void Scan(const TDirectDrawSurface& surface, const TRect& rect);

    int Width_ = 0;
    int Height_ = 0;
    bool Valid_ = false;
    bool HasKeyPixel_ = false;
    bool LowBitsDecide_ = true;
    const TDirectDrawSurface* Surface_ = nullptr;
    uint64_t Version_ = 0;
    std::vector<uint32_t> RowStart_;
    std::vector<TOpaqueRun> Runs_;
};
