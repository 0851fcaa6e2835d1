// SPDX-License-Identifier: GPL-3.0-or-later
// The wave library: RIFF recordings, the named items with their playback,
// and the ".dxw" reader and writer.
#include "WaveCollection.h"

#include "DXSound.h"
#include "EngineErrors.h"
#include "FileData.h"
#include "ObjectStream.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <memory>
#include <utility>

namespace {

[[noreturn]] void InvalidWave()
{
    throw EWaveStreamError("Wave is invalid");
}

uint32_t GetUInt32(std::span<const uint8_t> b, size_t at)
{
    return static_cast<uint32_t>(b[at]) | (static_cast<uint32_t>(b[at + 1]) << 8) |
           (static_cast<uint32_t>(b[at + 2]) << 16) | (static_cast<uint32_t>(b[at + 3]) << 24);
}

bool IsId(std::span<const uint8_t> b, size_t at, const char* id)
{
    return std::memcmp(b.data() + at, id, 4) == 0;
}

void PutId(std::vector<uint8_t>& out, const char* id)
{
    out.insert(out.end(), id, id + 4);
}

void PutUInt32(std::vector<uint8_t>& out, size_t value)
{
    if (value > std::numeric_limits<uint32_t>::max()) InvalidWave();
    for (int shift = 0; shift < 32; shift += 8) out.push_back(static_cast<uint8_t>(value >> shift));
}

// Reads one collection item's properties into a freshly added item.
void ReadItemProperties(TObjectReader& reader, TWaveCollectionItem& item)
{
    while (!reader.EndOfList()) {
        const std::string property = reader.ReadShortString();
        if (THashCollection::SameName(property, "Name"))
            item.SetName(reader.ReadString());
        else if (THashCollection::SameName(property, "Looped"))
            item.SetLooped(reader.ReadBoolean());
        else if (THashCollection::SameName(property, "MaxPlayingCount"))
            item.SetMaxPlayingCount(reader.ReadInteger());
        else if (THashCollection::SameName(property, "Wave.WAVE"))
            item.Wave = TWave::LoadFromRiff(reader.ReadBinary());
        else
            reader.SkipValue();
    }
}

} // namespace

// ---- TWave ----

TWave TWave::LoadFromRiff(std::span<const uint8_t> riff)
{
    if (riff.size() < 12 || !IsId(riff, 0, "RIFF") || !IsId(riff, 8, "WAVE")) InvalidWave();
    TWave wave;
    size_t pos = 12;
    // A partial chunk header at the end is trailing slack and ends the walk.
    while (riff.size() - pos >= 8) {
        const size_t bodyAt = pos + 8;
        const size_t size = GetUInt32(riff, pos + 4);
        // A chunk that claims more bytes than are left is damage: taking
        // what is there would play a cut-off or misread recording.
        if (size > riff.size() - bodyAt) InvalidWave();
        const auto body = riff.subspan(bodyAt, size);
        if (IsId(riff, pos, "fmt "))
            wave.Format.assign(body.begin(), body.end());
        else if (IsId(riff, pos, "data"))
            wave.Data.assign(body.begin(), body.end());
        pos = bodyAt + size;
    }
    return wave;
}

std::vector<uint8_t> TWave::SaveToRiff() const
{
    // No pad byte after odd-sized chunks: the reader takes sizes exactly as
    // written, so a pad would be read as the start of the next chunk.
    std::vector<uint8_t> out;
    out.reserve(20 + 8 + Format.size() + Data.size());
    PutId(out, "RIFF");
    PutUInt32(out, 4 + 8 + Format.size() + 8 + Data.size());
    PutId(out, "WAVE");
    PutId(out, "fmt ");
    PutUInt32(out, Format.size());
    out.insert(out.end(), Format.begin(), Format.end());
    PutId(out, "data");
    PutUInt32(out, Data.size());
    out.insert(out.end(), Data.begin(), Data.end());
    return out;
}

uint16_t TWave::FormatTag() const
{
    return Format.size() >= 2 ? static_cast<uint16_t>(Format[0] | (Format[1] << 8)) : 0;
}

