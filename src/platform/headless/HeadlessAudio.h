// SPDX-License-Identifier: GPL-3.0-or-later
// The headless audio device: no sound, only a record of what the game asked
// for (`play NAME`, `loop NAME`, `stop NAME`) and buffers that stay busy for
// their recording's length in fake time, so the copy rules run as they would
// on a real device.
#pragma once

#include "Platform.h"

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

class THeadlessClock;

// Sound and music events in the order they happened, shared by the audio
// device and the module player so the simulator can print them as one list.
class THeadlessSoundLog {
public:
    void Record(std::string event) { Events_.push_back(std::move(event)); }
    // The events since the last Take, oldest first.
    std::vector<std::string> Take();
    const std::vector<std::string>& Pending() const { return Events_; }

private:
    std::vector<std::string> Events_;
};

class THeadlessAudioDevice : public IAudioDevice {
public:
    // Records into a log of its own.
    explicit THeadlessAudioDevice(THeadlessClock& clock);
    // Records into a log shared with the module player; the log must outlive the device.
    THeadlessAudioDevice(THeadlessClock& clock, THeadlessSoundLog& log);
    ~THeadlessAudioDevice() override;
    THeadlessAudioDevice(const THeadlessAudioDevice&) = delete;
    THeadlessAudioDevice& operator=(const THeadlessAudioDevice&) = delete;

    // Without a device Open fails and the game runs silently.
    void SetHasDevice(bool hasDevice) { HasDevice_ = hasDevice; }
    bool HasDevice() const { return HasDevice_; }
    bool IsOpen() const { return Open_; }

    bool Open() override;
    void Close() override;
    // Needs the device open, a "fmt " block whose channels, rate and block
    // align are above 0, and at least one whole sample; else nullptr.
    std::unique_ptr<ISoundBuffer> CreateBuffer(std::span<const uint8_t> format, std::span<const uint8_t> data) override;
    // Records `mute on` or `mute off`.
    bool ToggleMute() override;
    bool Muted() const override { return Muted_; }

    THeadlessSoundLog& Log() { return *Log_; }

    // Buffers that exist now, and those of them sounding now; with a label,
    // only the buffers of that recording.
    int BufferCount(const std::string& label = {}) const;
    int PlayingCount(const std::string& label = {}) const;
    // Every existing buffer reports itself lost (or no longer lost).
    void SetBuffersLost(bool lost);

    struct TState;

private:
    THeadlessSoundLog OwnLog_;
    THeadlessSoundLog* Log_;
    std::shared_ptr<TState> State_;
    bool HasDevice_ = true;
    bool Open_ = false;
    bool Muted_ = false;
};
