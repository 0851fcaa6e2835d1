// SPDX-License-Identifier: GPL-3.0-or-later
// Sprite engine component: display notifications and the forwarded passes.
#include "DXSpriteEngine.h"

TCustomDXSpriteEngine::TCustomDXSpriteEngine() : Engine_(std::make_unique<TSpriteEngine>()) {}

TCustomDXSpriteEngine::~TCustomDXSpriteEngine()
{
    SetDXDraw(nullptr);
}

void TCustomDXSpriteEngine::SetDXDraw(TCustomDXDraw* dxDraw)
{
    if (dxDraw == DXDraw_) return;
    if (DXDraw_ != nullptr) DXDraw_->UnRegisterNotifyEvent(*this);
    DXDraw_ = dxDraw;
    if (DXDraw_ != nullptr) DXDraw_->RegisterNotifyEvent(*this);
}

void TCustomDXSpriteEngine::Move(int moveCount)
{
    Engine_->Move(moveCount);
}

void TCustomDXSpriteEngine::Dead()
{
    Engine_->Dead();
}

void TCustomDXSpriteEngine::Draw()
{
    if (DXDraw_ != nullptr && DXDraw_->Initialized() && !DXDraw_->DrawingSkipped) Engine_->Draw();
}

void TCustomDXSpriteEngine::DXDrawNotify(TCustomDXDraw& sender, TDXDrawNotifyType notifyType)
{
    switch (notifyType) {
    case TDXDrawNotifyType::Destroying:
        // The display goes away with its surface; never keep either.
        if (&sender == DXDraw_) DXDraw_ = nullptr;
        Engine_->SetSurface(nullptr);
        break;
    case TDXDrawNotifyType::Initialize:
        Engine_->SetSurface(sender.Surface());
        break;
    case TDXDrawNotifyType::Finalize:
        Engine_->SetSurface(nullptr);
        break;
    default:
        break;
    }
}
