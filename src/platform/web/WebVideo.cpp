// SPDX-License-Identifier: GPL-3.0-or-later
#include "WebVideo.h"

#include "SdlVideo.h"

#include <emscripten.h>

namespace {

// The stage holds the canvas and the page's own boxes, which stay visible
// over the game in full screen.
EM_JS(void, WebRequestFullScreen, (), {
    const stage = document.getElementById('stage') || Module.canvas;
    if (document.fullscreenElement || !stage.requestFullscreen) return;
    stage.requestFullscreen().catch(() => {});
});

EM_JS(void, WebExitFullScreen, (), {
    if (document.fullscreenElement) document.exitFullscreen().catch(() => {});
});

// What the page (and its tests) can tell of the frames: when the first one
// was shown, in the page's own time, and how many have been.
EM_JS(void, WebFrameShown, (double count), {
    if (Module.firstFrameAt === undefined) Module.firstFrameAt = performance.now();
    Module.framesShown = count;
});

} // namespace

void TWebVideo::CreateWindow(const std::string& caption, int clientWidth, int clientHeight)
{
    Sdl_.CreateWindow(caption, clientWidth, clientHeight);
}

bool TWebVideo::HasWindow() const
{
    return Sdl_.HasWindow();
}

void TWebVideo::ShowWindow()
{
    Sdl_.ShowWindow();
}

void TWebVideo::SetCaption(const std::string& caption)
{
    Sdl_.SetCaption(caption);
}

std::string TWebVideo::Caption() const
{
    return Sdl_.Caption();
}

TWindowState TWebVideo::WindowState() const
{
    return Sdl_.WindowState();
}

void TWebVideo::SetWindowState(TWindowState state)
{
    Sdl_.SetWindowState(state);
}

void TWebVideo::SetBordered(bool bordered)
{
    Sdl_.SetBordered(bordered);
}

void TWebVideo::SetCursorVisible(bool visible)
{
    Sdl_.SetCursorVisible(visible);
}

void TWebVideo::SetIcon(int width, int height, const std::vector<uint32_t>& pixels)
{
    Sdl_.SetIcon(width, height, pixels);
}

void TWebVideo::SetPointerGrab(bool grab)
{
    Sdl_.SetPointerGrab(grab);
}

int TWebVideo::ClientWidth() const
{
    return Sdl_.ClientWidth();
}

int TWebVideo::ClientHeight() const
{
    return Sdl_.ClientHeight();
}

void TWebVideo::SaveWindowPlacement()
{
    Sdl_.SaveWindowPlacement();
}

void TWebVideo::RestoreWindowPlacement()
{
    Sdl_.RestoreWindowPlacement();
}

int TWebVideo::DesktopBitCount() const
{
    return Sdl_.DesktopBitCount();
}

std::vector<TDisplayMode> TWebVideo::FullScreenModes()
{
    const int width = ClientWidth();
    const int height = ClientHeight();
    return {{width, height, 16}, {width, height, 32}};
}

bool TWebVideo::EnterFullScreen(const TDisplayMode& /*mode*/)
{
    WebRequestFullScreen();
    Sdl_.Invalidate();
    return true;
}

void TWebVideo::LeaveFullScreen()
{
    WebExitFullScreen();
    Sdl_.Invalidate();
}

void TWebVideo::Present(const TFrameView& frame, const TPresentOptions& options)
{
    Sdl_.Present(frame, options);
    WebFrameShown(static_cast<double>(Sdl_.PresentCount()));
}
