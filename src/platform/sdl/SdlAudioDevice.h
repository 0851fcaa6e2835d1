// SPDX-License-Identifier: GPL-3.0-or-later
// The sound device on SDL2_mixer: 44100 Hz stereo output, one mixer channel
// per sounding buffer, more channels whenever all are busy. The player's
// levels scale the effects here and the music in the module player.
#pragma once

#include "Platform.h"
#include "SdlMixerChannels.h"
#include "SoundLevels.h"

#include <atomic>
#include <functional>
#include <memory>
#include <string>

class TSdlAudioDevice final : public IAudioDevice {
public:
    TSdlAudioDevice();
    ~TSdlAudioDevice() override;
    TSdlAudioDevice(const TSdlAudioDevice&) = delete;
    TSdlAudioDevice& operator=(const TSdlAudioDevice&) = delete;

    // False when no output device can be opened; the game is then silent,
    // and standard error gets one line that says so.
    bool Open() override;
    void Close() override;
    // nullptr while closed, and for recordings that are not 8- or 16-bit
    // PCM in mono or stereo (see TSdlSoundData).
    std::unique_ptr<ISoundBuffer> CreateBuffer(std::span<const uint8_t> format,
                                               std::span<const uint8_t> data) override;
    // Tells the levels' handler, which keeps them.
    bool ToggleMute() override;
    bool Muted() const override { return Levels_.Muted; }

    // The volumes and the mute switch, open or not; the handler is not told.
    void SetLevels(const TSoundLevels& levels);
    const TSoundLevels& Levels() const { return Levels_; }
    // Told of every change the game makes to the levels.
    void SetLevelsChangedHandler(std::function<void(const TSoundLevels&)> handler) { LevelsChanged_ = std::move(handler); }
    // The music's amplitude factor in 1/65536, read by the mixer's thread.
    int MusicGain() const { return MusicGain_.load(std::memory_order_relaxed); }

    bool IsOpen() const { return Mixer_->IsOpen(); }
    const TSdlMixerOutput& Output() const { return Mixer_->Output(); }
    int ChannelCount() const { return Mixer_->ChannelCount(); }
    // Runs just before the mixer closes, while it still plays.
    void SetClosingHandler(std::function<void()> handler) { Closing_ = std::move(handler); }
    // Why the last Open failed, or empty.
    const std::string& OpenFailure() const { return OpenFailure_; }

    static constexpr int Frequency = 44100;
    static constexpr int InitialChannels = 16;
    static constexpr int UnitGain = 65536;

private:
    void ApplyLevels();

    std::shared_ptr<TSdlMixerChannels> Mixer_;
    std::function<void()> Closing_;
    TSoundLevels Levels_;
    std::function<void(const TSoundLevels&)> LevelsChanged_;
    std::atomic<int> MusicGain_{UnitGain};
    std::string OpenFailure_;
    bool FailureReported_ = false;
};