uint16_t TWave::Channels() const
{
    return Format.size() >= 4 ? static_cast<uint16_t>(Format[2] | (Format[3] << 8)) : 0;
}

uint32_t TWave::SamplesPerSec() const
{
    return Format.size() >= 8 ? GetUInt32(Format, 4) : 0;
}

uint16_t TWave::BitsPerSample() const
{
    return Format.size() >= 16 ? static_cast<uint16_t>(Format[14] | (Format[15] << 8)) : 0;
}

// ---- TWaveCollectionItem ----

namespace {

// A buffer still sounding, or one whose memory the device took back; either
// way it cannot take a new sounding.
bool Busy(ISoundBuffer& buffer)
{
    return buffer.IsPlaying() || buffer.IsLost();
}

} // namespace

TWaveCollectionItem::TWaveCollectionItem(TWaveCollection& collection) : THashCollectionItem(collection) {}

TWaveCollectionItem::~TWaveCollectionItem() = default;

TWaveCollection& TWaveCollectionItem::Owner() const
{
    return static_cast<TWaveCollection&>(Collection());
}

void TWaveCollectionItem::SetLooped(bool value)
{
    if (value == Looped_) return;
    Stop();
    Looped_ = value;
}

void TWaveCollectionItem::SetMaxPlayingCount(int value)
{
    if (value < 0) value = 0;
    if (value == MaxPlayingCount_) return;
    if (Initialized_) FreeCopies();
    MaxPlayingCount_ = value;
}

void TWaveCollectionItem::SetFrequency(int value)
{
    Frequency_ = value;
    if (Main_) Main_->SetFrequency(static_cast<uint32_t>(std::max(value, 0)));
}

void TWaveCollectionItem::SetPan(int value)
{
    Pan_ = value;
    if (Main_) Main_->SetPan(value);
}

void TWaveCollectionItem::SetVolume(int value)
{
    Volume_ = value;
    if (Main_) Main_->SetVolume(value);
}

void TWaveCollectionItem::ApplySettings(ISoundBuffer& buffer) const
{
    buffer.SetFrequency(static_cast<uint32_t>(std::max(Frequency_, 0)));
    buffer.SetPan(Pan_);
    buffer.SetVolume(Volume_);
}

void TWaveCollectionItem::FreeCopies()
{
    Copies_.clear();
}

void TWaveCollectionItem::Initialize()
{
    Finalize();
    Initialized_ = true;
}

void TWaveCollectionItem::Finalize()
{
    // Copies share the main buffer's samples: free them first.
    FreeCopies();
    Main_.reset();
    Initialized_ = false;
}

void TWaveCollectionItem::Restore()
{
    if (Wave.Data.empty()) return;
    if (!Initialized_) {
        if (!Owner().Initialized()) return;
        Initialize();
    }
    if (!Main_) {
        auto buffer = Owner().DXSound()->Device().CreateBuffer(Wave.Format, Wave.Data);
        if (!buffer) throw EDirectSoundBufferError(FormatMessage("%s cannot be made", "Sound Buffer"));
        buffer->SetLabel(Name());
        Main_ = std::move(buffer);
    }
    ApplySettings(*Main_);
}

void TWaveCollectionItem::Play(bool wait)
{
    if (!Initialized_) return;

    if (Looped_) {
        if (!Main_) Restore();
        if (!Main_) return;
        // One looping sound per item: a second play restarts it.
        Main_->Stop();
        Main_->Rewind();
        Main_->Play(true);
        return;
    }

    ISoundBuffer* chosen = nullptr;
    for (const auto& copy : Copies_) {
        if (!Busy(*copy)) {
            chosen = copy.get();
            break;
        }
    }
    if (chosen == nullptr) {
        if (MaxPlayingCount_ == 0 || CopyCount() < MaxPlayingCount_) {
            if (!Main_) Restore();
            if (!Main_) return;
            auto copy = Main_->Duplicate();
            if (!copy) return;
            Copies_.push_back(std::move(copy));
        } else {
            // All copies busy: cut off the one started longest ago.
            std::rotate(Copies_.begin(), Copies_.begin() + 1, Copies_.end());
        }
        chosen = Copies_.back().get();
    }

    chosen->Stop();
    chosen->Rewind();
    ApplySettings(*chosen);
    chosen->Play(false);

    if (wait) {
        // A lost buffer never finishes; waiting on one would hang the game.
        IClock& clock = Owner().DXSound()->Clock();
        while (chosen->IsPlaying() && !chosen->IsLost()) clock.Sleep(10);
    }
}

