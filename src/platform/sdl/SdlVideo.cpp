// SPDX-License-Identifier: GPL-3.0-or-later
// The game's one window and its presenter on an SDL renderer.
#include "SdlVideo.h"

#include "SdlWindowManager.h"

#include <SDL.h>
#ifdef __linux__
#include <unistd.h>
#endif

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <set>
#include <stdexcept>
#include <utility>

namespace {

std::runtime_error SdlFailure(const std::string& what)
{
    return std::runtime_error(what + ": " + SDL_GetError());
}

int DisplayOf(SDL_Window* window)
{
    const int index = window != nullptr ? SDL_GetWindowDisplayIndex(window) : 0;
    return index >= 0 ? index : 0;
}

// For measuring start-up from outside: with ZARVENOK_START_REPORT set, the
// moment the first frame reaches the window goes to standard error, in
// seconds of the system clock, which the launcher can read too.
void ReportFirstPresent()
{
    const char* wanted = std::getenv("ZARVENOK_START_REPORT");
    if (wanted == nullptr || *wanted == '\0') return;
    const std::chrono::duration<double> now = std::chrono::system_clock::now().time_since_epoch();
    // The processor time beside it tells slow work from waiting for a busy machine.
    std::fprintf(stderr, "zarvenok: first frame presented at %.6f after %.3f s of processor time\n", now.count(),
                 static_cast<double>(std::clock()) / CLOCKS_PER_SEC);
}

} // namespace

TSdlVideo::~TSdlVideo()
{
    Destroy();
}

void TSdlVideo::Destroy()
{
    if (Texture_ != nullptr) SDL_DestroyTexture(Texture_);
    if (Renderer_ != nullptr) SDL_DestroyRenderer(Renderer_);
    if (Window_ != nullptr) SDL_DestroyWindow(Window_);
    Texture_ = nullptr;
    Renderer_ = nullptr;
    Window_ = nullptr;
    TextureFormat_ = 0;
    ShownValid_ = false;
}

void TSdlVideo::SetScaling(const TFrameScaling& scaling)
{
    Scaling_ = scaling;
    ShownValid_ = false;
}

void TSdlVideo::CreateWindow(const std::string& caption, int clientWidth, int clientHeight)
{
    Destroy();
    clientWidth = std::max(clientWidth, 1);
    clientHeight = std::max(clientHeight, 1);
    // The display the centred window lands on is the first one.
    SDL_Rect usable{0, 0, clientWidth, clientHeight};
    if (SDL_GetDisplayUsableBounds(0, &usable) != 0) usable = {0, 0, clientWidth, clientHeight};
    const int scale = StartingScale(usable.w, usable.h, clientWidth, clientHeight, Scaling_);
    Window_ = SDL_CreateWindow(caption.c_str(), SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, clientWidth * scale,
                               clientHeight * scale, SDL_WINDOW_HIDDEN | SDL_WINDOW_RESIZABLE);
    if (Window_ == nullptr) throw SdlFailure("The window cannot be made");
    // Smaller than half size the picture is no longer worth looking at.
    SDL_SetWindowMinimumSize(Window_, std::max(1, clientWidth / 2), std::max(1, clientHeight / 2));
    Caption_ = caption;
    ClientWidth_ = clientWidth;
    ClientHeight_ = clientHeight;
    FrameWidth_ = clientWidth;
    FrameHeight_ = clientHeight;
    PlacementSaved_ = false;
    Covering_ = false;
    if (!EnsureRenderer(Options_.WaitVBlank)) {
        std::runtime_error error = SdlFailure("The window cannot be drawn on");
        Destroy();
        throw error;
    }
}

void TSdlVideo::ShowWindow()
{
    if (Window_ != nullptr) SDL_ShowWindow(Window_);
}

void TSdlVideo::HideWindow()
{
    if (Window_ == nullptr) return;
    SDL_HideWindow(Window_);
}

void TSdlVideo::SetCaption(const std::string& caption)
{
    Caption_ = caption;
    if (Window_ != nullptr) SDL_SetWindowTitle(Window_, caption.c_str());
}

std::string TSdlVideo::Caption() const
{
    return Caption_;
}

