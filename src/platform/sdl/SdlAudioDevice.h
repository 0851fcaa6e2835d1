// The sound device on SDL2_mixer: 44100 Hz stereo output, one mixer channel
// per sounding buffer, more channels whenever all are busy.
#pragma once

#include "Platform.h"
#include "SdlMixerChannels.h"

#include <functional>
#include <memory>

class TSdlAudioDevice final : public IAudioDevice {
public:
    TSdlAudioDevice();
    ~TSdlAudioDevice() override;
    TSdlAudioDevice(const TSdlAudioDevice&) = delete;
    TSdlAudioDevice& operator=(const TSdlAudioDevice&) = delete;

    // False when no output device can be opened; the game is then silent.
    bool Open() override;
    void Close() override;
    // nullptr while closed, and for recordings that are not 8- or 16-bit
    // PCM in mono or stereo (see TSdlSoundData).
    std::unique_ptr<ISoundBuffer> CreateBuffer(std::span<const uint8_t> format,
                                               std::span<const uint8_t> data) override;

    bool IsOpen() const { return Mixer_->IsOpen(); }
    const TSdlMixerOutput& Output() const { return Mixer_->Output(); }
    int ChannelCount() const { return Mixer_->ChannelCount(); }
    // Runs just before the mixer closes, while it still plays.
    void SetClosingHandler(std::function<void()> handler) { Closing_ = std::move(handler); }

    static constexpr int Frequency = 44100;
    static constexpr int InitialChannels = 16;

private:
    std::shared_ptr<TSdlMixerChannels> Mixer_;
    std::function<void()> Closing_;
};
