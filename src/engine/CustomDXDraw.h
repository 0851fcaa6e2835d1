// SPDX-License-Identifier: GPL-3.0-or-later
// Display component base: owns the back surface, makes pattern surfaces in
// the display's pixel format, and tells its dependants (sprite engine,
// image list) when surfaces appear, are lost and are restored.
#pragma once

#include "DirectDrawSurface.h"

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

enum class TDXDrawNotifyType {
    Destroying,
    Initializing,
    Initialize,
    InitializeSurface,
    Finalize,
    FinalizeSurface,
    Restore,
    SetSurfaceSize,
};

class TCustomDXDraw;

// Receiver of display notifications.
class IDXDrawNotify {
public:
    virtual void DXDrawNotify(TCustomDXDraw& sender, TDXDrawNotifyType notifyType) = 0;

protected:
    virtual ~IDXDrawNotify() = default;
};

class TCustomDXDraw {
public:
    TCustomDXDraw();
    virtual ~TCustomDXDraw();
    TCustomDXDraw(const TCustomDXDraw&) = delete;
    TCustomDXDraw& operator=(const TCustomDXDraw&) = delete;

    bool Initialized() const { return Initialized_; }
    // The back surface; nullptr while not initialised.
    TDirectDrawSurface* Surface() const { return Surface_.get(); }
    // The surface's real size while it exists, else the stored size.
    int SurfaceWidth() const;
    int SurfaceHeight() const;
    // Stored size, used at the next initialisation.
    void SetSurfaceSize(int width, int height);

    // Frames are worked out but not drawn or shown: a replay checked or timed
    // without pictures. Drawing changes nothing but pixels, so play is the same.
    bool DrawingSkipped = false;

    // Pixel format of every surface this display makes.
    virtual TPixelFormat PixelFormat() const = 0;
    // A surface made on this display, for pattern surfaces.
    std::unique_ptr<TDirectDrawSurface> CreateSurface(int width, int height, bool systemMemory) const;

    // Registration delivers SetSurfaceSize at once and, when initialised,
    // Initialize, InitializeSurface and Restore. Unregistering from an
    // initialised display delivers FinalizeSurface and Finalize.
    void RegisterNotifyEvent(IDXDrawNotify& receiver);
    void UnRegisterNotifyEvent(IDXDrawNotify& receiver);

    // Colour tables of 256 entries (blue, green, red, 0), i.e. 0x00RRGGBB.
    std::array<uint32_t, 256> ColorTable{};
    std::array<uint32_t, 256> DefColorTable{};

    // Form events.
    std::function<void()> OnInitializing;
    std::function<void()> OnInitialize;
    std::function<void()> OnFinalize;
    // Surface events.
    std::function<void()> OnInitializeSurface;
    std::function<void()> OnFinalizeSurface;
    std::function<void()> OnRestoreSurface;

protected:
    // After the surfaces exist: surface size and initialised, OnInitialize,
    // surface initialised, OnInitializeSurface.
    void AnnounceInitialized();
    // Before they go: what AnnounceInitialized reached is taken back in
    // reverse (OnFinalizeSurface and surface finalised, then OnFinalize),
    // then finalised.
    void AnnounceFinalizing();
    // Newest registration first; receivers may unregister during delivery.
    void NotifyEventList(TDXDrawNotifyType notifyType);
    // Runs Finalize if needed, then notifies Destroying; derived destructors call it.
    void Destroy();

    std::unique_ptr<TDirectDrawSurface> Surface_;
    bool Initialized_ = false;
    // Set while the display changes, so that nothing draws or restores.
    bool Updating_ = false;
    bool InitializeReached_ = false;
    bool SurfaceInitialized_ = false;
    int StoredWidth_ = 640;
    int StoredHeight_ = 480;

private:
    std::vector<IDXDrawNotify*> Receivers_;
    bool Destroyed_ = false;
};

// The engine's own display: a back surface of a chosen depth in memory,
// with the initialise, restore and finalise sequence of a real display.
// Tests, tools and the headless platform drive the libraries with it.
class TOffscreenDXDraw : public TCustomDXDraw {
public:
    explicit TOffscreenDXDraw(const TPixelFormat& format = TPixelFormat::XRGB8888(), int width = 800,
                              int height = 600);
    ~TOffscreenDXDraw() override;

    TPixelFormat PixelFormat() const override { return Format_; }
    // Takes effect at the next initialisation.
    void SetPixelFormat(const TPixelFormat& format) { Format_ = format; }

    void Initialize();
    void Finalize();
    // Restores lost surfaces, clears them and notifies Restore.
    void Restore();
    // True when initialised and the back surface is intact (restoring it first if lost).
    bool CanDraw();
    // Counts presented frames; nothing to show off screen.
    void Flip();
    int FlipCount() const { return FlipCount_; }

private:
    TPixelFormat Format_;
    int FlipCount_ = 0;
};