TWindowState TSdlVideo::WindowState() const
{
    if (Window_ == nullptr) return TWindowState::Normal;
    const Uint32 flags = SDL_GetWindowFlags(Window_);
    if ((flags & SDL_WINDOW_MINIMIZED) != 0) return TWindowState::Minimized;
    // Some window managers mark a full-screen window maximized too; to the
    // game a maximized window is a request for full screen, so it would
    // switch straight back.
    if ((flags & SDL_WINDOW_MAXIMIZED) != 0 && !IsFullScreen()) return TWindowState::Maximized;
    return TWindowState::Normal;
}

void TSdlVideo::SetWindowState(TWindowState state)
{
    if (Window_ == nullptr || state == WindowState()) return;
    ShownValid_ = false;
    ++LayoutChanges_;
    switch (state) {
    case TWindowState::Normal: SDL_RestoreWindow(Window_); break;
    case TWindowState::Minimized: SDL_MinimizeWindow(Window_); break;
    case TWindowState::Maximized: SDL_MaximizeWindow(Window_); break;
    }
}

void TSdlVideo::SetBordered(bool bordered)
{
    if (Window_ == nullptr) return;
    // A window manager takes the frame off a full-screen window and puts
    // it back by itself. Taking it off ourselves as well would leave the
    // window frameless when its place is restored, and the manager would
    // then add the frame around that place: the window would creep down
    // by a title bar on every round trip.
    if (!bordered && SdlWindowIsManaged(Window_)) return;
    const bool current = (SDL_GetWindowFlags(Window_) & SDL_WINDOW_BORDERLESS) == 0;
    if (current == bordered) return;
    SDL_SetWindowBordered(Window_, bordered ? SDL_TRUE : SDL_FALSE);
    ShownValid_ = false;
}

void TSdlVideo::SetIcon(int width, int height, const std::vector<uint32_t>& pixels)
{
    if (Window_ == nullptr || width <= 0 || height <= 0 ||
        pixels.size() != static_cast<size_t>(width) * static_cast<size_t>(height))
        return;
    // SDL copies the pixels, so the surface can wrap ours for the call.
    SDL_Surface* icon = SDL_CreateRGBSurfaceWithFormatFrom(const_cast<uint32_t*>(pixels.data()), width, height, 32,
                                                           width * 4, SDL_PIXELFORMAT_ARGB8888);
    if (icon == nullptr) return;
    SDL_SetWindowIcon(Window_, icon);
    SDL_FreeSurface(icon);
}

void TSdlVideo::SetCursorVisible(bool visible)
{
    SDL_ShowCursor(visible ? SDL_ENABLE : SDL_DISABLE);
}

int TSdlVideo::ClientWidth() const
{
    return Window_ != nullptr ? ClientWidth_ : 0;
}

int TSdlVideo::ClientHeight() const
{
    return Window_ != nullptr ? ClientHeight_ : 0;
}

int TSdlVideo::WindowWidth() const
{
    int width = 0;
    if (Window_ != nullptr) SDL_GetWindowSize(Window_, &width, nullptr);
    return width;
}

int TSdlVideo::WindowHeight() const
{
    int height = 0;
    if (Window_ != nullptr) SDL_GetWindowSize(Window_, nullptr, &height);
    return height;
}

void TSdlVideo::SaveWindowPlacement()
{
    if (Window_ == nullptr) return;
    SDL_GetWindowPosition(Window_, &Placement_.X, &Placement_.Y);
    SDL_GetWindowSize(Window_, &Placement_.Width, &Placement_.Height);
    PlacementSaved_ = true;
}

void TSdlVideo::RestoreWindowPlacement()
{
    if (Window_ == nullptr || !PlacementSaved_) return;
    SDL_SetWindowSize(Window_, Placement_.Width, Placement_.Height);
    SDL_SetWindowPosition(Window_, Placement_.X, Placement_.Y);
    PlacementSaved_ = false;
    ShownValid_ = false;
    ++LayoutChanges_;
}

int TSdlVideo::DesktopBitCount() const
{
    SDL_DisplayMode mode{};
    if (SDL_GetDesktopDisplayMode(DisplayOf(Window_), &mode) != 0) return 32;
    const int bytes = SDL_BYTESPERPIXEL(mode.format);
    return bytes == 2 || bytes == 3 ? bytes * 8 : 32;
}

