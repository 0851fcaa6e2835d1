// SPDX-License-Identifier: GPL-3.0-or-later
// The canvas as the game's window: everything as the SDL presenter does it,
// except full screen, which is the browser's. The canvas fills the page and
// follows its size as a resizable window does, so the game keeps its
// 800 x 600 window throughout.
#pragma once

#include "Platform.h"

class TSdlVideo;

class TWebVideo final : public IVideo {
public:
    explicit TWebVideo(TSdlVideo& sdl) : Sdl_(sdl) {}

    void CreateWindow(const std::string& caption, int clientWidth, int clientHeight) override;
    bool HasWindow() const override;
    void ShowWindow() override;
    void SetCaption(const std::string& caption) override;
    std::string Caption() const override;
    TWindowState WindowState() const override;
    void SetWindowState(TWindowState state) override;
    void SetBordered(bool bordered) override;
    void SetCursorVisible(bool visible) override;
    void SetIcon(int width, int height, const std::vector<uint32_t>& pixels) override;
    void SetPointerGrab(bool grab) override;
    int ClientWidth() const override;
    int ClientHeight() const override;
    void SaveWindowPlacement() override;
    void RestoreWindowPlacement() override;
    int DesktopBitCount() const override;
    // The window's own size at both depths: the page does the scaling.
    std::vector<TDisplayMode> FullScreenModes() override;
    // Asks the browser to show the page's stage on the whole screen. The
    // browser grants that only soon after a click or key, so a refusal
    // (a game started in full screen) leaves the stage filling the tab,
    // which is as full as the page may be; the game runs on regardless.
    bool EnterFullScreen(const TDisplayMode& mode) override;
    void LeaveFullScreen() override;
    void Present(const TFrameView& frame, const TPresentOptions& options) override;

private:
    TSdlVideo& Sdl_;
};
