// SPDX-License-Identifier: GPL-3.0-or-later
// The game's one window and its presenter: each finished frame is uploaded
// to a streaming texture and drawn scaled with black bars (or 1:1 when not
// stretched), and window positions are mapped back to frame pixels.
//
// The window can be resized; to the game its client area keeps the size it
// was made with, which the presenter scales to whatever the window or the
// screen has (see FrameLayout).
#pragma once

#include "FrameLayout.h"
#include "Platform.h"
#include "Rect.h"
#include "SdlWindowManager.h"

#include <cstdint>
#include <string>
#include <vector>

struct SDL_Window;
struct SDL_Renderer;
struct SDL_Texture;

class TSdlVideo final : public IVideo {
public:
    TSdlVideo() = default;
    ~TSdlVideo() override;
    TSdlVideo(const TSdlVideo&) = delete;
    TSdlVideo& operator=(const TSdlVideo&) = delete;

    // How frames are scaled; the factor also sets a new window's size.
    void SetScaling(const TFrameScaling& scaling);
    const TFrameScaling& Scaling() const { return Scaling_; }

    // A resizable window at the starting factor of the client size (see
    // StartingScale) on the display's usable area. Raises
    // std::runtime_error when SDL can make no window or renderer.
    void CreateWindow(const std::string& caption, int clientWidth, int clientHeight) override;
    bool HasWindow() const override { return Window_ != nullptr; }
    void ShowWindow() override;
    // Takes the window off the screen at once, before the rest of the
    // program's end (closing sound, freeing the libraries).
    void HideWindow();
    void SetCaption(const std::string& caption) override;
    std::string Caption() const override;
    TWindowState WindowState() const override;
    void SetWindowState(TWindowState state) override;
    void SetBordered(bool bordered) override;
    void SetCursorVisible(bool visible) override;
    void SetIcon(int width, int height, const std::vector<uint32_t>& pixels) override;
    void SetPointerGrab(bool grab) override { SdlGrabPointer(Window_, grab); }
    // The size the window was made with, whatever it has now.
    int ClientWidth() const override;
    int ClientHeight() const override;
    // The window's real size in window units.
    int WindowWidth() const;
    int WindowHeight() const;
    void SaveWindowPlacement() override;
    void RestoreWindowPlacement() override;
    int DesktopBitCount() const override;
    // Every resolution of the window's display, each at 16 and at 32 bits:
    // frames are converted when uploaded, so any depth can be shown.
    std::vector<TDisplayMode> FullScreenModes() override;
    // Switches the display to the mode's resolution when the display has it;
    // otherwise the window covers the desktop as it is and the frame is
    // scaled. The bit count does not change the display's own depth. With
    // no window manager to ask (a bare X server) the borderless window is
    // itself moved over the whole display, at the display's resolution.
    bool EnterFullScreen(const TDisplayMode& mode) override;
    void LeaveFullScreen() override;
    void Present(const TFrameView& frame, const TPresentOptions& options) override;

    // Where the last frame is drawn in the output, in output pixels.
    TRect FrameRect() const { return CurrentLayout().Target; }
    // A window position (window units, as mouse events give them) to the
    // frame pixel under it, by the last presentation's layout; false when
    // the point is on a bar or outside the frame.
    bool MapToSurface(int windowX, int windowY, int& x, int& y) const;
    // The same, with a point off the frame moved to the nearest frame pixel.
    void ClampToSurface(int windowX, int windowY, int& x, int& y) const;
    // The window position at the middle of a frame pixel; false while no
    // frame is laid out.
    bool SurfaceToWindow(int x, int y, int& windowX, int& windowY) const;
    // Draws the last frame again as Present does, without showing it, and
    // reads the whole output back as 0x00RRGGBB pixels.
    bool ReadPixels(std::vector<uint32_t>& pixels, int& width, int& height);
    // The window's content needs drawing again (it was uncovered, resized,
    // or changed state): the next frame is shown even if it is the same.
    void Invalidate() { ShownValid_ = false; }
    // How many frames have reached the window.
    uint64_t PresentCount() const { return PresentCount_; }
    // Counts the changes of mode and placement the game asked for, after
    // which the pointer's place on the frame may have moved.
    uint32_t LayoutChanges() const { return LayoutChanges_; }
    // The SDL format that frames of this layout are uploaded in.
    static uint32_t TextureFormatOf(TFrameFormat format);

    SDL_Window* Window() const { return Window_; }
    uint32_t WindowId() const;
    bool IsFullScreen() const;
    // Whether full screen is the window covering the display by itself.
    bool IsCoveringDisplay() const { return Covering_; }

private:
    void Destroy();
    bool CoverDisplay();
    bool EnsureRenderer(bool vsync);
    bool EnsureTexture(uint32_t sdlFormat, int width, int height);
    void OutputSize(int& width, int& height) const;
    TFrameLayout CurrentLayout() const;
    void WindowToOutput(int windowX, int windowY, int& outputX, int& outputY) const;
    void DrawFrame();
    // Rows [First, Last) of a frame.
    struct TRowSpan {
        int First = 0;
        int Last = 0;
    };
    // Brings the copy of the shown frame up to date and says which rows
    // differed (none when First >= Last).
    TRowSpan KeepChangedRows(const TFrameView& frame);
    TRowSpan KeepAllRows(const TFrameView& frame);

    SDL_Window* Window_ = nullptr;
    SDL_Renderer* Renderer_ = nullptr;
    SDL_Texture* Texture_ = nullptr;
    uint32_t TextureFormat_ = 0;
    int TextureWidth_ = 0;
    int TextureHeight_ = 0;
    bool VSync_ = false;
    std::string Caption_;
    TFrameScaling Scaling_;
    // The client size the game asked for.
    int ClientWidth_ = 0;
    int ClientHeight_ = 0;
    uint32_t LayoutChanges_ = 0;
    // The layout of the last presentation, which the mouse mapping follows.
    int FrameWidth_ = 0;
    int FrameHeight_ = 0;
    TPresentOptions Options_;
    // A copy of the frame the window shows, which the texture holds too:
    // valid while both are whole and the layout is the same.
    std::vector<uint8_t> Shown_;
    bool ShownValid_ = false;
    uint64_t PresentCount_ = 0;

    struct TPlacement {
        int X = 0;
        int Y = 0;
        int Width = 0;
        int Height = 0;
    };
    TPlacement Placement_;
    bool PlacementSaved_ = false;
    // Where the window was before it covered the display.
    TPlacement Uncovered_;
    bool Covering_ = false;
};
