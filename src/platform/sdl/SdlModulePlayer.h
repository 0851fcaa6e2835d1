// SPDX-License-Identifier: GPL-3.0-or-later
// Tracker-module music: libxmp renders the module that plays into the
// mixer's music hook. One module plays at a time.
#pragma once

#include "Platform.h"

#include <cstdint>
#include <map>
#include <mutex>
#include <string>
#include <vector>

class TSdlAudioDevice;
struct _SDL_AudioStream;

class TSdlModulePlayer final : public IModulePlayer {
public:
    explicit TSdlModulePlayer(TSdlAudioDevice& audio);
    ~TSdlModulePlayer() override;
    TSdlModulePlayer(const TSdlModulePlayer&) = delete;
    TSdlModulePlayer& operator=(const TSdlModulePlayer&) = delete;

    // Loads without a sound device too, so that handles behave the same.
    int32_t SongLoadFromFile(const std::string& path) override;
    // Starts from the beginning and loops for ever; stops any other module.
    // Silent without a sound device.
    void SongPlay(int32_t handle) override;
    // The order position being played; 0 for a module that does not play.
    int32_t SongGetOrder(int32_t handle) override;
    void SongFree(int32_t handle) override;

    // The handle of the module that plays, 0 for none.
    int32_t Playing() const { return Playing_; }
    // Stops the module that plays (the sound device calls it before closing).
    void StopPlaying();

private:
    static void Render(void* self, uint8_t* stream, int length);

    TSdlAudioDevice& Audio_;
    std::map<int32_t, void*> Modules_;  // handle to libxmp context
    int32_t NextHandle_ = 1;
    int32_t Playing_ = 0;

    // Held by the mixer's thread while it renders and by the game while it
    // reads the position or changes the module that plays.
    std::mutex RenderLock_;
    void* Rendering_ = nullptr;
    // When the mixer's format is not one libxmp renders, its output is
    // converted on the way.
    _SDL_AudioStream* Stream_ = nullptr;
    std::vector<uint8_t> Scratch_;
};