void TWaveCollectionItem::Stop()
{
    if (!Initialized_) return;
    if (Main_) Main_->Stop();
    for (const auto& copy : Copies_) copy->Stop();
}

// ---- TWaveCollection ----

TWaveCollection::TWaveCollection() = default;

TWaveCollection::~TWaveCollection()
{
    Clear();
}

TWaveCollectionItem& TWaveCollection::Add()
{
    return static_cast<TWaveCollectionItem&>(Append(std::make_unique<TWaveCollectionItem>(*this)));
}

TWaveCollectionItem& TWaveCollection::Items(int index) const
{
    return static_cast<TWaveCollectionItem&>(ItemAt(index));
}

TWaveCollectionItem& TWaveCollection::Find(std::string_view name) const
{
    auto* item = FindItem(name);
    if (item == nullptr) throw EWaveCollectionError(FormatMessage("Wave '%s' not found", std::string(name).c_str()));
    return static_cast<TWaveCollectionItem&>(*item);
}

void TWaveCollection::LoadFromFile(const std::string& fileName)
{
    // Read the whole file first, so a file that cannot be opened leaves the
    // library as it was.
    const auto data = ReadFileData(fileName);
    LoadFromStream(data);
}

void TWaveCollection::LoadFromStream(std::span<const uint8_t> data)
{
    Clear();
    TObjectReader reader(data);
    reader.ReadHolderStart();
    while (!reader.EndOfList()) {
        const std::string property = reader.ReadShortString();
        if (!THashCollection::SameName(property, "List")) {
            reader.SkipValue();
            continue;
        }
        // A repeated "List" replaces what an earlier one loaded.
        bool first = true;
        reader.ReadCollection([&] {
            if (std::exchange(first, false)) Clear();
            ReadWhole(Add(), [&](TWaveCollectionItem& item) { ReadItemProperties(reader, item); });
        });
    }
    reader.ReadListEnd(); // the holder has no child objects
    if (Initialized()) {
        Initialize(*DXSound_);
        Restore();
    }
}

bool TWaveCollection::Initialized() const
{
    return DXSound_ != nullptr && DXSound_->Initialized();
}

void TWaveCollection::Initialize(TDXSound& dxSound)
{
    DXSound_ = &dxSound;
    for (int i = 0; i < Count(); ++i) Items(i).Initialize();
}

void TWaveCollection::Finalize()
{
    for (int i = 0; i < Count(); ++i) Items(i).Finalize();
}

void TWaveCollection::Restore()
{
    for (int i = 0; i < Count(); ++i) Items(i).Restore();
}

// ---- writer ----

std::vector<uint8_t> WriteWaveLibrary(const std::vector<TWaveLibraryEntry>& items)
{
    TObjectWriter writer;
    writer.WriteHolderStart("TWAVECOLLECTIONHOLDER", "TWaveCollectionHolder");
    writer.WriteShortString("List");
    writer.WriteValue(TValueType::Collection);
    for (const auto& item : items) {
        writer.WriteValue(TValueType::List);
        writer.WriteProperty("Name", item.Name);
        writer.WriteProperty("Looped", item.Looped);
        writer.WriteProperty("MaxPlayingCount", item.MaxPlayingCount);
        if (!item.Wave.Format.empty() || !item.Wave.Data.empty()) writer.WriteProperty("Wave.WAVE", item.Wave.SaveToRiff());
        writer.WriteListEnd();
    }
    writer.WriteListEnd(); // items
    writer.WriteHolderEnd();
    return writer.Finish();
}
