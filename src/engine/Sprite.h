// SPDX-License-Identifier: GPL-3.0-or-later
// Base node of the sprite tree: position, size, depth order, the three passes
// (move, paint, collision) and the deferred destruction that keeps child
// lists valid while a pass walks them.
#pragma once

#include "Rect.h"

#include <climits>
#include <cmath>
#include <cstdint>
#include <vector>

class TSpriteEngine;

// Truncation toward zero that saturates at the int range (NaN gives 0), so a
// wild position can never make an undefined conversion.
inline int TruncateToInt(double value)
{
    if (value != value) return 0;
    if (value <= static_cast<double>(INT_MIN)) return INT_MIN;
    if (value >= static_cast<double>(INT_MAX)) return INT_MAX;
    return static_cast<int>(value);
}

// Rounding to the nearest integer with ties to even, saturating: how the
// game turns every position and animation frame into whole pixels.
inline int RoundToInt(double value)
{
    return TruncateToInt(std::nearbyint(value));
}

// Narrows a 64-bit intermediate to int, saturating.
inline int SaturateToInt(int64_t value)
{
    if (value < INT_MIN) return INT_MIN;
    if (value > INT_MAX) return INT_MAX;
    return static_cast<int>(value);
}

// Wrap(a, n) for n > 0: a mod n moved into 0 .. n - 1.
inline int64_t WrapIndex(int64_t a, int64_t n)
{
    const int64_t r = a % n;
    return r < 0 ? r + n : r;
}

class TSprite {
public:
    // Attaches the new sprite under parent (the root for every game sprite);
    // without a parent the sprite is a root of its own.
    explicit TSprite(TSprite* parent);
    // Destroys the children (last attached first), then detaches.
    virtual ~TSprite();
    TSprite(const TSprite&) = delete;
    TSprite& operator=(const TSprite&) = delete;

    bool Collisioned = true;
    bool Moved = true;
    bool Visible = true;
    double X = 0.0;
    double Y = 0.0;
    int Width = 0;
    int Height = 0;

    // The root; nullptr for a root itself.
    TSpriteEngine* Engine() const { return Engine_; }
    TSprite* Parent() const { return Parent_; }
    bool MarkedDead() const { return MarkedDead_; }

    int Z() const { return Z_; }
    // Keeps the parent's draw order sorted: the sprite goes beneath siblings
    // that already have the new value.
    void SetZ(int value);

    // Marks the sprite for the root's next dead pass.
    void Dead();
    // Destroys every child at once. Not allowed while the tree's move pass
    // runs (ESpriteError): a move frees nothing, it marks sprites dead.
    void Clear();
    // Moves this sprite and its subtree, unless Moved is false.
    void Move(int moveCount);
    // Reports every collisioned sprite of the tree that touches this one to
    // DoCollision; returns how many there were.
    int Collision();

    int Count() const { return static_cast<int>(Children_.size()); }
    // Child in attachment order. ESpriteError when there are no children,
    // EListError when index is outside 0 .. Count() - 1.
    TSprite* Items(int index) const;

    double WorldX() const;
    double WorldY() const;

    virtual void DoCollision(TSprite* sprite, bool& done);
    virtual void DoDraw();
    virtual void DoMove(int moveCount);
    virtual TRect BoundsRect();
    virtual bool TestCollision(TSprite* sprite);
    // The class's name as the game and its tools speak of it.
    virtual const char* ClassName() const { return "TSprite"; }

protected:
    // Paints this sprite (when on the surface) and its subtree in depth order.
    void DrawTree();

private:
    friend class TSpriteEngine;
    // The root of the tree this sprite is in (itself for a root engine).
    TSpriteEngine* TreeRoot();
    void DestroyChildren();
    void InsertDrawOrder(TSprite* child);
    void RemoveDrawOrder(TSprite* child);
    void RemoveChild(TSprite* child);
    void CollisionVisit();

    TSpriteEngine* Engine_ = nullptr;
    TSprite* Parent_ = nullptr;
    // Both hold the same children; they are empty exactly when the sprite has
    // none. DrawOrder_ is sorted by Z ascending.
    std::vector<TSprite*> Children_;
    std::vector<TSprite*> DrawOrder_;
    bool MarkedDead_ = false;
    bool IsRoot_ = false;
    int Z_ = 0;
};
