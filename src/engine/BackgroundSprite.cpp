// SPDX-License-Identifier: GPL-3.0-or-later
// Backdrop maps: cell storage, painting (once or tiled) and the cell-wise
// collision test.
#include "BackgroundSprite.h"

#include "EngineErrors.h"
#include "PictureCollection.h"
#include "SpriteEngine.h"

#include <algorithm>

TBackgroundSprite::TBackgroundSprite(TSprite* parent) : TSprite(parent)
{
    Collisioned = false;
}

TBackgroundSprite::~TBackgroundSprite()
{
    SetMapSize(0, 0);
}

void TBackgroundSprite::SetMapSize(int mapWidth, int mapHeight)
{
    if (mapWidth == MapWidth_ && mapHeight == MapHeight_) return;
    if (mapWidth <= 0 || mapHeight <= 0) {
        mapWidth = 0;
        mapHeight = 0;
    }
    const int64_t cells = int64_t{mapWidth} * mapHeight;
    if (cells > MaxMapCells) throw ESpriteError(FormatMessage("Map size too large (%dx%d)", mapWidth, mapHeight));
    Cells_.assign(static_cast<size_t>(cells), 0);
    CollisionMap_.assign(static_cast<size_t>(cells), 1);
    MapWidth_ = mapWidth;
    MapHeight_ = mapHeight;
}

int TBackgroundSprite::Cells(int x, int y) const
{
    return InMap(x, y) ? Cells_[CellIndex(x, y)] : -1;
}

void TBackgroundSprite::SetCells(int x, int y, int value)
{
    if (InMap(x, y)) Cells_[CellIndex(x, y)] = value;
}

bool TBackgroundSprite::CollisionMap(int x, int y) const
{
    return InMap(x, y) && CollisionMap_[CellIndex(x, y)] != 0;
}

void TBackgroundSprite::SetCollisionMap(int x, int y, bool value)
{
    if (InMap(x, y)) CollisionMap_[CellIndex(x, y)] = value ? 1 : 0;
}

bool TBackgroundSprite::CellSize(int64_t& cellWidth, int64_t& cellHeight) const
{
    if (Image == nullptr) return false;
    const TRect pattern = Image->PatternRect(0);
    if (pattern.IsEmpty()) return false;
    cellWidth = pattern.Width();
    cellHeight = pattern.Height();
    return true;
}

bool TBackgroundSprite::CoversSurface() const
{
    int64_t cw = 0;
    int64_t ch = 0;
    if (!Tile || !Visible || Image == nullptr || MapWidth_ <= 0 || MapHeight_ <= 0 || !CellSize(cw, ch)) return false;
    // Each cell's pattern must fill its cell and draw all its pixels.
    for (const int cell : Cells_) {
        const TRect pattern = Image->PatternRect(cell);
        if (!Image->PatternOpaque(cell) || pattern.Width() != cw || pattern.Height() != ch) return false;
    }
    return true;
}

void TBackgroundSprite::DoDraw()
{
    if (Image == nullptr || MapWidth_ <= 0 || MapHeight_ <= 0 || Engine() == nullptr) return;
    TDirectDrawSurface* surface = Engine()->Surface();
    int64_t cw = 0;
    int64_t ch = 0;
    if (surface == nullptr || !CellSize(cw, ch)) return;

    const TRect& surfaceRect = Engine()->SurfaceRect();
    const int64_t nx = (surfaceRect.Right + cw) / cw + 1;
    const int64_t ny = (surfaceRect.Bottom + ch) / ch + 1;
    const int64_t x = TruncateToInt(WorldX());
    const int64_t y = TruncateToInt(WorldY());
    const int64_t ox = x % cw;
    const int64_t oy = y % ch;
    int64_t sx = x / cw;
    int64_t sy = y / ch;
    int64_t kx = 0;
    int64_t ky = 0;
    if (sx < 0) {
        kx = -sx;
        sx = 0;
    }
    if (sy < 0) {
        ky = -sy;
        sy = 0;
    }

    const auto drawCell = [&](int64_t column, int64_t row, int64_t c, int64_t r) {
        const int v = Cells(static_cast<int>(column), static_cast<int>(row));
        if (v >= 0) Image->Draw(*surface, SaturateToInt(c * cw + ox), SaturateToInt(r * ch + oy), v);
    };

    if (Tile) {
        for (int64_t r = -1; r <= ny; ++r)
            for (int64_t c = -1; c <= nx; ++c)
                drawCell(WrapIndex(c - sx + kx, MapWidth_), WrapIndex(r - sy + ky, MapHeight_), c, r);
    } else {
        const int64_t ex = std::min(sx + MapWidth_ - kx, nx);
        const int64_t ey = std::min(sy + MapHeight_ - ky, ny);
        for (int64_t r = sy; r < ey; ++r)
            for (int64_t c = sx; c < ex; ++c) drawCell(c - sx + kx, r - sy + ky, c, r);
    }
}

TRect TBackgroundSprite::BoundsRect()
{
    if (Tile) return Engine() != nullptr ? Engine()->SurfaceRect() : TRect{};
    if (Image == nullptr) return {};
    const int64_t left = TruncateToInt(WorldX());
    const int64_t top = TruncateToInt(WorldY());
    return {SaturateToInt(left), SaturateToInt(top), SaturateToInt(left + int64_t{Image->Width()} * MapWidth_),
            SaturateToInt(top + int64_t{Image->Height()} * MapHeight_)};
}

bool TBackgroundSprite::TestCollision(TSprite* sprite)
{
    int64_t cw = 0;
    int64_t ch = 0;
    if (sprite == nullptr || MapWidth_ <= 0 || MapHeight_ <= 0 || !CellSize(cw, ch)) return true;

    const int64_t x = TruncateToInt(WorldX());
    const int64_t y = TruncateToInt(WorldY());
    const TRect other = sprite->BoundsRect();
    const TRect common = IntersectRect(BoundsRect(), other);
    // Both in map coordinates.
    const int64_t otherLeft = other.Left - x;
    const int64_t otherTop = other.Top - y;
    const int64_t otherRight = other.Right - x;
    const int64_t otherBottom = other.Bottom - y;
    const int64_t left = common.Left - x;
    const int64_t top = common.Top - y;
    const int64_t right = common.Right - x;
    const int64_t bottom = common.Bottom - y;

    // The common part lies inside this sprite's rectangle, which bounds the
    // number of cells looked at.
    for (int64_t row = (top - ch + 1) / ch; row <= bottom / ch; ++row) {
        for (int64_t column = (left - cw + 1) / cw; column <= right / cw; ++column) {
            if (!CollisionMap(static_cast<int>(WrapIndex(column, MapWidth_)),
                              static_cast<int>(WrapIndex(row, MapHeight_))))
                continue;
            const int64_t cellLeft = column * cw;
            const int64_t cellTop = row * ch;
            if (cellLeft < otherRight && cellLeft + cw > otherLeft && cellTop < otherBottom && cellTop + ch > otherTop)
                return true;
        }
    }
    return false;
}
