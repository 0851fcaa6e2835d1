// SPDX-License-Identifier: GPL-3.0-or-later
// The root of the sprite tree: dead pass, draw pass and surface binding.
#include "SpriteEngine.h"

TSpriteEngine::TSpriteEngine() : TSprite(nullptr)
{
    IsRoot_ = true;
}

TSpriteEngine::~TSpriteEngine()
{
    // The sprites take themselves off the dead list as they go, so the list
    // must outlive them.
    DestroyChildren();
}

void TSpriteEngine::Dead()
{
    // Each destruction removes its sprite (and any marked descendants) from
    // the list.
    while (!DeadList_.empty()) delete DeadList_.back();
}

void TSpriteEngine::Draw()
{
    DrawCount_ = 0;
    DrawTree();
}

void TSpriteEngine::SetSurface(TDirectDrawSurface* surface)
{
    Surface_ = surface;
    if (surface == nullptr) return;
    SurfaceRect_ = surface->ClientRect();
    Width = surface->Width();
    Height = surface->Height();
}
