// SPDX-License-Identifier: GPL-3.0-or-later
// A sprite that shows one pattern of a named image and steps through the
// image's patterns as an animation; the base of every game object.
#pragma once

#include "Sprite.h"

class TPictureCollectionItem;

class TImageSprite : public TSprite {
public:
    const char* ClassName() const override { return "TImageSprite"; }
    explicit TImageSprite(TSprite* parent);

    int AnimCount = 0;
    bool AnimLooped = false;
    double AnimPos = 0.0;
    // Frames advanced per unit of move count.
    double AnimSpeed = 0.0;
    // Pattern index of frame 0.
    int AnimStart = 0;
    // Not owned; the image library keeps it.
    TPictureCollectionItem* Image = nullptr;
    // Collide only where solid pixels of both patterns meet.
    bool PixelCheck = false;
    // Wrap the rectangle around the surface.
    bool Tile = false;

    // Shows the image, and takes its pattern size as the sprite's size.
    void TakeImage(TPictureCollectionItem& image);

    // Pattern shown now: AnimStart + truncated AnimPos.
    int PatternIndex() const;
    void DoDraw() override;
    void DoMove(int moveCount) override;
    TRect BoundsRect() override;
    bool TestCollision(TSprite* sprite) override;

private:
    // Top-left corner of the drawn pattern: the image is centred on the
    // sprite's rectangle. Needs an Image.
    void DrawOrigin(int& x, int& y);
    // Whether solid pixels of this sprite's pattern meet those of other's.
    bool PixelsMeet(TImageSprite& other);
};
