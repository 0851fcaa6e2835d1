// The wave library's data side: named RIFF recordings with their looping
// flag and copy limit. Playback binds to the sound device later.
#pragma once

#include "HashCollection.h"

#include <cstdint>
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

class TWaveCollectionItem : public THashCollectionItem {
public:
    explicit TWaveCollectionItem(TWaveCollection& collection);

    bool Looped() const { return Looped_; }
    void SetLooped(bool value);
    int MaxPlayingCount() const { return MaxPlayingCount_; }
    // Negative values are stored as 0 (no limit).
    void SetMaxPlayingCount(int value);

    TWave Wave;

private:
    bool Looped_ = false;
    int MaxPlayingCount_ = 0;
};

class TWaveCollection : public THashCollection {
public:
    TWaveCollectionItem& Add();
    TWaveCollectionItem& Items(int index) const;
    // Raises EWaveCollectionError "Wave '%s' not found".
    TWaveCollectionItem& Find(std::string_view name) const;

    // A file that cannot be opened raises EFOpenError and changes nothing.
    void LoadFromFile(const std::string& fileName);
    // Removes all items, then reads; a failure keeps the items read before it.
    void LoadFromStream(std::span<const uint8_t> data);
};

struct TWaveLibraryEntry {
    std::string Name;
    bool Looped = false;
    int MaxPlayingCount = 0;
    TWave Wave;
};

// Writes a ".dxw" library.
std::vector<uint8_t> WriteWaveLibrary(const std::vector<TWaveLibraryEntry>& items);
