// SPDX-License-Identifier: GPL-3.0-or-later
// Display notifications and the engine's own off-screen display.
#include "CustomDXDraw.h"

#include <algorithm>

TCustomDXDraw::TCustomDXDraw() = default;

TCustomDXDraw::~TCustomDXDraw()
{
    Destroy();
}

void TCustomDXDraw::Destroy()
{
    if (Destroyed_) return;
    Destroyed_ = true;
    NotifyEventList(TDXDrawNotifyType::Destroying);
    Receivers_.clear();
}

int TCustomDXDraw::SurfaceWidth() const
{
    return Surface_ ? Surface_->Width() : StoredWidth_;
}

int TCustomDXDraw::SurfaceHeight() const
{
    return Surface_ ? Surface_->Height() : StoredHeight_;
}

void TCustomDXDraw::SetSurfaceSize(int width, int height)
{
    StoredWidth_ = width;
    StoredHeight_ = height;
}

std::unique_ptr<TDirectDrawSurface> TCustomDXDraw::CreateSurface(int width, int height, bool systemMemory) const
{
    return std::make_unique<TDirectDrawSurface>(width, height, PixelFormat(), systemMemory);
}

void TCustomDXDraw::RegisterNotifyEvent(IDXDrawNotify& receiver)
{
    UnRegisterNotifyEvent(receiver);
    Receivers_.insert(Receivers_.begin(), &receiver);
    receiver.DXDrawNotify(*this, TDXDrawNotifyType::SetSurfaceSize);
    if (Initialized_) {
        receiver.DXDrawNotify(*this, TDXDrawNotifyType::Initialize);
        receiver.DXDrawNotify(*this, TDXDrawNotifyType::InitializeSurface);
        receiver.DXDrawNotify(*this, TDXDrawNotifyType::Restore);
    }
}

void TCustomDXDraw::UnRegisterNotifyEvent(IDXDrawNotify& receiver)
{
    const auto it = std::find(Receivers_.begin(), Receivers_.end(), &receiver);
    if (it == Receivers_.end()) return;
    Receivers_.erase(it);
    if (Initialized_) {
        receiver.DXDrawNotify(*this, TDXDrawNotifyType::FinalizeSurface);
        receiver.DXDrawNotify(*this, TDXDrawNotifyType::Finalize);
    }
}

void TCustomDXDraw::NotifyEventList(TDXDrawNotifyType notifyType)
{
    // A receiver may unregister itself (or others) while being told.
    const std::vector<IDXDrawNotify*> snapshot = Receivers_;
    for (IDXDrawNotify* receiver : snapshot) {
        if (std::find(Receivers_.begin(), Receivers_.end(), receiver) != Receivers_.end())
            receiver->DXDrawNotify(*this, notifyType);
    }
}

void TCustomDXDraw::AnnounceInitialized()
{
    NotifyEventList(TDXDrawNotifyType::SetSurfaceSize);
    NotifyEventList(TDXDrawNotifyType::Initialize);
    InitializeReached_ = true;
    if (OnInitialize) OnInitialize();
    NotifyEventList(TDXDrawNotifyType::InitializeSurface);
    SurfaceInitialized_ = true;
    if (OnInitializeSurface) OnInitializeSurface();
}

void TCustomDXDraw::AnnounceFinalizing()
{
    if (SurfaceInitialized_) {
        SurfaceInitialized_ = false;
        if (OnFinalizeSurface) OnFinalizeSurface();
        NotifyEventList(TDXDrawNotifyType::FinalizeSurface);
    }
    if (InitializeReached_) {
        InitializeReached_ = false;
        if (OnFinalize) OnFinalize();
    }
    NotifyEventList(TDXDrawNotifyType::Finalize);
}

TOffscreenDXDraw::TOffscreenDXDraw(const TPixelFormat& format, int width, int height) : Format_(format)
{
    SetSurfaceSize(width, height);
}

TOffscreenDXDraw::~TOffscreenDXDraw()
{
    Finalize();
    Destroy();
}

void TOffscreenDXDraw::Initialize()
{
    Finalize();
    if (OnInitializing) OnInitializing();
    Updating_ = true;
    NotifyEventList(TDXDrawNotifyType::Initializing);
    try {
        Surface_ = CreateSurface(StoredWidth_, StoredHeight_, false);
        Surface_->Fill(0);
        Initialized_ = true;
    } catch (...) {
        Updating_ = false;
        Finalize();
        throw;
    }
    Updating_ = false;
    AnnounceInitialized();
    Restore();
}

void TOffscreenDXDraw::Finalize()
{
    if (!Initialized_ && !Surface_) return;
    StoredWidth_ = SurfaceWidth();
    StoredHeight_ = SurfaceHeight();
    Updating_ = true;
    AnnounceFinalizing();
    Initialized_ = false;
    Surface_.reset();
    Updating_ = false;
}

void TOffscreenDXDraw::Restore()
{
    if (!Initialized_ || Updating_ || !Surface_) return;
    Updating_ = true;
    Surface_->Restore();
    Surface_->Fill(0);
    NotifyEventList(TDXDrawNotifyType::Restore);
    Updating_ = false;
}

bool TOffscreenDXDraw::CanDraw()
{
    if (!Initialized_ || Updating_ || !Surface_) return false;
    if (Surface_->IsLost()) Restore();
    return !Surface_->IsLost();
}

void TOffscreenDXDraw::Flip()
{
    if (CanDraw()) ++FlipCount_;
}
