// SPDX-License-Identifier: GPL-3.0-or-later
// Image sprites: frame animation, painting of the current pattern, tiling
// of the rectangle and the pixel-exact collision test.
#include "ImageSprite.h"

#include "PictureCollection.h"
#include "SpriteEngine.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

// A pixel as the collision test compares it with the surface's key.
template <int Bits>
uint32_t TestPixel(const uint8_t* p)
{
    if constexpr (Bits == 8) {
        return p[0];
    } else if constexpr (Bits == 16) {
        uint16_t v;
        std::memcpy(&v, p, sizeof v);
        return v;
    } else if constexpr (Bits == 24) {
        return (uint32_t{p[0]} << 16) | (uint32_t{p[1]} << 8) | p[2];
    } else {
        uint32_t v;
        std::memcpy(&v, p, sizeof v);
        return v & 0x00FFFFFF;
    }
}

// The surface's key in the form TestPixel composes: at 24 bits the bytes
// are read high byte first, so the key is turned the same way round, or a
// key whose blue and red differ would never match.
uint32_t TestKey(int bits, uint32_t key)
{
    if (bits == 24) return ((key & 0xFF) << 16) | (key & 0xFF00) | ((key >> 16) & 0xFF);
    if (bits == 32) return key & 0x00FFFFFF;
    return key;
}

// One side of the pixel test: where the common area starts on the locked
// surface (may lie partly outside it) and the key of that surface.
struct TScanSide {
    const TDirectDrawSurface::TLockedRect* Locked;
    int64_t Left;
    int64_t Top;
    uint32_t Key;
};

// Scans columns [c0, c1) and rows [r0, r1) of the common area; the caller has
// clipped the range so that both sides read inside their surfaces.
template <int Bits>
bool ScanForSolidPair(const TScanSide& a, const TScanSide& b, int64_t c0, int64_t c1, int64_t r0, int64_t r1)
{
    constexpr int64_t bytes = Bits / 8;
    for (int64_t r = r0; r < r1; ++r) {
        const uint8_t* pa = a.Locked->Bits + (a.Top + r) * a.Locked->Pitch + (a.Left + c0) * bytes;
        const uint8_t* pb = b.Locked->Bits + (b.Top + r) * b.Locked->Pitch + (b.Left + c0) * bytes;
        for (int64_t c = c0; c < c1; ++c, pa += bytes, pb += bytes) {
            if (TestPixel<Bits>(pa) != a.Key && TestPixel<Bits>(pb) != b.Key) return true;
        }
    }
    return false;
}

// Whether two rows of opaque runs share a column of the common area [0, w);
// column c of the common area is column c + offsetA of row a's pattern.
bool RunsMeet(std::span<const TOpaqueRun> a, int64_t offsetA, std::span<const TOpaqueRun> b, int64_t offsetB, int64_t w)
{
    size_t i = 0;
    size_t j = 0;
    while (i < a.size() && j < b.size()) {
        const int64_t aEnd = int64_t{a[i].Start} + a[i].Length - offsetA;
        const int64_t bEnd = int64_t{b[j].Start} + b[j].Length - offsetB;
        const int64_t from = std::max({int64_t{a[i].Start} - offsetA, int64_t{b[j].Start} - offsetB, int64_t{0}});
        if (from < std::min({aEnd, bEnd, w})) return true;
        if (aEnd < bEnd)
            ++i;
        else
            ++j;
    }
    return false;
}

// Narrows [from, to) to the offsets c for which start + c lies inside [0, limit).
void ClipSpan(int64_t start, int64_t limit, int64_t& from, int64_t& to)
{
    from = std::max(from, -start);
    to = std::min(to, limit - start);
}

} // namespace

TImageSprite::TImageSprite(TSprite* parent) : TSprite(parent) {}

void TImageSprite::TakeImage(TPictureCollectionItem& image)
{
    Image = &image;
    Width = image.Width();
    Height = image.Height();
}

int TImageSprite::PatternIndex() const
{
    return SaturateToInt(int64_t{AnimStart} + TruncateToInt(AnimPos));
}

void TImageSprite::DrawOrigin(int& x, int& y)
{
    const TRect r = BoundsRect();
    x = SaturateToInt(r.Left + (int64_t{Width} - Image->Width()) / 2);
    y = SaturateToInt(r.Top + (int64_t{Height} - Image->Height()) / 2);
}

void TImageSprite::DoDraw()
{
    if (Image == nullptr || Engine() == nullptr || Engine()->Surface() == nullptr) return;
    int x = 0;
    int y = 0;
    DrawOrigin(x, y);
    Image->Draw(*Engine()->Surface(), x, y, PatternIndex());
}

void TImageSprite::DoMove(int moveCount)
{
    AnimPos += AnimSpeed * moveCount;
    if (AnimLooped) {
        if (AnimCount > 0) {
            AnimPos -= std::trunc(AnimPos / AnimCount) * AnimCount;
            if (AnimPos < 0) AnimPos += AnimCount;
            // A tiny negative remainder can round up to AnimCount itself.
            if (AnimPos >= AnimCount) AnimPos = 0;
        } else {
            AnimPos = 0;
        }
    } else {
        if (AnimPos >= AnimCount) {
            AnimPos = AnimCount - 1;
            AnimSpeed = 0;
        }
        if (AnimPos < 0) {
            AnimPos = 0;
            AnimSpeed = 0;
        }
    }
}

