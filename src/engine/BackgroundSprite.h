// SPDX-License-Identifier: GPL-3.0-or-later
// A backdrop: a map of cells, each showing one pattern of an image, painted
// once or repeated endlessly over the whole surface.
#pragma once

#include "Sprite.h"

#include <cstdint>
#include <vector>

class TPictureCollectionItem;

class TBackgroundSprite : public TSprite {
public:
    const char* ClassName() const override { return "TBackgroundSprite"; }
    // Largest map SetMapSize accepts; the game's maps are 1 x 1.
    static constexpr int64_t MaxMapCells = int64_t{1} << 22;

    // Created not collisioned.
    explicit TBackgroundSprite(TSprite* parent);
    ~TBackgroundSprite() override;

    // Not owned. The size of its pattern 0 is the size of one cell.
    TPictureCollectionItem* Image = nullptr;
    // Repeat the map over the whole surface.
    bool Tile = false;

    int MapWidth() const { return MapWidth_; }
    int MapHeight() const { return MapHeight_; }
    // A new size starts with every cell showing pattern 0 and colliding; a
    // side of 0 or less empties the map. ESpriteError beyond MaxMapCells.
    void SetMapSize(int mapWidth, int mapHeight);

    // Pattern index of a cell; -1 outside the map, and a negative value
    // leaves the cell empty.
    int Cells(int x, int y) const;
    void SetCells(int x, int y, int value);
    // Whether a cell collides; false outside the map.
    bool CollisionMap(int x, int y) const;
    void SetCollisionMap(int x, int y, bool value);

    // Whether painting it sets every pixel of the surface: tiled, visible,
    // and every cell an opaque pattern. What was on the surface before is
    // then never seen.
    bool CoversSurface() const;

    void DoDraw() override;
    TRect BoundsRect() override;
    bool TestCollision(TSprite* sprite) override;

private:
    bool InMap(int x, int y) const { return x >= 0 && y >= 0 && x < MapWidth_ && y < MapHeight_; }
    size_t CellIndex(int x, int y) const
    {
        return static_cast<size_t>(x) + static_cast<size_t>(y) * static_cast<size_t>(MapWidth_);
    }
    // Size of one cell (pattern 0); false when the image has no usable pattern 0.
    bool CellSize(int64_t& cellWidth, int64_t& cellHeight) const;

    std::vector<uint8_t> CollisionMap_;
    std::vector<int> Cells_;
    int MapWidth_ = 0;
    int MapHeight_ = 0;
};
