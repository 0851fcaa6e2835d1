// SPDX-License-Identifier: GPL-3.0-or-later
// The game in a browser: the SDL platform for the canvas, input, clock,
// sound and music, with what a page does differently: HTTP through fetch,
// message boxes over the canvas, addresses opened in a new tab, full screen
// through the browser. This header pulls in no SDL or emscripten header.
#pragma once

#include "Platform.h"

#include <memory>

class TSdlAudioDevice;
class TSdlPlatform;
class TWebAudioDevice;
class TWebVideo;
class TWebShell;
class TWebMessageBox;

class TWebPlatform final : public IPlatform {
public:
    // Raises std::runtime_error when SDL cannot start on the page's canvas.
    TWebPlatform();
    ~TWebPlatform() override;
    TWebPlatform(const TWebPlatform&) = delete;
    TWebPlatform& operator=(const TWebPlatform&) = delete;

    IClock& Clock() override;
    IEventSource& Events() override;
    IVideo& Video() override;
    IAudioDevice& Audio() override;
    IModulePlayer& Music() override;
    IShell& Shell() override;
    IMessageBox& MessageBox() override;
    IHttpClient& Http() override;

    // The sound device with its volumes, as the desktop's program sets them.
    TSdlAudioDevice& SdlAudio();

private:
    std::unique_ptr<TSdlPlatform> Sdl_;
    std::unique_ptr<TWebVideo> Video_;
    std::unique_ptr<TWebAudioDevice> Audio_;
    std::unique_ptr<TWebShell> Shell_;
    std::unique_ptr<TWebMessageBox> MessageBox_;
};