std::vector<TDisplayMode> TSdlVideo::FullScreenModes()
{
    const int display = DisplayOf(Window_);
    std::set<std::pair<int, int>> sizes;
    const int count = SDL_GetNumDisplayModes(display);
    for (int i = 0; i < count; ++i) {
        SDL_DisplayMode mode{};
        if (SDL_GetDisplayMode(display, i, &mode) == 0 && mode.w > 0 && mode.h > 0) sizes.insert({mode.w, mode.h});
    }
    if (sizes.empty()) {
        SDL_DisplayMode desktop{};
        if (SDL_GetDesktopDisplayMode(display, &desktop) == 0 && desktop.w > 0 && desktop.h > 0)
            sizes.insert({desktop.w, desktop.h});
    }
    std::vector<TDisplayMode> modes;
    for (const auto& [width, height] : sizes) {
        modes.push_back({width, height, 16});
        modes.push_back({width, height, 32});
    }
    return modes;
}

bool TSdlVideo::EnterFullScreen(const TDisplayMode& mode)
{
    if (Window_ == nullptr) return false;
    ShownValid_ = false;
    ++LayoutChanges_;
    if (!SdlWindowIsManaged(Window_)) return CoverDisplay();
    // The display's own list is sorted best first, so the first mode of the
    // size has its deepest format and highest refresh rate.
    const int display = DisplayOf(Window_);
    const int count = SDL_GetNumDisplayModes(display);
    for (int i = 0; i < count; ++i) {
        SDL_DisplayMode candidate{};
        if (SDL_GetDisplayMode(display, i, &candidate) != 0) continue;
        if (candidate.w != mode.Width || candidate.h != mode.Height) continue;
        if (SDL_SetWindowDisplayMode(Window_, &candidate) == 0 &&
            SDL_SetWindowFullscreen(Window_, SDL_WINDOW_FULLSCREEN) == 0)
            return true;
        break;
    }
    return SDL_SetWindowFullscreen(Window_, SDL_WINDOW_FULLSCREEN_DESKTOP) == 0;
}

bool TSdlVideo::CoverDisplay()
{
    SDL_Rect bounds{};
    if (SDL_GetDisplayBounds(DisplayOf(Window_), &bounds) != 0) return false;
    if (!Covering_) {
        SDL_GetWindowPosition(Window_, &Uncovered_.X, &Uncovered_.Y);
        SDL_GetWindowSize(Window_, &Uncovered_.Width, &Uncovered_.Height);
    }
    SDL_SetWindowBordered(Window_, SDL_FALSE);
    SDL_SetWindowPosition(Window_, bounds.x, bounds.y);
    SDL_SetWindowSize(Window_, bounds.w, bounds.h);
    SDL_RaiseWindow(Window_);
    Covering_ = true;
    ShownValid_ = false;
    return true;
}

void TSdlVideo::LeaveFullScreen()
{
    if (Window_ == nullptr) return;
    ShownValid_ = false;
    ++LayoutChanges_;
    if (Covering_) {
        Covering_ = false;
        SDL_SetWindowSize(Window_, Uncovered_.Width, Uncovered_.Height);
        SDL_SetWindowPosition(Window_, Uncovered_.X, Uncovered_.Y);
        return;
    }
    SDL_SetWindowFullscreen(Window_, 0);
}

bool TSdlVideo::IsFullScreen() const
{
    return Window_ != nullptr && (Covering_ || (SDL_GetWindowFlags(Window_) & SDL_WINDOW_FULLSCREEN) != 0);
}

uint32_t TSdlVideo::WindowId() const
{
    return Window_ != nullptr ? SDL_GetWindowID(Window_) : 0;
}

uint32_t TSdlVideo::TextureFormatOf(TFrameFormat format)
{
    switch (format) {
    case TFrameFormat::XRGB8888: return SDL_PIXELFORMAT_XRGB8888;
    case TFrameFormat::RGB565: return SDL_PIXELFORMAT_RGB565;
    case TFrameFormat::RGB555: return SDL_PIXELFORMAT_RGB555;
    // SDL names 24-bit layouts by their bytes in memory: blue, green, red.
    case TFrameFormat::RGB888: return SDL_PIXELFORMAT_BGR24;
    }
    return SDL_PIXELFORMAT_UNKNOWN;
}

