// SPDX-License-Identifier: GPL-3.0-or-later
// The simulator's video: a window that exists only as state (caption,
// placement, border, cursor, activation, full-screen mode) and keeps the
// last presented frame for screenshots and checks.
#pragma once

#include "HeadlessEvents.h"
#include "Platform.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

class THeadlessVideo : public IVideo {
public:
    // The screen the window is centred on.
    static constexpr int DesktopWidth = 1920;
    static constexpr int DesktopHeight = 1080;

    explicit THeadlessVideo(THeadlessEvents& events);

    void CreateWindow(const std::string& caption, int clientWidth, int clientHeight) override;
    bool HasWindow() const override { return HasWindow_; }
    // The first showing queues a Shown event.
    void ShowWindow() override;
    void SetCaption(const std::string& caption) override { Caption_ = caption; }
    std::string Caption() const override { return Caption_; }
    TWindowState WindowState() const override { return State_; }
    void SetWindowState(TWindowState state) override { State_ = state; }
    void SetBordered(bool bordered) override { Bordered_ = bordered; }
    void SetCursorVisible(bool visible) override { CursorVisible_ = visible; }
    void SetPointerGrab(bool grab) override { PointerGrabbed_ = grab; }
    bool PointerGrabbed() const { return PointerGrabbed_; }
    // In full screen the window covers the mode.
    int ClientWidth() const override { return Placement_.Width; }
    int ClientHeight() const override { return Placement_.Height; }

    void SaveWindowPlacement() override;
    void RestoreWindowPlacement() override;

    int DesktopBitCount() const override { return DesktopBitCount_; }
    std::vector<TDisplayMode> FullScreenModes() override { return Modes_; }
    // Only modes of the list are accepted.
    bool EnterFullScreen(const TDisplayMode& mode) override;
    // Back to a window; where it stands is left to the placement's restore.
    void LeaveFullScreen() override { FullScreen_.reset(); }

    // Keeps a copy of the frame; conversion to colours waits for a reader.
    void Present(const TFrameView& frame, const TPresentOptions& options) override;

    // ---- what the simulator sets and reads

    struct TPlacement {
        int Left = 0;
        int Top = 0;
        int Width = 0;
        int Height = 0;
        bool operator==(const TPlacement&) const = default;
    };
    TPlacement Placement() const { return Placement_; }
    void SetWindowPosition(int left, int top);
    bool Shown() const { return Shown_; }
    bool Bordered() const { return Bordered_; }
    bool CursorVisible() const { return CursorVisible_; }
    bool Active() const { return Active_; }
    void SetActive(bool active) { Active_ = active; }
    void SetDesktopBitCount(int bitCount) { DesktopBitCount_ = bitCount; }
    void SetFullScreenModes(std::vector<TDisplayMode> modes) { Modes_ = std::move(modes); }
    std::optional<TDisplayMode> FullScreenMode() const { return FullScreen_; }

    // The last presented frame as 0x00RRGGBB pixels, row by row; empty
    // before the first Present.
    const std::vector<uint32_t>& LastFrame() const;
    int FrameWidth() const { return FrameWidth_; }
    int FrameHeight() const { return FrameHeight_; }
    // One pixel of the last frame; 0 outside it.
    uint32_t FramePixel(int x, int y) const;
    TPresentOptions LastPresentOptions() const { return LastOptions_; }
    int PresentCount() const { return PresentCount_; }

    static std::vector<TDisplayMode> DefaultModes();

private:
    THeadlessEvents& Events_;
    bool HasWindow_ = false;
    bool Shown_ = false;
    std::string Caption_;
    TWindowState State_ = TWindowState::Normal;
    bool Bordered_ = true;
    bool CursorVisible_ = true;
    bool PointerGrabbed_ = false;
    bool Active_ = true;
    TPlacement Placement_;
    std::optional<TPlacement> SavedPlacement_;
    int DesktopBitCount_ = 32;
    std::vector<TDisplayMode> Modes_;
    std::optional<TDisplayMode> FullScreen_;

    // The raw copy of the last frame and its format; converted on demand.
    std::vector<uint8_t> RawFrame_;
    TFrameFormat FrameFormat_ = TFrameFormat::XRGB8888;
    int FrameWidth_ = 0;
    int FrameHeight_ = 0;
    mutable std::vector<uint32_t> Converted_;
    mutable bool ConvertedValid_ = false;
    TPresentOptions LastOptions_;
    int PresentCount_ = 0;
};
