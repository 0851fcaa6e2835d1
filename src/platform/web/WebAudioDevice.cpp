// SPDX-License-Identifier: GPL-3.0-or-later
#include "WebAudioDevice.h"

#include "WebSoundBuffer.h"

std::unique_ptr<ISoundBuffer> TWebAudioDevice::CreateBuffer(std::span<const uint8_t> format,
                                                            std::span<const uint8_t> data)
{
    std::unique_ptr<ISoundBuffer> sound = Sdl_.CreateBuffer(format, data);
    if (!sound) return nullptr;
    return std::make_unique<TWebSoundBuffer>(std::move(sound));
}
