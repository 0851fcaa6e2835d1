// SPDX-License-Identifier: GPL-3.0-or-later
// One sound buffer on the mixer, on a channel of its own while it sounds.
#include "SdlSoundBuffer.h"

#include <SDL_mixer.h>

#include <algorithm>
#include <cmath>

TSdlSoundBuffer::TSdlSoundBuffer(std::shared_ptr<TSdlMixerChannels> mixer, std::shared_ptr<const TSdlSoundData> data)
    : Mixer_(std::move(mixer)), Data_(std::move(data)), Chunk_(std::make_unique<Mix_Chunk>())
{
}

TSdlSoundBuffer::~TSdlSoundBuffer()
{
    // Halting takes the mixer's lock and removes the counting effect, so the
    // mixer never calls into a buffer that is gone.
    if (OwnsChannel()) {
        Mix_HaltChannel(Channel_);
        Mixer_->Release(Channel_, this);
    }
}

bool TSdlSoundBuffer::OwnsChannel() const
{
    return Channel_ >= 0 && Mixer_->Owns(Channel_, this);
}

void TSdlSoundBuffer::CountPlayed(int, void*, int length, void* self)
{
    static_cast<TSdlSoundBuffer*>(self)->Played_.fetch_add(static_cast<uint32_t>(length));
}

int TSdlSoundBuffer::MixerVolumeOf(int hundredthsOfDecibel)
{
    if (hundredthsOfDecibel >= 0) return MIX_MAX_VOLUME;
    if (hundredthsOfDecibel <= -10000) return 0;
    const double gain = std::pow(10.0, hundredthsOfDecibel / 2000.0);
    return std::clamp(static_cast<int>(std::lround(MIX_MAX_VOLUME * gain)), 0, MIX_MAX_VOLUME);
}

void TSdlSoundBuffer::PanGainsOf(int hundredthsOfDecibel, uint8_t& left, uint8_t& right)
{
    const int pan = std::clamp(hundredthsOfDecibel, -10000, 10000);
    const auto gain = [](int attenuation) {
        if (attenuation >= 10000) return 0;
        return static_cast<int>(std::lround(255.0 * std::pow(10.0, -attenuation / 2000.0)));
    };
    left = static_cast<uint8_t>(pan > 0 ? gain(pan) : 255);
    right = static_cast<uint8_t>(pan < 0 ? gain(-pan) : 255);
}

void TSdlSoundBuffer::Settle()
{
    if (Channel_ < 0) return;
    if (!OwnsChannel()) {
        // The mixer closed, or the channel went to another sound after ours ended.
        Channel_ = -1;
        Position_ = 0;
        return;
    }
    if (Mix_Playing(Channel_) == 0) {
        Mixer_->Release(Channel_, this);
        Channel_ = -1;
        Position_ = 0;
    }
}

void TSdlSoundBuffer::Play(bool looped)
{
    if (!Mixer_->IsOpen()) return;
    Stop();
    const std::shared_ptr<const TSdlSoundData>& data = Current();
    uint32_t start = 0;
    if (!looped && data == Playing_ && Position_ < data->Size())
        start = Position_ / data->FrameBytes() * data->FrameBytes();

    const int channel = Mixer_->Claim(this);
    if (channel < 0) return;
    // The mixer only reads the samples; its chunk type just is not const.
    Chunk_->allocated = 0;
    Chunk_->abuf = const_cast<Uint8*>(data->Samples()) + start;
    Chunk_->alen = data->Size() - start;
    Chunk_->volume = MIX_MAX_VOLUME;
    Mix_Volume(channel, MixerVolumeOf(Volume_));
    Channel_ = channel;
    if (Pan_ != 0) ApplyPan();
    Played_.store(0);
    Mix_RegisterEffect(channel, CountPlayed, nullptr, this);
    if (Mix_PlayChannel(channel, Chunk_.get(), looped ? -1 : 0) < 0) {
        Mix_UnregisterAllEffects(channel);
        Mixer_->Release(channel, this);
        Channel_ = -1;
        return;
    }
    Looped_ = looped;
    Start_ = start;
    Playing_ = data;
}

void TSdlSoundBuffer::Stop()
{
    Settle();
    if (Channel_ < 0) return;
    Mix_HaltChannel(Channel_);
    Mixer_->Release(Channel_, this);
    Channel_ = -1;
    const uint32_t size = Playing_->Size();
    const uint64_t reached = static_cast<uint64_t>(Start_) + Played_.load();
    if (Looped_)
        Position_ = static_cast<uint32_t>(reached % size);
    else
        Position_ = reached >= size ? 0 : static_cast<uint32_t>(reached);
}

void TSdlSoundBuffer::Rewind()
{
    if (IsPlaying()) {
        const bool looped = Looped_;
        Stop();
        Position_ = 0;
        Play(looped);
        return;
    }
    Settle();
    Position_ = 0;
}

bool TSdlSoundBuffer::IsPlaying()
{
    return OwnsChannel() && Mix_Playing(Channel_) != 0 && Mix_GetChunk(Channel_) == Chunk_.get();
}

uint32_t TSdlSoundBuffer::Position()
{
    Settle();
    if (Channel_ < 0) return Position_;
    const uint64_t reached = static_cast<uint64_t>(Start_) + Played_.load();
    return static_cast<uint32_t>(Looped_ ? reached % Playing_->Size() : std::min<uint64_t>(reached, Playing_->Size()));
}

int TSdlSoundBuffer::Channel()
{
    Settle();
    return Channel_;
}

uint32_t TSdlSoundBuffer::Size() const
{
    return Current()->Size();
}

void TSdlSoundBuffer::ApplyPan()
{
    if (Channel_ < 0) return;
    uint8_t left = 255;
    uint8_t right = 255;
    PanGainsOf(Pan_, left, right);
    // Full gain on both sides removes the mixer's panning effect altogether.
    Mix_SetPanning(Channel_, left, right);
}

void TSdlSoundBuffer::SetVolume(int hundredthsOfDecibel)
{
    Volume_ = hundredthsOfDecibel;
    if (IsPlaying()) Mix_Volume(Channel_, MixerVolumeOf(Volume_));
}

void TSdlSoundBuffer::SetPan(int hundredthsOfDecibel)
{
    Pan_ = hundredthsOfDecibel;
    if (IsPlaying()) ApplyPan();
}

void TSdlSoundBuffer::SetFrequency(uint32_t samplesPerSecond)
{
    if (samplesPerSecond == Frequency_) return;
    Frequency_ = samplesPerSecond;
    Pitched_ = nullptr;
    if (samplesPerSecond != 0 && samplesPerSecond != Data_->Rate() && Mixer_->IsOpen())
        Pitched_ = Data_->AtRate(samplesPerSecond, Mixer_->Output());
}

std::unique_ptr<ISoundBuffer> TSdlSoundBuffer::Duplicate()
{
    if (!Mixer_->IsOpen()) return nullptr;
    auto copy = std::make_unique<TSdlSoundBuffer>(Mixer_, Data_);
    copy->Volume_ = Volume_;
    copy->Pan_ = Pan_;
    copy->Frequency_ = Frequency_;
    copy->Pitched_ = Pitched_;
    return copy;
}
