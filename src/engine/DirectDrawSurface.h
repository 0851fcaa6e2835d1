// SPDX-License-Identifier: GPL-3.0-or-later
// Software surface: the back surface and every pattern surface. Pixels live
// in one aligned buffer in a direct-colour format of 16, 24 or 32 bits.
#pragma once

#include "OpaqueRuns.h"
#include "PixelFormat.h"
#include "Rect.h"

#include <cstddef>
#include <cstdint>
#include <memory>

class TDirectDrawSurface {
public:
    // Width and height are clamped to at least 1, as a display surface is.
    TDirectDrawSurface(int width, int height, const TPixelFormat& format, bool systemMemory = false);
    ~TDirectDrawSurface();
    TDirectDrawSurface(const TDirectDrawSurface&) = delete;
    TDirectDrawSurface& operator=(const TDirectDrawSurface&) = delete;

    int Width() const { return Width_; }
    int Height() const { return Height_; }
    TRect ClientRect() const { return {0, 0, Width_, Height_}; }
    const TPixelFormat& PixelFormat() const { return Format_; }
    int BitCount() const { return Format_.BitCount; }
    bool SystemMemory() const { return SystemMemory_; }
    // Bytes from one row to the next.
    int Pitch() const { return Pitch_; }

    // Direct pixel access for the engine's own fast paths; readers outside
    // the engine lock first.
    uint8_t* Row(int y)
    {
        ++Version_;
        return Pixels_ + static_cast<ptrdiff_t>(y) * Pitch_;
    }
    const uint8_t* Row(int y) const { return Pixels_ + static_cast<ptrdiff_t>(y) * Pitch_; }

    // Raw pixel value at (x, y); 0 outside the surface.
    uint32_t GetPixel(int x, int y) const;
    void SetPixel(int x, int y, uint32_t value);

    // Pixel value of a colour reference (0x00BBGGRR or a system colour),
    // found as the platform does: painted into the top-left pixel, read
    // back, and the pixel restored.
    uint32_t ColorMatch(uint32_t colorRef);

    // Source colour key, used by keyed Draw and StretchDraw of this surface.
    uint32_t TransparentKey() const { return Key_; }
    void SetTransparentKey(uint32_t pixel)
    {
        ++Version_;
        Key_ = pixel;
    }
    // Changes with every write access to the pixels or the key (Lock is for
    // reading and leaves it), so that what was worked out from the pixels,
    // such as a pattern's opaque runs, knows when it no longer holds.
    uint64_t Version() const { return Version_; }

    // Every pixel takes the raw value.
    void Fill(uint32_t value);
    void FillRect(const TRect& rect, uint32_t value);

    // Copies srcRect of source with its top-left at (x, y), both rectangles
    // clipped together; with transparent, source pixels equal to the source's
    // key are skipped.
    void Draw(int x, int y, const TRect& srcRect, const TDirectDrawSurface& source, bool transparent);
    // Scales srcRect of source to destRect, clipped to this surface.
    void StretchDraw(const TRect& destRect, const TRect& srcRect, const TDirectDrawSurface& source,
                     bool transparent);
    // Keyed Draw and StretchDraw of a frozen pattern through its opaque runs
    // (built from srcRect of source against its key): the same pixels as the
    // key test per pixel, copied a span at a time. Runs that do not fit
    // srcRect, or that the source has changed under since, fall back to the
    // per-pixel test.
    void DrawRuns(int x, int y, const TRect& srcRect, const TDirectDrawSurface& source, const TOpaqueRuns& runs);
    void StretchDrawRuns(const TRect& destRect, const TRect& srcRect, const TDirectDrawSurface& source,
                         const TOpaqueRuns& runs);
    // Adds the colour (0x00BBGGRR) to every pixel of rect, channel by channel,
    // saturating at each channel's maximum.
    void BlendAddRect(const TRect& rect, uint32_t colorRef);

    // Read access for pixel tests. Locking fails while the surface is lost;
    // locks nest and each Lock is paired with one Unlock.
    struct TLockedRect {
        uint8_t* Bits = nullptr;
        int Pitch = 0;
        int Width = 0;
        int Height = 0;
        int BitCount = 0;
    };
    bool Lock(TLockedRect& out);
    void Unlock();
    int LockCount() const { return LockCount_; }

    // A lost surface draws nothing and cannot be locked until restored;
    // its contents are undefined after the loss.
    bool IsLost() const { return Lost_; }
    void MarkLost()
    {
        ++Version_;
        Lost_ = true;
    }
    void Restore() { Lost_ = false; }

    // Fills a w x h area at (x, y) from 0x00RRGGBB pixels (rows of
    // sourceStride pixels), converted to this surface's format.
    void LoadFromRGB(int x, int y, int w, int h, const uint32_t* source, ptrdiff_t sourceStride);

private:
    // Clips a Draw of srcRect at (x, y): dst and src come back the same size.
    bool ClipDraw(int x, int y, const TRect& srcRect, const TDirectDrawSurface& source, TRect& dst, TRect& src) const;

    int Width_;
    int Height_;
    TPixelFormat Format_;
    bool SystemMemory_;
    int Pitch_ = 0;
    uint8_t* Pixels_ = nullptr;
    uint32_t Key_ = 0;
    uint64_t Version_ = 0;
    int LockCount_ = 0;
    bool Lost_ = false;
};

// Reads one pixel value of the given depth from memory (24 bits as B, G, R
// bytes composed to B0 | B1 << 8 | B2 << 16).
uint32_t ReadPixelValue(const uint8_t* p, int bitCount);
