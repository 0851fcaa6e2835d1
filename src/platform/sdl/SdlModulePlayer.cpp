// SPDX-License-Identifier: GPL-3.0-or-later
// Tracker-module music rendered by libxmp into the mixer's music hook.
#include "SdlModulePlayer.h"

#include "SdlAudioDevice.h"

#include <SDL.h>
#include <SDL_mixer.h>
#include <xmp.h>

#include <algorithm>
#include <cstring>

namespace {

xmp_context ContextOf(void* module)
{
    return static_cast<xmp_context>(module);
}

// Bytes rendered at a time when the output is converted.
constexpr int ScratchBytes = 4096;

// The music volume, on 16-bit samples in the machine's order.
void ScaleSamples(uint8_t* bytes, int length, int gain)
{
    if (gain == TSdlAudioDevice::UnitGain) return;
    const size_t count = static_cast<size_t>(length) / sizeof(int16_t);
    for (size_t i = 0; i < count; ++i) {
        int16_t sample = 0;
        std::memcpy(&sample, bytes + i * sizeof sample, sizeof sample);
        sample = static_cast<int16_t>((static_cast<int64_t>(sample) * gain) / TSdlAudioDevice::UnitGain);
        std::memcpy(bytes + i * sizeof sample, &sample, sizeof sample);
    }
}

} // namespace

TSdlModulePlayer::TSdlModulePlayer(TSdlAudioDevice& audio) : Audio_(audio)
{
    Audio_.SetClosingHandler([this] { StopPlaying(); });
}

TSdlModulePlayer::~TSdlModulePlayer()
{
    StopPlaying();
    Audio_.SetClosingHandler(nullptr);
    for (const auto& [handle, module] : Modules_) {
        xmp_release_module(ContextOf(module));
        xmp_free_context(ContextOf(module));
    }
}

int32_t TSdlModulePlayer::SongLoadFromFile(const std::string& path)
{
    xmp_context context = xmp_create_context();
    if (context == nullptr) return 0;
    if (xmp_load_module(context, path.c_str()) != 0) {
        xmp_free_context(context);
        return 0;
    }
    while (NextHandle_ <= 0 || Modules_.contains(NextHandle_)) ++NextHandle_;
    const int32_t handle = NextHandle_++;
    Modules_[handle] = context;
    return handle;
}

void TSdlModulePlayer::SongPlay(int32_t handle)
{
    const auto found = Modules_.find(handle);
    if (found == Modules_.end()) return;
    StopPlaying();
    if (!Audio_.IsOpen()) return;

    const TSdlMixerOutput& output = Audio_.Output();
    const bool direct = output.Format == AUDIO_S16SYS && (output.Channels == 1 || output.Channels == 2) &&
                        output.Frequency >= XMP_MIN_SRATE && output.Frequency <= XMP_MAX_SRATE;
    const int rate = direct ? output.Frequency : 48000;
    const int flags = direct && output.Channels == 1 ? XMP_FORMAT_MONO : 0;
    xmp_context context = ContextOf(found->second);
    if (xmp_start_player(context, rate, flags) != 0) return;
    if (!direct) {
        Stream_ = SDL_NewAudioStream(AUDIO_S16SYS, 2, rate, output.Format, static_cast<Uint8>(output.Channels),
                                     output.Frequency);
        if (Stream_ == nullptr) {
            xmp_end_player(context);
            return;
        }
        Scratch_.resize(ScratchBytes);
    }
    {
        std::lock_guard lock(RenderLock_);
        Rendering_ = found->second;
    }
    Playing_ = handle;
    Mix_HookMusic(Render, this);
}

void TSdlModulePlayer::Render(void* self, uint8_t* stream, int length)
{
    auto& player = *static_cast<TSdlModulePlayer*>(self);
    std::lock_guard lock(player.RenderLock_);
    if (player.Rendering_ == nullptr) return;
    xmp_context context = ContextOf(player.Rendering_);
    const int gain = player.Audio_.MusicGain();
    if (player.Stream_ == nullptr) {
        if (xmp_play_buffer(context, stream, length, 0) != 0) std::memset(stream, 0, static_cast<size_t>(length));
        ScaleSamples(stream, length, gain);
        return;
    }
    while (SDL_AudioStreamAvailable(player.Stream_) < length) {
        if (xmp_play_buffer(context, player.Scratch_.data(), ScratchBytes, 0) != 0) break;
        ScaleSamples(player.Scratch_.data(), ScratchBytes, gain);
        if (SDL_AudioStreamPut(player.Stream_, player.Scratch_.data(), ScratchBytes) != 0) break;
    }
    // Whatever is not filled keeps the silence the mixer put there.
    SDL_AudioStreamGet(player.Stream_, stream, length);
}

int32_t TSdlModulePlayer::SongGetOrder(int32_t handle)
{
    if (handle == 0 || handle != Playing_) return 0;
    std::lock_guard lock(RenderLock_);
    if (Rendering_ == nullptr) return 0;
    xmp_frame_info info{};
    xmp_get_frame_info(ContextOf(Rendering_), &info);
    return info.pos;
}

void TSdlModulePlayer::StopPlaying()
{
    if (Playing_ == 0) return;
    // Unhooking takes the mixer's lock, so no rendering is under way after it.
    if (Audio_.IsOpen()) Mix_HookMusic(nullptr, nullptr);
    void* module = nullptr;
    {
        std::lock_guard lock(RenderLock_);
        module = Rendering_;
        Rendering_ = nullptr;
    }
    if (module != nullptr) xmp_end_player(ContextOf(module));
    if (Stream_ != nullptr) SDL_FreeAudioStream(Stream_);
    Stream_ = nullptr;
    Playing_ = 0;
}

void TSdlModulePlayer::SongFree(int32_t handle)
{
    const auto found = Modules_.find(handle);
    if (found == Modules_.end()) return;
    if (handle == Playing_) StopPlaying();
    xmp_release_module(ContextOf(found->second));
    xmp_free_context(ContextOf(found->second));
    Modules_.erase(found);
}
