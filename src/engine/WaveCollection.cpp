// The wave library's data side: RIFF recordings, the named items and the
// ".dxw" reader and writer.
#include "WaveCollection.h"

#include "EngineErrors.h"
#include "FileData.h"
#include "ObjectStream.h"

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

TWaveCollectionItem::TWaveCollectionItem(TWaveCollection& collection) : THashCollectionItem(collection) {}

void TWaveCollectionItem::SetLooped(bool value)
{
    Looped_ = value;
}

void TWaveCollectionItem::SetMaxPlayingCount(int value)
{
    MaxPlayingCount_ = value < 0 ? 0 : value;
}

// ---- TWaveCollection ----

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
