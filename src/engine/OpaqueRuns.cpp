// Building the opaque runs of a pattern, once per pattern build.
#include "OpaqueRuns.h"

#include "DirectDrawSurface.h"

#include <algorithm>
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
    const int bits = surface.BitCount();
    const int bpp = surface.PixelFormat().BytesPerPixel();
    const uint32_t key = surface.TransparentKey();
    RowStart_.reserve(static_cast<size_t>(Height_) + 1);
    RowStart_.push_back(0);
    for (int y = rect.Top; y < rect.Bottom; ++y) {
        const uint8_t* p = surface.Row(y) + static_cast<ptrdiff_t>(rect.Left) * bpp;
        int runStart = -1;
        const auto close = [&](int end) {
            Runs_.push_back({static_cast<uint16_t>(runStart), static_cast<uint16_t>(end - runStart)});
            runStart = -1;
        };
        for (int x = 0; x < Width_; ++x, p += bpp) {
            const uint32_t v = ReadPixelValue(p, bits);
            const bool opaque = v != key;
            if (bits == 32 && opaque == ((v & 0x00FFFFFF) == (key & 0x00FFFFFF))) LowBitsDecide_ = false;
            if (opaque) {
                if (runStart < 0) runStart = x;
            } else {
                HasKeyPixel_ = true;
                if (runStart >= 0) close(x);
            }
        }
        if (runStart >= 0) close(Width_);
        RowStart_.push_back(static_cast<uint32_t>(Runs_.size()));
    }
    Runs_.shrink_to_fit();
}

bool TOpaqueRuns::Holds(const TDirectDrawSurface& surface) const
{
    return Valid_ && Surface_ == &surface && Version_ == surface.Version();
}
