// SPDX-License-Identifier: GPL-3.0-or-later
// The sound device on SDL2_mixer.
#include "SdlAudioDevice.h"

#include "SdlSoundBuffer.h"
#include "SdlSoundData.h"

#include <SDL.h>
#include <SDL_mixer.h>
#ifdef ZARVENOK_HAVE_ALSA
#include <alsa/asoundlib.h>
#endif

#include <cmath>
#include <cstdio>

namespace {

// About 23 ms at 44100 Hz: short enough that a shot sounds with the click.
constexpr int ChunkSamples = 1024;

#ifdef ZARVENOK_HAVE_ALSA
// ALSA explains a missing sound card in eight lines of its own; the device
// says it in one.
extern "C" void QuietAlsaError(const char* /*file*/, int /*line*/, const char* /*function*/, int /*error*/,
                               const char* /*format*/, ...)
{
}
#endif

// Keeps ALSA quiet while the device is opened (SDL loads the same library).
class TQuietAlsa {
public:
    TQuietAlsa()
    {
#ifdef ZARVENOK_HAVE_ALSA
        snd_lib_error_set_handler(QuietAlsaError);
#endif
    }
    ~TQuietAlsa()
    {
#ifdef ZARVENOK_HAVE_ALSA
        snd_lib_error_set_handler(nullptr);
#endif
    }
    TQuietAlsa(const TQuietAlsa&) = delete;
    TQuietAlsa& operator=(const TQuietAlsa&) = delete;
};

} // namespace

TSdlAudioDevice::TSdlAudioDevice() : Mixer_(std::make_shared<TSdlMixerChannels>()) {}

TSdlAudioDevice::~TSdlAudioDevice()
{
    Close();
}

bool TSdlAudioDevice::Open()
{
    if (Mixer_->IsOpen()) return true;
    {
        const TQuietAlsa quiet;
        if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
            OpenFailure_ = SDL_GetError();
        } else if (Mix_OpenAudio(Frequency, AUDIO_S16SYS, 2, ChunkSamples) != 0) {
            OpenFailure_ = Mix_GetError();
            SDL_QuitSubSystem(SDL_INIT_AUDIO);
        } else {
            OpenFailure_.clear();
        }
    }
    if (!OpenFailure_.empty()) {
        if (!FailureReported_) {
            FailureReported_ = true;
            std::fprintf(stderr, "zarvenok: sound and music are off: no sound device (%s)\n", OpenFailure_.c_str());
        }
        return false;
    }
    TSdlMixerOutput output;
    Mix_QuerySpec(&output.Frequency, &output.Format, &output.Channels);
    const int channels = Mix_AllocateChannels(InitialChannels);
    Mixer_->Opened(output, channels);
    ApplyLevels();
    return true;
}

void TSdlAudioDevice::Close()
{
    if (!Mixer_->IsOpen()) return;
    if (Closing_) Closing_();
    Mix_HaltChannel(-1);
    Mix_CloseAudio();
    Mixer_->Closed();
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

std::unique_ptr<ISoundBuffer> TSdlAudioDevice::CreateBuffer(std::span<const uint8_t> format,
                                                            std::span<const uint8_t> data)
{
    if (!Mixer_->IsOpen()) return nullptr;
    std::shared_ptr<const TSdlSoundData> samples = TSdlSoundData::Create(format, data, Mixer_->Output());
    if (!samples) return nullptr;
    return std::make_unique<TSdlSoundBuffer>(Mixer_, std::move(samples));
}

void TSdlAudioDevice::SetLevels(const TSoundLevels& levels)
{
    Levels_ = levels;
    ApplyLevels();
}

bool TSdlAudioDevice::ToggleMute()
{
    Levels_.Muted = !Levels_.Muted;
    ApplyLevels();
    if (LevelsChanged_) LevelsChanged_(Levels_);
    return Levels_.Muted;
}

void TSdlAudioDevice::ApplyLevels()
{
    const double music = Levels_.Muted ? 0.0 : VolumeGain(Levels_.Music);
    const double sound = Levels_.Muted ? 0.0 : VolumeGain(Levels_.Sound);
    MusicGain_.store(static_cast<int>(std::lround(music * UnitGain)), std::memory_order_relaxed);
    // Over every channel's own volume.
    if (Mixer_->IsOpen()) Mix_MasterVolume(static_cast<int>(std::lround(sound * MIX_MAX_VOLUME)));
}