namespace {

// Whether an accelerated renderer is in fact OpenGL rasterised on the
// processor.
bool RasterisesInSoftware(SDL_Renderer* renderer)
{
    SDL_RendererInfo info{};
    if (SDL_GetRendererInfo(renderer, &info) != 0 || info.name == nullptr) return false;
    if (std::strncmp(info.name, "opengl", 6) != 0) return false;
    using TGetString = const unsigned char* (*)(unsigned int);
    auto getString = reinterpret_cast<TGetString>(SDL_GL_GetProcAddress("glGetString"));
    if (getString == nullptr) return false;
    constexpr unsigned int kGlRenderer = 0x1F01;
    const unsigned char* name = getString(kGlRenderer);
    if (name == nullptr) return false;
    const std::string text(reinterpret_cast<const char*>(name));
    for (const char* soft : {"llvmpipe", "softpipe", "Software Rasterizer", "swrast"})
        if (text.find(soft) != std::string::npos) return true;
    return false;
}

// Whether the machine has a graphics device this process may open. Without
// one, OpenGL can only be drawn by the processor, and loading it merely to
// find that out takes a good part of the start.
bool MayHaveGraphicsDevice()
{
#ifdef __linux__
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator("/dev/dri", error))
        if (access(entry.path().c_str(), R_OK | W_OK) == 0) return true;
    // A driver of its own kind, with device nodes outside /dev/dri.
    return access("/dev/nvidia0", R_OK | W_OK) == 0;
#else
    return true;
#endif
}

} // namespace

bool TSdlVideo::EnsureRenderer(bool vsync)
{
    if (Window_ == nullptr) return false;
    if (Renderer_ != nullptr) {
        if (VSync_ == vsync) return true;
        if (SDL_RenderSetVSync(Renderer_, vsync ? 1 : 0) == 0) {
            VSync_ = vsync;
            return true;
        }
        // A renderer that cannot change its vsync choice is made again with it.
        if (Texture_ != nullptr) SDL_DestroyTexture(Texture_);
        SDL_DestroyRenderer(Renderer_);
        Texture_ = nullptr;
        Renderer_ = nullptr;
        TextureFormat_ = 0;
        ShownValid_ = false;
    }
    const Uint32 vsyncFlag = vsync ? SDL_RENDERER_PRESENTVSYNC : 0;
    // OpenGL drawn by the processor (no graphics card, a virtual or remote
    // display) costs far more than SDL's own software renderer for one
    // full-window copy a frame.
    bool software = !MayHaveGraphicsDevice();
    if (!software) {
        Renderer_ = SDL_CreateRenderer(Window_, -1, SDL_RENDERER_ACCELERATED | vsyncFlag);
        if (Renderer_ != nullptr && RasterisesInSoftware(Renderer_)) {
            SDL_DestroyRenderer(Renderer_);
            Renderer_ = nullptr;
            software = true;
        }
    }
    // Else the software renderer's window surface would itself be drawn
    // through that same OpenGL.
    if (software) SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    if (Renderer_ == nullptr) Renderer_ = SDL_CreateRenderer(Window_, -1, SDL_RENDERER_SOFTWARE | vsyncFlag);
    if (Renderer_ == nullptr) Renderer_ = SDL_CreateRenderer(Window_, -1, SDL_RENDERER_SOFTWARE);
    VSync_ = vsync;
    return Renderer_ != nullptr;
}

bool TSdlVideo::EnsureTexture(uint32_t sdlFormat, int width, int height)
{
    if (Texture_ != nullptr && TextureFormat_ == sdlFormat && TextureWidth_ == width && TextureHeight_ == height)
        return true;
    if (Texture_ != nullptr) SDL_DestroyTexture(Texture_);
    // A new texture holds nothing of the shown frame.
    ShownValid_ = false;
    Texture_ = SDL_CreateTexture(Renderer_, sdlFormat, SDL_TEXTUREACCESS_STREAMING, width, height);
    if (Texture_ == nullptr) {
        TextureFormat_ = 0;
        return false;
    }
    TextureFormat_ = sdlFormat;
    TextureWidth_ = width;
    TextureHeight_ = height;
    return true;
}