TRect TImageSprite::BoundsRect()
{
    const TRect r = TSprite::BoundsRect();
    if (!Tile || Engine() == nullptr) return r;
    const TRect& surfaceRect = Engine()->SurfaceRect();
    // A sprite that leaves one edge comes back in at the other.
    const auto wrap = [](int64_t pos, int64_t edge, int64_t size) {
        const int64_t period = edge + size;
        if (period <= 0) return pos;
        int64_t wrapped = WrapIndex(pos, period);
        if (wrapped > edge) wrapped = wrapped - edge - size;
        return wrapped;
    };
    const int64_t left = wrap(r.Left, surfaceRect.Right, Width);
    const int64_t top = wrap(r.Top, surfaceRect.Bottom, Height);
    return {SaturateToInt(left), SaturateToInt(top), SaturateToInt(left + Width), SaturateToInt(top + Height)};
}

bool TImageSprite::TestCollision(TSprite* sprite)
{
    if (!PixelCheck) return true;
    auto* other = dynamic_cast<TImageSprite*>(sprite);
    if (other == nullptr) return true;
    return PixelsMeet(*other);
}

bool TImageSprite::PixelsMeet(TImageSprite& other)
{
    struct TPatternView {
        TRect Rect;
        TDirectDrawSurface* Surface = nullptr;
        int64_t X = 0;
        int64_t Y = 0;
        int64_t W = 0;
        int64_t H = 0;
    };
    const auto view = [](TImageSprite& sprite) {
        TPatternView v;
        if (sprite.Image == nullptr) return v;
        const int index = sprite.PatternIndex();
        v.Surface = sprite.Image->PatternSurface(index);
        if (v.Surface == nullptr) return v;
        v.Rect = sprite.Image->PatternRect(index);
        int x = 0;
        int y = 0;
        sprite.DrawOrigin(x, y);
        v.X = x;
        v.Y = y;
        v.W = std::max(v.Rect.Width(), 0);
        v.H = std::max(v.Rect.Height(), 0);
        return v;
    };
    const TPatternView p1 = view(*this);
    const TPatternView p2 = view(other);

    // Pattern 2 in pattern 1's coordinates.
    const int64_t dx = p2.X - p1.X;
    const int64_t dy = p2.Y - p1.Y;
    if (!(dx < p1.W && dx + p2.W > 0 && dy < p1.H && dy + p2.H > 0 && p1.W > 0 && p1.H > 0 && p2.W > 0 && p2.H > 0))
        return false;

    const int64_t start1X = std::min(std::max<int64_t>(dx, 0), p1.W);
    const int64_t start1Y = std::min(std::max<int64_t>(dy, 0), p1.H);
    const int64_t start2X = std::min(std::max<int64_t>(-dx, 0), p2.W);
    const int64_t start2Y = std::min(std::max<int64_t>(-dy, 0), p2.H);
    const int64_t commonW = std::min(p1.W - start1X, p2.W - start2X);
    const int64_t commonH = std::min(p1.H - start1Y, p2.H - start2Y);

    TDirectDrawSurface::TLockedRect locked1;
    TDirectDrawSurface::TLockedRect locked2;
    if (!p1.Surface->Lock(locked1)) return false;
    const bool sameSurface = p1.Surface == p2.Surface;
    if (sameSurface) {
        locked2 = locked1;
    } else if (!p2.Surface->Lock(locked2)) {
        p1.Surface->Unlock();
        return false;
    }

    // Runs sit inside their patterns, so they need no clipping to the surfaces.
    const TOpaqueRuns* runs1 = Image->PatternRuns(PatternIndex());
    const TOpaqueRuns* runs2 = other.Image->PatternRuns(other.PatternIndex());
    const bool byRuns = runs1 != nullptr && runs2 != nullptr && runs1->Width() == p1.W && runs1->Height() == p1.H &&
                        runs2->Width() == p2.W && runs2->Height() == p2.H &&
                        (locked1.BitCount != 32 || (runs1->LowBitsDecide() && runs2->LowBitsDecide()));

    bool result = false;
    if (locked1.BitCount != locked2.BitCount) {
        result = true;
    } else if (byRuns) {
        for (int64_t r = 0; r < commonH && !result; ++r)
            result = RunsMeet(runs1->Row(static_cast<int>(start1Y + r)), start1X, runs2->Row(static_cast<int>(start2Y + r)),
                              start2X, commonW);
    } else {
        const TScanSide side1{&locked1, p1.Rect.Left + start1X, p1.Rect.Top + start1Y, TestKey(locked1.BitCount, p1.Surface->TransparentKey())};
        const TScanSide side2{&locked2, p2.Rect.Left + start2X, p2.Rect.Top + start2Y, TestKey(locked2.BitCount, p2.Surface->TransparentKey())};
        // A pixel outside its surface is never solid, so the scan keeps to the
        // part of the common area that both surfaces really hold.
        int64_t c0 = 0;
        int64_t c1 = commonW;
        int64_t r0 = 0;
        int64_t r1 = commonH;
        ClipSpan(side1.Left, locked1.Width, c0, c1);
        ClipSpan(side2.Left, locked2.Width, c0, c1);
        ClipSpan(side1.Top, locked1.Height, r0, r1);
        ClipSpan(side2.Top, locked2.Height, r0, r1);
        if (c0 < c1 && r0 < r1 && locked1.Bits != nullptr && locked2.Bits != nullptr) {
            switch (locked1.BitCount) {
            case 8: result = ScanForSolidPair<8>(side1, side2, c0, c1, r0, r1); break;
            case 16: result = ScanForSolidPair<16>(side1, side2, c0, c1, r0, r1); break;
            case 24: result = ScanForSolidPair<24>(side1, side2, c0, c1, r0, r1); break;
            case 32: result = ScanForSolidPair<32>(side1, side2, c0, c1, r0, r1); break;
            default: break;
            }
        }
    }

    if (!sameSurface) p2.Surface->Unlock();
    p1.Surface->Unlock();
    return result;
}
