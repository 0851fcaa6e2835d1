// SPDX-License-Identifier: GPL-3.0-or-later
// The game's display on the platform's window: the back surface, how a
// finished frame is presented in a window and in full screen, the choice of
// a full-screen mode, and recovery from lost surfaces.
#pragma once

#include "CustomDXDraw.h"
#include "Platform.h"
#include "Rect.h"

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

// Display options, one bit each.
using TDXDrawOptions = uint32_t;
inline constexpr TDXDrawOptions doFullScreen = 1u << 0;
inline constexpr TDXDrawOptions doNoWindowChange = 1u << 1;
inline constexpr TDXDrawOptions doAllowReboot = 1u << 2;
inline constexpr TDXDrawOptions doWaitVBlank = 1u << 3;
inline constexpr TDXDrawOptions doAllowPalette256 = 1u << 4;
inline constexpr TDXDrawOptions doSystemMemory = 1u << 5;
inline constexpr TDXDrawOptions doStretch = 1u << 6;
inline constexpr TDXDrawOptions doCenter = 1u << 7;
inline constexpr TDXDrawOptions doFlip = 1u << 8;
inline constexpr TDXDrawOptions do3D = 1u << 9;
inline constexpr TDXDrawOptions doDirectX7Mode = 1u << 10;
inline constexpr TDXDrawOptions doRetainedMode = 1u << 11;
inline constexpr TDXDrawOptions doHardware = 1u << 12;
inline constexpr TDXDrawOptions doSelectDriver = 1u << 13;
inline constexpr TDXDrawOptions doZBuffer = 1u << 14;

// The full-screen mode asked for, and how far the choice may stray from it.
class TDXDrawDisplay {
public:
    int Width = 640;
    int Height = 480;
    bool FixedBitCount = true;  // only modes of exactly BitCount
    bool FixedRatio = true;     // prefer modes of the same width-to-height ratio
    bool FixedSize = false;     // only modes of exactly Width x Height

    int BitCount() const { return BitCount_; }
    // 8, 16, 24 or 32; anything else raises EDXDrawError.
    void SetBitCount(int bitCount);

private:
    int BitCount_ = 8;
};

class TDXDraw : public TCustomDXDraw {
public:
    explicit TDXDraw(IVideo& video);
    ~TDXDraw() override;

    // Initialise when the window is first shown.
    bool AutoInitialize = true;
    // The back surface takes the window's client size.
    bool AutoSize = true;
    TDXDrawDisplay Display;

    TDXDrawOptions Options() const { return Options_; }
    // While initialised only doWaitVBlank, doStretch and doCenter take effect
    // at once; the rest wait for the next initialisation.
    void SetOptions(TDXDrawOptions options);
    TDXDrawOptions NowOptions() const { return NowOptions_; }
    // What a set of options comes to: flags that only make sense together
    // with doFullScreen or do3D are dropped, and doHardware always.
    static TDXDrawOptions EffectiveOptions(TDXDrawOptions options);

    // Window surfaces take the desktop's depth, full-screen ones the mode's.
    TPixelFormat PixelFormat() const override { return Format_; }

    // Finalises, then builds the surfaces (and in full screen sets the mode)
    // and raises the events; on failure everything is finalised again and
    // the EDXDrawError passes on.
    void Initialize();
    // Releases everything; safe when not initialised.
    void Finalize();
    // Whether a frame may be composed now; lost surfaces are restored first.
    bool CanDraw();
    // Presents the back surface (in full screen only while the window is active).
    void Flip();
    // Restores lost surfaces, clears them and tells the dependants.
    void Restore();
    // Applies ColorTable to the palette when initialised.
    void UpdatePalette();
    // While not initialised these store the size for the next initialisation;
    // in a window they re-create the back surface; in full screen the surface
    // keeps the mode's size.
    void SetSurfaceWidth(int width);
    void SetSurfaceHeight(int height);


    // What the shell tells the display about its window.
    void WindowShown();        // initialises on the first showing (AutoInitialize, no earlier attempt)
    void WindowDestroyed();    // finalises
    void WindowResized();      // with AutoSize, a window surface follows the client size
    void WindowDeactivated();  // same as SetWindowActive(false)
    void SetWindowActive(bool active);
    bool WindowActive() const { return WindowActive_; }

    // Another program took the display: both surfaces are lost. While
    // restoring is not possible (it still holds the display) CanDraw stays false.
    void MarkSurfacesLost();
    void SetSurfacesRestorable(bool restorable) { Restorable_ = restorable; }
    bool SurfacesLost() const;

    bool Updating() const { return Updating_; }
    bool InitializeAttempted() const { return InitializeAttempted_; }
    // The full-screen mode in use; empty in a window.
    std::optional<TDisplayMode> FullScreenMode() const { return FullScreenMode_; }
    // Page flipping (full screen with doFlip) rather than copying into the window.
    bool PageFlipping() const { return PageFlipping_; }
    // The 256 palette entries (0x00RRGGBB); meaningful while initialised.
    const std::array<uint32_t, 256>& Palette() const { return Palette_; }

    // Where a window presenter puts a surface in the client area: the whole
    // area with stretch, else the surface's size at the origin, centred when asked.
    static TRect PresentRect(int clientWidth, int clientHeight, int surfaceWidth, int surfaceHeight, bool stretch,
                             bool center);
    // The mode search that follows a refused exact mode: among the modes
    // (any order), the smallest of the same ratio that fits, then the same
    // without the ratio. Empty when none will do.
    static std::optional<TDisplayMode> FindDisplayMode(std::vector<TDisplayMode> modes, int width, int height,
                                                       int bitCount, bool fixedRatio, bool fixedSize,
                                                       bool fixedBitCount);

private:
    void SetDisplayMode();
    void CreateSurfaces();
    void ReleaseAll();
    void ResizeSurface(int width, int height);
    bool RestoreSurfaces();
    void LoadPalette(const std::array<uint32_t, 256>& table);
    TPresentOptions CurrentPresentOptions() const;

    IVideo& Video_;
    TDXDrawOptions Options_;
    TDXDrawOptions NowOptions_;
    TPixelFormat Format_;
    std::optional<TDisplayMode> FullScreenMode_;
    std::vector<TDisplayMode> Modes_;  // enumerated on demand, forgotten on finalising
    std::array<uint32_t, 256> Palette_{};
    bool HasPalette_ = false;
    bool PageFlipping_ = false;
    bool PrimaryLost_ = false;  // the front surface is the platform's; only its loss is ours
    bool Restorable_ = true;
    bool Initializing_ = false;
    bool InitializeAttempted_ = false;
    bool ShownBefore_ = false;
    bool WindowActive_ = true;
};
