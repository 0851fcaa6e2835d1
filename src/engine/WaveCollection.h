// SPDX-License-Identifier: GPL-3.0-or-later
// The wave library: named RIFF recordings with their looping flag and copy
// limit, and their playback on the sound device as overlapping copies.
#pragma once

#include "HashCollection.h"
#include "Platform.h"

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// One recording: the "fmt " block exactly as found, and the sample data.
struct TWave {
    std::vector<uint8_t> Format;
    std::vector<uint8_t> Data;

    // Reads a RIFF WAVE file; raises EWaveStreamError "Wave is invalid".
    static TWave LoadFromRiff(std::span<const uint8_t> riff);
    // A RIFF WAVE file with the "fmt " and "data" chunks.
    std::vector<uint8_t> SaveToRiff() const;

    // Fields of a PCM format block (0 when the block is too short).
    uint16_t FormatTag() const;
    uint16_t Channels() const;
    uint32_t SamplesPerSec() const;
    uint16_t BitsPerSample() const;
};

class TWaveCollection;
class TDXSound;

class TWaveCollectionItem : public THashCollectionItem {
public:
    explicit TWaveCollectionItem(TWaveCollection& collection);
    ~TWaveCollectionItem() override;

    bool Looped() const { return Looped_; }
    // A change stops the item first.
    void SetLooped(bool value);
    int MaxPlayingCount() const { return MaxPlayingCount_; }
    // Negative values are stored as 0 (no limit). A change frees the copies
    // of an initialised item.
    void SetMaxPlayingCount(int value);
    // 0 plays at the recording's own rate.
    int Frequency() const { return Frequency_; }
    void SetFrequency(int value);
    // Hundredths of a decibel: pan 0 is the centre, volume 0 full.
    int Pan() const { return Pan_; }
    void SetPan(int value);
    int Volume() const { return Volume_; }
    void SetVolume(int value);

    // The item belongs to an initialised sound component.
    bool Initialized() const { return Initialized_; }

    // Starts one sounding: a looped item restarts its main buffer; any other
    // sounds on a copy of it (the oldest cut off once MaxPlayingCount copies
    // exist). With wait, returns when that copy has finished.
    void Play(bool wait = false);
    // Silences the main buffer and every copy; they keep their place.
    void Stop();

    // Life cycle driven by the collection.
    void Initialize();
    // Frees every buffer; the item is no longer initialised.
    void Finalize();
    // Builds the main buffer from the wave when there are samples to build it from.
    void Restore();

    // The buffers as they stand (for diagnostics and tests).
    ISoundBuffer* MainBuffer() const { return Main_.get(); }
    int CopyCount() const { return static_cast<int>(Copies_.size()); }

    TWaveCollection& Owner() const;

    TWave Wave;

private:
    void ApplySettings(ISoundBuffer& buffer) const;
    void FreeCopies();

    std::unique_ptr<ISoundBuffer> Main_;
    // Oldest-started first once the limit is reached.
    std::vector<std::unique_ptr<ISoundBuffer>> Copies_;
    int Frequency_ = 0;
    bool Initialized_ = false;
    bool Looped_ = false;
    int MaxPlayingCount_ = 0;
    int Pan_ = 0;
    int Volume_ = 0;
};

class TWaveCollection : public THashCollection {
public:
    TWaveCollection();
    ~TWaveCollection() override;

    TWaveCollectionItem& Add();
    TWaveCollectionItem& Items(int index) const;
    // Raises EWaveCollectionError "Wave '%s' not found".
    TWaveCollectionItem& Find(std::string_view name) const;

    // A file that cannot be opened raises EFOpenError and changes nothing.
    void LoadFromFile(const std::string& fileName);
    // Removes all items (silencing and freeing their buffers), then reads; a
    // failure keeps the items read before it. When initialised, the new
    // items are initialised and their buffers built at once.
    void LoadFromStream(std::span<const uint8_t> data);

    // Bound sound component; the collection is initialised exactly when it is.
    TDXSound* DXSound() const { return DXSound_; }
    bool Initialized() const;
    // Finalises every item, stores the component, marks the items initialised.
    void Initialize(TDXSound& dxSound);
    void Finalize();
    // Every item builds its buffers.
    void Restore();
    // Forgets a component that is going away.
    void DropDXSound() { DXSound_ = nullptr; }

private:
    TDXSound* DXSound_ = nullptr;
};

struct TWaveLibraryEntry {
    std::string Name;
    bool Looped = false;
    int MaxPlayingCount = 0;
    TWave Wave;
};

// Writes a ".dxw" library.
std::vector<uint8_t> WriteWaveLibrary(const std::vector<TWaveLibraryEntry>& items);
