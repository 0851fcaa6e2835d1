// SPDX-License-Identifier: GPL-3.0-or-later
// The sprite engine component: owns the root of the sprite tree and binds it
// to a display, so the root paints on the display's back surface while the
// display is initialised.
#pragma once

#include "CustomDXDraw.h"
#include "SpriteEngine.h"

#include <memory>

class TCustomDXSpriteEngine : private IDXDrawNotify {
public:
    TCustomDXSpriteEngine();
    virtual ~TCustomDXSpriteEngine();
    TCustomDXSpriteEngine(const TCustomDXSpriteEngine&) = delete;
    TCustomDXSpriteEngine& operator=(const TCustomDXSpriteEngine&) = delete;

    TCustomDXDraw* DXDraw() const { return DXDraw_; }
    // Unregisters from the previous display and registers with the new one
    // (an initialised display binds the surface at once).
    void SetDXDraw(TCustomDXDraw* dxDraw);

    TSpriteEngine& Engine() const { return *Engine_; }

    void Move(int moveCount);
    void Dead();
    // Paints only while the display is set and initialised.
    void Draw();

private:
    void DXDrawNotify(TCustomDXDraw& sender, TDXDrawNotifyType notifyType) override;

    TCustomDXDraw* DXDraw_ = nullptr;
    std::unique_ptr<TSpriteEngine> Engine_;
};

class TDXSpriteEngine : public TCustomDXSpriteEngine {
public:
    TDXSpriteEngine() = default;
};
