// SPDX-License-Identifier: GPL-3.0-or-later
// The page's sound device: SDL's, whose buffers tell the page what they
// play (see WebSoundBuffer). The browser lets it sound only after the
// player's first click or key; until then it runs silently.
#pragma once

#include "Platform.h"

class TWebAudioDevice final : public IAudioDevice {
public:
    explicit TWebAudioDevice(IAudioDevice& sdl) : Sdl_(sdl) {}

    bool Open() override { return Sdl_.Open(); }
    void Close() override { Sdl_.Close(); }
    std::unique_ptr<ISoundBuffer> CreateBuffer(std::span<const uint8_t> format, std::span<const uint8_t> data) override;
    bool ToggleMute() override { return Sdl_.ToggleMute(); }
    bool Muted() const override { return Sdl_.Muted(); }

private:
    IAudioDevice& Sdl_;
};
