// SPDX-License-Identifier: GPL-3.0-or-later
// Root of the sprite tree: counts the sprites, keeps the dead list, runs the
// dead and draw passes, holds the running collision query and the surface
// everything paints on.
#pragma once

#include "DirectDrawSurface.h"
#include "Rect.h"
#include "Sprite.h"

#include <vector>

class TSpriteEngine : public TSprite {
public:
    const char* ClassName() const override { return "TSpriteEngine"; }
    TSpriteEngine();
    // Destroys every sprite of the tree before the dead list goes.
    ~TSpriteEngine() override;

    // The dead pass: frees every sprite marked dead, newest mark first. Hides
    // the marking operation, which means nothing on the root.
    void Dead();
    // The draw pass over the whole tree, in ascending Z.
    void Draw();
    // Binds the surface to paint on (nullptr unbinds); a bound surface also
    // gives the root its size and the surface rectangle.
    void SetSurface(TDirectDrawSurface* surface);

    int AllCount() const { return AllCount_; }
    int DrawCount() const { return DrawCount_; }
    TDirectDrawSurface* Surface() const { return Surface_; }
    // Keeps its last value after unbinding.
    const TRect& SurfaceRect() const { return SurfaceRect_; }
    const std::vector<TSprite*>& DeadList() const { return DeadList_; }
    bool Moving() const { return MovePasses_ > 0; }

    // State of the running (or last) collision query.
    int CollisionCount() const { return CollisionCount_; }
    bool CollisionDone() const { return CollisionDone_; }
    const TRect& CollisionRect() const { return CollisionRect_; }
    TSprite* CollisionSprite() const { return CollisionSprite_; }

private:
    friend class TSprite;

    int AllCount_ = 0;
    int CollisionCount_ = 0;
    bool CollisionDone_ = false;
    TRect CollisionRect_;
    TSprite* CollisionSprite_ = nullptr;
    std::vector<TSprite*> DeadList_;
    int DrawCount_ = 0;
    // Move passes running over this tree (a paused game moves one sprite).
    int MovePasses_ = 0;
    TDirectDrawSurface* Surface_ = nullptr;
    TRect SurfaceRect_;
};
