// SPDX-License-Identifier: GPL-3.0-or-later
// The headless audio device and its buffers: sounding is a span of fake time.
#include "HeadlessAudio.h"

#include "HeadlessClock.h"

#include <algorithm>
#include <utility>

std::vector<std::string> THeadlessSoundLog::Take()
{
    return std::exchange(Events_, {});
}

namespace {

class THeadlessSoundBuffer;

// What the device needs of a recording to time it; it plays nothing, so it
// keeps no copy of the samples (the wave library holds the one copy).
struct TSamples {
    uint64_t FrameCount = 0;
    uint32_t Rate = 0;
};

} // namespace

// What buffers need of their device; it outlives the device, which clears
// the clock and the log when it goes so late buffers fall silent.
struct THeadlessAudioDevice::TState {
    IClock* Clock = nullptr;
    THeadlessSoundLog* Log = nullptr;
    std::vector<THeadlessSoundBuffer*> Buffers;
};

namespace {

using TState = THeadlessAudioDevice::TState;

uint32_t GetUInt(std::span<const uint8_t> b, size_t at, int bytes)
{
    uint32_t value = 0;
    for (int i = bytes - 1; i >= 0; --i) value = (value << 8) | b[at + static_cast<size_t>(i)];
    return value;
}

class THeadlessSoundBuffer : public ISoundBuffer {
public:
    THeadlessSoundBuffer(std::shared_ptr<TState> state, std::shared_ptr<const TSamples> samples, std::string label)
        : State_(std::move(state)), Samples_(std::move(samples)), Label_(std::move(label))
    {
        State_->Buffers.push_back(this);
    }

    ~THeadlessSoundBuffer() override
    {
        // Freeing a sounding buffer silences it.
        if (Sounding()) Record("stop ");
        std::erase(State_->Buffers, this);
    }

    THeadlessSoundBuffer(const THeadlessSoundBuffer&) = delete;
    THeadlessSoundBuffer& operator=(const THeadlessSoundBuffer&) = delete;

    void Play(bool looped) override
    {
        if (State_->Clock == nullptr) return;
        Settle();
        Playing_ = true;
        Looping_ = looped;
        StartedAt_ = State_->Clock->Now();
        Record(looped ? "loop " : "play ");
    }

    void Stop() override
    {
        if (Sounding()) {
            Position_ = CurrentFrame();
            Record("stop ");
        }
        Playing_ = false;
    }

    void Rewind() override
    {
        Position_ = 0;
        if (Playing_ && State_->Clock != nullptr) StartedAt_ = State_->Clock->Now();
    }

    bool IsPlaying() override { return Sounding(); }
    bool IsLost() override { return Lost_; }
    // Nothing is heard, so level and balance change nothing here.
    void SetVolume(int /*hundredthsOfDecibel*/) override {}
    void SetPan(int /*hundredthsOfDecibel*/) override {}

    void SetFrequency(uint32_t samplesPerSecond) override
    {
        // The part already played went at the old rate.
        Settle();
        Frequency_ = samplesPerSecond;
    }

    std::unique_ptr<ISoundBuffer> Duplicate() override
    {
        if (State_->Clock == nullptr) return nullptr;
        return std::make_unique<THeadlessSoundBuffer>(State_, Samples_, Label_);
    }

    void SetLabel(const std::string& label) override { Label_ = label; }

    const std::string& Label() const { return Label_; }
    void SetLost(bool lost) { Lost_ = lost; }

    // Whether it sounds now; a once-played buffer that reached its end
    // stops there and goes back to the start.
    bool Sounding()
    {
        if (!Playing_) return false;
        if (State_->Clock == nullptr) {
            Playing_ = false;
            return false;
        }
        if (Looping_) return true;
        const uint64_t left = Samples_->FrameCount - std::min(Position_, Samples_->FrameCount);
        // Round up, so even the shortest recording is busy for a moment.
        const uint64_t leftMs = (left * 1000 + Rate() - 1) / Rate();
        if (Elapsed() < leftMs) return true;
        Playing_ = false;
        Position_ = 0;
        return false;
    }

private:
    uint32_t Rate() const { return Frequency_ != 0 ? Frequency_ : Samples_->Rate; }
    uint32_t Elapsed() const { return State_->Clock->Now() - StartedAt_; }

    uint64_t CurrentFrame() const
    {
        const uint64_t frame = Position_ + uint64_t{Elapsed()} * Rate() / 1000;
        return Looping_ ? frame % Samples_->FrameCount : std::min(frame, Samples_->FrameCount);
    }

    // Folds the time played so far into the position.
    void Settle()
    {
        if (!Sounding()) return;
        Position_ = CurrentFrame();
        StartedAt_ = State_->Clock->Now();
    }

    void Record(const char* what)
    {
        if (State_->Log != nullptr) State_->Log->Record(what + Label_);
    }

    std::shared_ptr<TState> State_;
    std::shared_ptr<const TSamples> Samples_;
    std::string Label_;
    bool Playing_ = false;
    bool Looping_ = false;
    bool Lost_ = false;
    uint32_t StartedAt_ = 0;
    uint64_t Position_ = 0; // in sample frames
    uint32_t Frequency_ = 0;
};

} // namespace

THeadlessAudioDevice::THeadlessAudioDevice(THeadlessClock& clock) : THeadlessAudioDevice(clock, OwnLog_) {}

THeadlessAudioDevice::THeadlessAudioDevice(THeadlessClock& clock, THeadlessSoundLog& log)
    : Log_(&log), State_(std::make_shared<TState>())
{
    State_->Clock = &clock;
    State_->Log = Log_;
}

THeadlessAudioDevice::~THeadlessAudioDevice()
{
    State_->Clock = nullptr;
    State_->Log = nullptr;
}

bool THeadlessAudioDevice::Open()
{
    Open_ = HasDevice_;
    return Open_;
}

void THeadlessAudioDevice::Close()
{
    Open_ = false;
}

std::unique_ptr<ISoundBuffer> THeadlessAudioDevice::CreateBuffer(std::span<const uint8_t> format,
                                                                std::span<const uint8_t> data)
{
    if (!Open_ || format.size() < 14) return nullptr;
    const uint32_t channels = GetUInt(format, 2, 2);
    const uint32_t rate = GetUInt(format, 4, 4);
    const uint32_t blockAlign = GetUInt(format, 12, 2);
    if (channels == 0 || rate == 0 || blockAlign == 0 || data.size() < blockAlign) return nullptr;
    auto samples = std::make_shared<TSamples>();
    samples->FrameCount = data.size() / blockAlign;
    samples->Rate = rate;
    return std::make_unique<THeadlessSoundBuffer>(State_, std::move(samples), std::string());
}

bool THeadlessAudioDevice::ToggleMute()
{
    Muted_ = !Muted_;
    Log_->Record(Muted_ ? "mute on" : "mute off");
    return Muted_;
}

int THeadlessAudioDevice::BufferCount(const std::string& label) const
{
    return static_cast<int>(std::count_if(State_->Buffers.begin(), State_->Buffers.end(),
                                          [&](THeadlessSoundBuffer* b) { return label.empty() || b->Label() == label; }));
}

int THeadlessAudioDevice::PlayingCount(const std::string& label) const
{
    return static_cast<int>(std::count_if(State_->Buffers.begin(), State_->Buffers.end(), [&](THeadlessSoundBuffer* b) {
        return (label.empty() || b->Label() == label) && b->Sounding();
    }));
}

void THeadlessAudioDevice::SetBuffersLost(bool lost)
{
    for (THeadlessSoundBuffer* buffer : State_->Buffers) buffer->SetLost(lost);
}
