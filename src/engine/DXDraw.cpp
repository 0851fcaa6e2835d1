// SPDX-License-Identifier: GPL-3.0-or-later
// The game's display on the platform's window.
#include "DXDraw.h"

#include "EngineErrors.h"

#include <algorithm>
#include <tuple>

namespace {

constexpr TDXDrawOptions DefaultOptions = doAllowReboot | doWaitVBlank | doCenter;

bool ValidBitCount(int bitCount)
{
    return bitCount == 8 || bitCount == 16 || bitCount == 24 || bitCount == 32;
}

// Surfaces are direct colour; a depth we cannot draw in is a surface that
// cannot be made.
TPixelFormat FormatOfDepth(int bitCount)
{
    switch (bitCount) {
    case 15: return TPixelFormat::RGB555();
    case 16: return TPixelFormat::RGB565();
    case 24: return TPixelFormat::RGB888();
    case 32: return TPixelFormat::XRGB8888();
    default: throw EDXDrawError(FormatMessage("%s cannot be made", "Primary Surface"));
    }
}

// The platform's name for a layout the display makes; FormatOfDepth makes
// no other.
std::optional<TFrameFormat> FrameFormatOf(const TPixelFormat& format)
{
    if (format == TPixelFormat::XRGB8888()) return TFrameFormat::XRGB8888;
    if (format == TPixelFormat::RGB565()) return TFrameFormat::RGB565;
    if (format == TPixelFormat::RGB555()) return TFrameFormat::RGB555;
    if (format == TPixelFormat::RGB888()) return TFrameFormat::RGB888;
    return std::nullopt;
}

// The static colours a desktop keeps in the first and last ten palette
// entries unless the display may take all 256.
constexpr std::array<uint32_t, 10> SystemColorsLow = {0x000000, 0x800000, 0x008000, 0x808000, 0x000080,
                                                      0x800080, 0x008080, 0xC0C0C0, 0xC0DCC0, 0xA6CAF0};
constexpr std::array<uint32_t, 10> SystemColorsHigh = {0xFFFBF0, 0xA0A0A4, 0x808080, 0xFF0000, 0x00FF00,
                                                       0xFFFF00, 0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF};

} // namespace

void TDXDrawDisplay::SetBitCount(int bitCount)
{
    if (!ValidBitCount(bitCount)) throw EDXDrawError("It should be either of 8 or 16 or 24 or 32");
    BitCount_ = bitCount;
}

TDXDraw::TDXDraw(IVideo& video)
    : Video_(video), Options_(DefaultOptions), NowOptions_(EffectiveOptions(DefaultOptions)),
      Format_(TPixelFormat::XRGB8888())
{
}

TDXDraw::~TDXDraw()
{
    Finalize();
    Destroy();
}

TDXDrawOptions TDXDraw::EffectiveOptions(TDXDrawOptions options)
{
    TDXDrawOptions now = options;
    if (!(now & doFullScreen)) now &= ~(doNoWindowChange | doAllowReboot | doAllowPalette256 | doFlip);
    if (!(now & do3D)) now &= ~(doDirectX7Mode | doRetainedMode | doHardware | doSelectDriver | doZBuffer);
    if (now & doSystemMemory) now &= ~doFlip;
    if (now & doDirectX7Mode) now &= ~doRetainedMode;
    return now & ~doHardware;
}

void TDXDraw::SetOptions(TDXDrawOptions options)
{
    Options_ = options;
    if (Initialized_) {
        constexpr TDXDrawOptions live = doWaitVBlank | doStretch | doCenter;
        NowOptions_ = (NowOptions_ & ~live) | (options & live);
    } else {
        NowOptions_ = EffectiveOptions(options);
    }
}

// ---------------------------------------------------------------- life cycle

