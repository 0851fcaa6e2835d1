// SPDX-License-Identifier: GPL-3.0-or-later
// Building the opaque runs of a pattern, once per pattern build.
#include "OpaqueRuns.h"

#include "DirectDrawSurface.h"

#include <cstring>
#include <limits>

TOpaqueRuns::TOpaqueRuns(const TDirectDrawSurface& surface, const TRect& rect)
{
    constexpr int kLongest = std::numeric_limits<uint16_t>::max();
    if (rect.IsEmpty() || rect.Left < 0 || rect.Top < 0 || rect.Right > surface.Width() ||
        rect.Bottom > surface.Height() || rect.Width() > kLongest)
        return;
    Valid_ = true;
    Surface_ = &surface;
    Version_ = surface.Version();
    Width_ = rect.Width();
    Height_ = rect.Height();
    RowStart_.reserve(static_cast<size_t>(Height_) + 1);
    RowStart_.push_back(0);
    switch (surface.BitCount()) {
    case 16: Scan<uint16_t>(surface, rect); break;
    case 24: Scan<TPixel24>(surface, rect); break;
    default: Scan<uint32_t>(surface, rect); break;
    }
    Runs_.shrink_to_fit();
}

template <typename T>
void TOpaqueRuns::Scan(const TDirectDrawSurface& surface, const TRect& rect)
{
    // Every pattern pixel of the library is read here once per build, so
    // the loop reads the depth it knows instead of asking per pixel.
    const uint32_t key = surface.TransparentKey();
    for (int y = rect.Top; y < rect.Bottom; ++y) {
        const uint8_t* p = surface.Row(y) + static_cast<ptrdiff_t>(rect.Left) * static_cast<ptrdiff_t>(sizeof(T));
        int runStart = -1;
        for (int x = 0; x < Width_; ++x, p += sizeof(T)) {
            T raw;
            std::memcpy(&raw, p, sizeof raw);
            const uint32_t v = static_cast<uint32_t>(raw);
            const bool opaque = v != key;
            if constexpr (sizeof(T) == 4) {
                if (opaque == ((v & 0x00FFFFFF) == (key & 0x00FFFFFF))) LowBitsDecide_ = false;
            }
            if (opaque) {
                if (runStart < 0) runStart = x;
            } else {
                HasKeyPixel_ = true;
                if (runStart >= 0) {
                    Runs_.push_back({static_cast<uint16_t>(runStart), static_cast<uint16_t>(x - runStart)});
                    runStart = -1;
                }
            }
        }
        if (runStart >= 0) Runs_.push_back({static_cast<uint16_t>(runStart), static_cast<uint16_t>(Width_ - runStart)});
        RowStart_.push_back(static_cast<uint32_t>(Runs_.size()));
    }
}

bool TOpaqueRuns::Holds(const TDirectDrawSurface& surface) const
{
    return Valid_ && Surface_ == &surface && Version_ == surface.Version();
}
