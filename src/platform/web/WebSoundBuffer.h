// SPDX-License-Identifier: GPL-3.0-or-later
// A sound buffer of the page's device: the SDL one, with each start told to
// the page by the recording's name, for anyone who listens (the tests do).
#pragma once

#include "Platform.h"

#include <memory>
#include <string>

class TWebSoundBuffer final : public ISoundBuffer {
public:
    explicit TWebSoundBuffer(std::unique_ptr<ISoundBuffer> sound) : Sound_(std::move(sound)) {}

    void Play(bool looped) override;
    void Stop() override { Sound_->Stop(); }
    void Rewind() override { Sound_->Rewind(); }
    bool IsPlaying() override { return Sound_->IsPlaying(); }
    bool IsLost() override { return Sound_->IsLost(); }
    void SetVolume(int hundredthsOfDecibel) override { Sound_->SetVolume(hundredthsOfDecibel); }
    void SetPan(int hundredthsOfDecibel) override { Sound_->SetPan(hundredthsOfDecibel); }
    void SetFrequency(uint32_t samplesPerSecond) override { Sound_->SetFrequency(samplesPerSecond); }
    std::unique_ptr<ISoundBuffer> Duplicate() override;
    void SetLabel(const std::string& label) override;

private:
    std::unique_ptr<ISoundBuffer> Sound_;
    std::string Label_;
};
