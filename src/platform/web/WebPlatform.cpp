// SPDX-License-Identifier: GPL-3.0-or-later
#include "WebPlatform.h"

#include "SdlPlatform.h"
#include "WebHttpClient.h"
#include "WebMessageBox.h"
#include "WebShell.h"
#include "WebVideo.h"

TWebPlatform::TWebPlatform()
    : Sdl_(std::make_unique<TSdlPlatform>("Zarvenok", std::make_unique<TWebHttpClient>())),
      Video_(std::make_unique<TWebVideo>(Sdl_->SdlVideo())),
      Shell_(std::make_unique<TWebShell>()),
      MessageBox_(std::make_unique<TWebMessageBox>())
{
}

TWebPlatform::~TWebPlatform() = default;

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
    return Sdl_->Audio();
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