void TSdlVideo::Present(const TFrameView& frame, const TPresentOptions& options)
{
    if (Window_ == nullptr) return;
    // Nothing is seen while the window is hidden or minimized, and a
    // vsynced present there would only stall the game.
    if ((SDL_GetWindowFlags(Window_) & (SDL_WINDOW_HIDDEN | SDL_WINDOW_MINIMIZED)) != 0) {
        ShownValid_ = false;
        return;
    }
    const uint32_t format = TextureFormatOf(frame.Format);
    if (format == SDL_PIXELFORMAT_UNKNOWN || frame.Width <= 0 || frame.Height <= 0) return;
    if (!EnsureRenderer(options.WaitVBlank) || !EnsureTexture(format, frame.Width, frame.Height)) return;
    const bool sameLayout = ShownValid_ && frame.Width == FrameWidth_ && frame.Height == FrameHeight_ &&
                            Shown_.size() == frame.RowBytes() * static_cast<size_t>(frame.Height) &&
                            options.Stretch == Options_.Stretch && options.Center == Options_.Center;
    // Only the rows that changed since the window was last drawn go to the
    // texture; a frame equal to the shown one is neither uploaded nor
    // presented, so an idle screen costs next to nothing.
    const TRowSpan changed = sameLayout ? KeepChangedRows(frame) : KeepAllRows(frame);
    if (changed.First >= changed.Last) return;
    const SDL_Rect rows{0, changed.First, frame.Width, changed.Last - changed.First};
    if (SDL_UpdateTexture(Texture_, &rows, frame.Row(changed.First), frame.Pitch) != 0) {
        ShownValid_ = false;
        return;
    }
    FrameWidth_ = frame.Width;
    FrameHeight_ = frame.Height;
    Options_ = options;
    DrawFrame();
    SDL_RenderPresent(Renderer_);
    ShownValid_ = true;
    if (PresentCount_++ == 0) ReportFirstPresent();
}

TSdlVideo::TRowSpan TSdlVideo::KeepChangedRows(const TFrameView& frame)
{
    const size_t rowBytes = frame.RowBytes();
    TRowSpan changed{frame.Height, 0};
    for (int y = 0; y < frame.Height; ++y) {
        uint8_t* shown = Shown_.data() + rowBytes * static_cast<size_t>(y);
        if (std::memcmp(frame.Row(y), shown, rowBytes) == 0) continue;
        std::memcpy(shown, frame.Row(y), rowBytes);
        changed.First = std::min(changed.First, y);
        changed.Last = y + 1;
    }
    return changed;
}

TSdlVideo::TRowSpan TSdlVideo::KeepAllRows(const TFrameView& frame)
{
    const size_t rowBytes = frame.RowBytes();
    Shown_.resize(rowBytes * static_cast<size_t>(frame.Height));
    for (int y = 0; y < frame.Height; ++y)
        std::memcpy(Shown_.data() + rowBytes * static_cast<size_t>(y), frame.Row(y), rowBytes);
    return {0, frame.Height};
}

void TSdlVideo::DrawFrame()
{
    // The renderer learns of a new window size from an event that may not
    // have been read yet after a switch to or from full screen; the whole
    // output is taken afresh every time.
    SDL_RenderSetViewport(Renderer_, nullptr);
    SDL_SetRenderDrawColor(Renderer_, 0, 0, 0, 255);
    SDL_RenderClear(Renderer_);
    if (Texture_ == nullptr) return;
    const TFrameLayout layout = CurrentLayout();
    const TRect& rect = layout.Target;
    const SDL_Rect target{rect.Left, rect.Top, rect.Width(), rect.Height()};
    SDL_SetTextureScaleMode(Texture_, layout.Filtered ? SDL_ScaleModeLinear : SDL_ScaleModeNearest);
    SDL_RenderCopy(Renderer_, Texture_, nullptr, &target);
}