void TDXDraw::Initialize()
{
    InitializeAttempted_ = true;
    Finalize();
    if (!Video_.HasWindow()) throw EDXDrawError("Form not found");

    try {
        if (OnInitializing) OnInitializing();
        Updating_ = true;
        Initializing_ = true;
        NotifyEventList(TDXDrawNotifyType::Initializing);
        PageFlipping_ = (NowOptions_ & doFlip) != 0;
        if (NowOptions_ & doFullScreen) SetDisplayMode();
        if (AutoSize) SetSurfaceSize(Video_.ClientWidth(), Video_.ClientHeight());
        CreateSurfaces();
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

void TDXDraw::SetDisplayMode()
{
    const int width = Display.Width, height = Display.Height, bitCount = Display.BitCount();
    std::optional<TDisplayMode> chosen;
    if (width > 0 && height > 0 && ValidBitCount(bitCount)) {
        const TDisplayMode exact{width, height, bitCount};
        if (Video_.EnterFullScreen(exact)) {
            chosen = exact;
        } else {
            if (Modes_.empty()) Modes_ = Video_.FullScreenModes();
            const auto found = FindDisplayMode(Modes_, width, height, bitCount, Display.FixedRatio,
                                               Display.FixedSize, Display.FixedBitCount);
            if (found && Video_.EnterFullScreen(*found)) chosen = found;
        }
    }
    if (!chosen)
        throw EDXDrawError(FormatMessage("Display mode cannot be changed (%dx%d %dbit)", width, height, bitCount));
    FullScreenMode_ = chosen;
    Display.Width = chosen->Width;
    Display.Height = chosen->Height;
    Display.SetBitCount(chosen->BitCount);
}

std::optional<TDisplayMode> TDXDraw::FindDisplayMode(std::vector<TDisplayMode> modes, int width, int height,
                                                     int bitCount, bool fixedRatio, bool fixedSize,
                                                     bool fixedBitCount)
{
    std::erase_if(modes, [](const TDisplayMode& m) { return m.Width <= 0 || m.Height <= 0 || !ValidBitCount(m.BitCount); });
    std::sort(modes.begin(), modes.end(), [](const TDisplayMode& a, const TDisplayMode& b) {
        return std::tie(a.Width, a.Height, a.BitCount) < std::tie(b.Width, b.Height, b.BitCount);
    });

    const auto depthFits = [&](int depth) {
        if (fixedBitCount) return depth == bitCount;
        if (depth <= 8 || bitCount <= 8) return depth >= bitCount;
        return true;
    };
    const auto search = [&](bool sameRatio) -> std::optional<TDisplayMode> {
        for (const TDisplayMode& m : modes) {
            if (sameRatio && static_cast<int64_t>(m.Width) * height != static_cast<int64_t>(m.Height) * width)
                continue;
            if (fixedSize ? (m.Width != width || m.Height != height) : (m.Width < width || m.Height < height))
                continue;
            if (!depthFits(m.BitCount)) continue;
            TDisplayMode found = m;
            // The asked depth wins when this size offers it.
            if (found.BitCount != bitCount &&
                std::find(modes.begin(), modes.end(), TDisplayMode{m.Width, m.Height, bitCount}) != modes.end())
                found.BitCount = bitCount;
            return found;
        }
        return std::nullopt;
    };

    std::optional<TDisplayMode> found;
    if (fixedRatio) found = search(true);
    if (!found) found = search(false);
    return found;
}

void TDXDraw::CreateSurfaces()
{
    const bool systemMemory = (NowOptions_ & doSystemMemory) != 0;
    Format_ = FormatOfDepth(FullScreenMode_ ? FullScreenMode_->BitCount : Video_.DesktopBitCount());
    if (PageFlipping_ && FullScreenMode_)
        Surface_ = CreateSurface(FullScreenMode_->Width, FullScreenMode_->Height, systemMemory);
    else
        Surface_ = CreateSurface(StoredWidth_, StoredHeight_, systemMemory);
    PrimaryLost_ = false;
    HasPalette_ = true;
    LoadPalette(ColorTable);
    Surface_->Fill(0);
}

void TDXDraw::Finalize()
{
    if (!Initializing_) return;
    SetSurfaceSize(SurfaceWidth(), SurfaceHeight());
    Modes_.clear();
    Updating_ = true;
    try {
        AnnounceFinalizing();
    } catch (...) {
        ReleaseAll();
        throw;
    }
    ReleaseAll();
}

void TDXDraw::ReleaseAll()
{
    Initializing_ = false;
    Initialized_ = false;
    SurfaceInitialized_ = false;
    InitializeReached_ = false;
    NowOptions_ = EffectiveOptions(Options_);
    Surface_.reset();
    PrimaryLost_ = false;
    HasPalette_ = false;
    PageFlipping_ = false;
    if (FullScreenMode_) {
        FullScreenMode_.reset();
        Video_.LeaveFullScreen();
    }
    Updating_ = false;
}

// ---------------------------------------------------------------- surfaces

void TDXDraw::SetSurfaceWidth(int width)
{
    ResizeSurface(width, SurfaceHeight());
}

void TDXDraw::SetSurfaceHeight(int height)
{
    ResizeSurface(SurfaceWidth(), height);
}

void TDXDraw::ResizeSurface(int width, int height)
{
    if (Updating_ || (width == SurfaceWidth() && height == SurfaceHeight())) return;
    if (!Initialized_) {
        SetSurfaceSize(width, height);
        return;
    }
    if (PageFlipping_) return;

    NotifyEventList(TDXDrawNotifyType::FinalizeSurface);
    if (OnFinalizeSurface) OnFinalizeSurface();
    Surface_ = CreateSurface(std::max(width, 1), std::max(height, 1), (NowOptions_ & doSystemMemory) != 0);
    Surface_->Fill(0);
    NotifyEventList(TDXDrawNotifyType::InitializeSurface);
    if (OnInitializeSurface) OnInitializeSurface();
}

bool TDXDraw::SurfacesLost() const
{
    return PrimaryLost_ || (Surface_ && Surface_->IsLost());
}

void TDXDraw::MarkSurfacesLost()
{
    if (!Surface_) return;
    Surface_->MarkLost();
    PrimaryLost_ = true;
}

bool TDXDraw::RestoreSurfaces()
{
    if (!Restorable_) return !SurfacesLost();
    Surface_->Restore();
    PrimaryLost_ = false;
    return true;
}

bool TDXDraw::CanDraw()
{
    if (!Initialized_ || Updating_ || !Surface_) return false;
    if (SurfacesLost()) Restore();
    return !SurfacesLost();
}

void TDXDraw::Restore()
{
    if (!Initialized_ || Updating_ || !Surface_) return;
    Updating_ = true;
    try {
        if (RestoreSurfaces()) {
            Surface_->Fill(0);
            HasPalette_ = true;
            LoadPalette(DefColorTable);
            NotifyEventList(TDXDrawNotifyType::Restore);
            if (OnRestoreSurface) OnRestoreSurface();
            LoadPalette(ColorTable);
        }
    } catch (...) {
        Updating_ = false;
        throw;
    }
    Updating_ = false;
}

void TDXDraw::UpdatePalette()
{
    if (Initialized_) LoadPalette(ColorTable);
}

void TDXDraw::LoadPalette(const std::array<uint32_t, 256>& table)
{
    if (!HasPalette_) return;  // only while the surfaces exist
    Palette_ = table;
    if (!(NowOptions_ & doAllowPalette256)) {
        std::copy(SystemColorsLow.begin(), SystemColorsLow.end(), Palette_.begin());
        std::copy(SystemColorsHigh.begin(), SystemColorsHigh.end(), Palette_.end() - SystemColorsHigh.size());
    }
}

// ---------------------------------------------------------------- presenting

TPresentOptions TDXDraw::CurrentPresentOptions() const
{
    TPresentOptions options;
    options.Stretch = (NowOptions_ & doStretch) != 0;
    options.Center = (NowOptions_ & doCenter) != 0;
    options.WaitVBlank = (NowOptions_ & doWaitVBlank) != 0;
    return options;
}

void TDXDraw::Flip()
{
    if (!CanDraw() || DrawingSkipped) return;
    // A page flip shows nothing while another window is in front.
    if (PageFlipping_ && !WindowActive_) return;
    const std::optional<TFrameFormat> format = FrameFormatOf(Surface_->PixelFormat());
    TDirectDrawSurface::TLockedRect locked;
    if (!format || !Surface_->Lock(locked)) return;
    // The platform reads the pixels where they are, under the lock.
    struct TUnlock {
        TDirectDrawSurface& Surface;
        ~TUnlock() { Surface.Unlock(); }
    } unlock{*Surface_};
    Video_.Present({locked.Bits, locked.Pitch, locked.Width, locked.Height, *format}, CurrentPresentOptions());
}

TRect TDXDraw::PresentRect(int clientWidth, int clientHeight, int surfaceWidth, int surfaceHeight, bool stretch,
                           bool center)
{
    if (stretch) return {0, 0, clientWidth, clientHeight};
    const TRect r = Bounds(0, 0, surfaceWidth, surfaceHeight);
    return center ? r.Offset((clientWidth - surfaceWidth) / 2, (clientHeight - surfaceHeight) / 2) : r;
}

// ---------------------------------------------------------------- window hooks

void TDXDraw::WindowShown()
{
    if (ShownBefore_) return;
    ShownBefore_ = true;
    if (AutoInitialize && !InitializeAttempted_) Initialize();
}

void TDXDraw::WindowDestroyed()
{
    Finalize();
}

void TDXDraw::WindowResized()
{
    if (AutoSize && Initialized_) ResizeSurface(Video_.ClientWidth(), Video_.ClientHeight());
}

void TDXDraw::WindowDeactivated()
{
    SetWindowActive(false);
}

void TDXDraw::SetWindowActive(bool active)
{
    WindowActive_ = active;
}
