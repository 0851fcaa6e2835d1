// SPDX-License-Identifier: GPL-3.0-or-later
#include "WebPlatform.h"

#include "SdlPlatform.h"
#include "SdlVideo.h"
#include "WebAudioDevice.h"
#include "WebHttpClient.h"
#include "WebMessageBox.h"
#include "WebShell.h"
#include "WebVideo.h"

TWebPlatform::TWebPlatform()
    : Sdl_(std::make_unique<TSdlPlatform>("Zarvenok", std::make_unique<TWebHttpClient>())),
      Video_(std::make_unique<TWebVideo>(Sdl_->SdlVideo())),
      Audio_(std::make_unique<TWebAudioDevice>(Sdl_->Audio())),
      Shell_(std::make_unique<TWebShell>()),
      MessageBox_(std::make_unique<TWebMessageBox>())
{
    // The page gives the canvas the whole window and SDL keeps its pixels at
    // that size: the frame is scaled into it smoothly, between black bars,
    // and the pointer mapped back through the same layout.
    Sdl_->SdlVideo().SetScaling({0, true});
}

TWebPlatform::~TWebPlatform() = default;

TSdlAudioDevice& TWebPlatform::SdlAudio()
{
    return Sdl_->SdlAudio();
}

IClock& TWebPlatform::Clock()
{
    return Sdl_->Clock();
}

IEventSource& TWebPlatform::Events()
{
    return Sdl_->Events();
}

IVideo& TWebPlatform::Video()
{
    return *Video_;
}

IAudioDevice& TWebPlatform::Audio()
{
    return *Audio_;
}

IModulePlayer& TWebPlatform::Music()
{
    return Sdl_->Music();
}

IShell& TWebPlatform::Shell()
{
    return *Shell_;
}

IMessageBox& TWebPlatform::MessageBox()
{
    return *MessageBox_;
}

IHttpClient& TWebPlatform::Http()
{
    return Sdl_->Http();
}