bool TSdlVideo::ReadPixels(std::vector<uint32_t>& pixels, int& width, int& height)
{
    if (Renderer_ == nullptr) return false;
    OutputSize(width, height);
    if (width <= 0 || height <= 0) return false;
    DrawFrame();
    pixels.assign(static_cast<size_t>(width) * static_cast<size_t>(height), 0);
    if (SDL_RenderReadPixels(Renderer_, nullptr, SDL_PIXELFORMAT_XRGB8888, pixels.data(), width * 4) != 0)
        return false;
    for (uint32_t& pixel : pixels) pixel &= 0x00FFFFFF;
    return true;
}

void TSdlVideo::OutputSize(int& width, int& height) const
{
    width = 0;
    height = 0;
    if (Renderer_ != nullptr && SDL_GetRendererOutputSize(Renderer_, &width, &height) == 0) return;
    if (Window_ != nullptr) SDL_GetWindowSize(Window_, &width, &height);
}

TFrameLayout TSdlVideo::CurrentLayout() const
{
    int width = 0;
    int height = 0;
    OutputSize(width, height);
    return LayFrame(width, height, FrameWidth_, FrameHeight_, Options_, Scaling_);
}

void TSdlVideo::WindowToOutput(int windowX, int windowY, int& outputX, int& outputY) const
{
    // Window units and output pixels differ only on high-density displays.
    int windowWidth = 0;
    int windowHeight = 0;
    int outputWidth = 0;
    int outputHeight = 0;
    if (Window_ != nullptr) SDL_GetWindowSize(Window_, &windowWidth, &windowHeight);
    OutputSize(outputWidth, outputHeight);
    outputX = windowWidth > 0 ? static_cast<int>(static_cast<int64_t>(windowX) * outputWidth / windowWidth) : windowX;
    outputY =
        windowHeight > 0 ? static_cast<int>(static_cast<int64_t>(windowY) * outputHeight / windowHeight) : windowY;
}

bool TSdlVideo::MapToSurface(int windowX, int windowY, int& x, int& y) const
{
    int outputX = 0;
    int outputY = 0;
    WindowToOutput(windowX, windowY, outputX, outputY);
    const TRect rect = CurrentLayout().Target;
    if (rect.IsEmpty() || outputX < rect.Left || outputX >= rect.Right || outputY < rect.Top ||
        outputY >= rect.Bottom)
        return false;
    x = static_cast<int>(static_cast<int64_t>(outputX - rect.Left) * FrameWidth_ / rect.Width());
    y = static_cast<int>(static_cast<int64_t>(outputY - rect.Top) * FrameHeight_ / rect.Height());
    return true;
}

void TSdlVideo::ClampToSurface(int windowX, int windowY, int& x, int& y) const
{
    int outputX = 0;
    int outputY = 0;
    WindowToOutput(windowX, windowY, outputX, outputY);
    const TRect rect = CurrentLayout().Target;
    if (rect.IsEmpty()) {
        x = 0;
        y = 0;
        return;
    }
    outputX = std::clamp(outputX, rect.Left, rect.Right - 1);
    outputY = std::clamp(outputY, rect.Top, rect.Bottom - 1);
    x = static_cast<int>(static_cast<int64_t>(outputX - rect.Left) * FrameWidth_ / rect.Width());
    y = static_cast<int>(static_cast<int64_t>(outputY - rect.Top) * FrameHeight_ / rect.Height());
}

bool TSdlVideo::SurfaceToWindow(int x, int y, int& windowX, int& windowY) const
{
    const TRect rect = CurrentLayout().Target;
    if (rect.IsEmpty() || FrameWidth_ <= 0 || FrameHeight_ <= 0) return false;
    const int64_t outputX = rect.Left + (static_cast<int64_t>(x) * 2 + 1) * rect.Width() / (2 * FrameWidth_);
    const int64_t outputY = rect.Top + (static_cast<int64_t>(y) * 2 + 1) * rect.Height() / (2 * FrameHeight_);
    int windowWidth = 0;
    int windowHeight = 0;
    int outputWidth = 0;
    int outputHeight = 0;
    if (Window_ != nullptr) SDL_GetWindowSize(Window_, &windowWidth, &windowHeight);
    OutputSize(outputWidth, outputHeight);
    if (outputWidth <= 0 || outputHeight <= 0) return false;
    windowX = static_cast<int>(outputX * windowWidth / outputWidth);
    windowY = static_cast<int>(outputY * windowHeight / outputHeight);
    return true;
}
