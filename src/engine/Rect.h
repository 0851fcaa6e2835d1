// SPDX-License-Identifier: GPL-3.0-or-later
// Integer rectangle with exclusive right and bottom edges, as the sprite
// engine and the surfaces use it.
#pragma once

#include <algorithm>

struct TRect {
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;

    constexpr int Width() const { return Right - Left; }
    constexpr int Height() const { return Bottom - Top; }
    constexpr bool IsEmpty() const { return Left >= Right || Top >= Bottom; }
    constexpr bool operator==(const TRect&) const = default;

    constexpr TRect Offset(int dx, int dy) const { return {Left + dx, Top + dy, Right + dx, Bottom + dy}; }
};

constexpr TRect Bounds(int left, int top, int width, int height)
{
    return {left, top, left + width, top + height};
}

// Strict overlap: rectangles that only touch along an edge do not overlap,
// and an empty rectangle overlaps nothing.
constexpr bool OverlapRect(const TRect& a, const TRect& b)
{
    return a.Left < b.Right && a.Right > b.Left && a.Top < b.Bottom && a.Bottom > b.Top;
}

// The common part of two rectangles; empty (all zero) when they do not overlap.
constexpr TRect IntersectRect(const TRect& a, const TRect& b)
{
    TRect r{std::max(a.Left, b.Left), std::max(a.Top, b.Top), std::min(a.Right, b.Right),
            std::min(a.Bottom, b.Bottom)};
    if (r.IsEmpty()) return {};
    return r;
}
