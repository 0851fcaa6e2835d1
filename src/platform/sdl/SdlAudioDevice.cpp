// The sound device on SDL2_mixer.
#include "SdlAudioDevice.h"

#include "SdlSoundBuffer.h"
#include "SdlSoundData.h"

#include <SDL.h>
#include <SDL_mixer.h>

namespace {

// About 23 ms at 44100 Hz: short enough that a shot sounds with the click.
constexpr int ChunkSamples = 1024;

} // namespace

TSdlAudioDevice::TSdlAudioDevice() : Mixer_(std::make_shared<TSdlMixerChannels>()) {}

TSdlAudioDevice::~TSdlAudioDevice()
{
    Close();
}

bool TSdlAudioDevice::Open()
{
    if (Mixer_->IsOpen()) return true;
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return false;
    if (Mix_OpenAudio(Frequency, AUDIO_S16SYS, 2, ChunkSamples) != 0) {
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return false;
    }
    TSdlMixerOutput output;
    Mix_QuerySpec(&output.Frequency, &output.Format, &output.Channels);
    const int channels = Mix_AllocateChannels(InitialChannels);
    Mixer_->Opened(output, channels);
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
