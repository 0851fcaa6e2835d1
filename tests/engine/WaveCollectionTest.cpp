// SPDX-License-Identifier: GPL-3.0-or-later
// Tests of the wave library's data side: RIFF recordings, the named items
// and the ".dxw" reader and writer.
#include "EngineErrors.h"
#include "WaveCollection.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

// Byte builder independent of the engine's writers, so a mistake shared by
// a writer and its reader cannot hide.
struct TBytes {
    std::vector<uint8_t> B;
    TBytes& U8(uint32_t v) { B.push_back(static_cast<uint8_t>(v)); return *this; }
    TBytes& U16(uint32_t v) { return U8(v & 0xFF).U8(v >> 8); }
    TBytes& U32(uint32_t v) { return U16(v & 0xFFFF).U16(v >> 16); }
    TBytes& Raw(const std::string& s) { B.insert(B.end(), s.begin(), s.end()); return *this; }
    TBytes& Raw(const std::vector<uint8_t>& bytes) { B.insert(B.end(), bytes.begin(), bytes.end()); return *this; }
    TBytes& Short(const std::string& s) { return U8(static_cast<uint32_t>(s.size())).Raw(s); }
    TBytes& Chunk(const std::string& id, const std::vector<uint8_t>& body)
    {
        return Raw(id).U32(static_cast<uint32_t>(body.size())).Raw(body);
    }
    size_t Size() const { return B.size(); }
};

// A PCM format block: tag 1, channels, rate, byte rate, block align, bits.
std::vector<uint8_t> PcmFormat(uint16_t channels, uint32_t rate, uint16_t bits)
{
    const uint16_t align = static_cast<uint16_t>(channels * bits / 8);
    return TBytes().U16(1).U16(channels).U32(rate).U32(rate * align).U16(align).U16(bits).B;
}

std::vector<uint8_t> Riff(const std::vector<uint8_t>& chunks)
{
    return TBytes().Raw("RIFF").U32(static_cast<uint32_t>(4 + chunks.size())).Raw("WAVE").Raw(chunks).B;
}

std::vector<uint8_t> SimpleRiff(const std::vector<uint8_t>& format, const std::vector<uint8_t>& data)
{
    return Riff(TBytes().Chunk("fmt ", format).Chunk("data", data).B);
}

struct TExpectedItem {
    std::string Name;
    bool Looped;
    int MaxPlayingCount;
    std::vector<uint8_t> Format;
    std::vector<uint8_t> Data;
};

void ExpectItem(const TWaveCollectionItem& item, const TExpectedItem& expected)
{
    EXPECT_EQ(item.Name(), expected.Name);
    EXPECT_EQ(item.Looped(), expected.Looped) << expected.Name;
    EXPECT_EQ(item.MaxPlayingCount(), expected.MaxPlayingCount) << expected.Name;
    EXPECT_EQ(item.Wave.Format, expected.Format) << expected.Name;
    EXPECT_EQ(item.Wave.Data, expected.Data) << expected.Name;
}

// A hand-made library of three items with the byte ranges of each item
// (from its list tag to just past its closing tag).
struct TLibraryFixture {
    std::vector<uint8_t> Bytes;
    std::vector<TExpectedItem> Items;
    std::vector<size_t> ItemStart;
    std::vector<size_t> ItemEnd;
};

TLibraryFixture MakeLibrary()
{
    TLibraryFixture f;
    const auto monoFormat = PcmFormat(1, 22050, 8);
    const auto stereoFormat = PcmFormat(2, 44100, 16);
    f.Items = {
        {"Shot", false, 3, monoFormat, {1, 2, 3, 4, 5}},
        {"Siren", true, 0, stereoFormat, {9, 8, 7, 6}},
        {"Boom", false, 0, monoFormat, {}},
    };

    TBytes b;
    b.U8(0xFF).U16(10).Raw("TDXWAVELIST").U8(0).U16(0x1030).U32(0).Raw("TPF0");
    b.Short("TWaveCollectionHolder").Short("");
    b.Short("Tag").U8(4).U32(77); // an unknown holder property
    b.Short("List").U8(14);

    f.ItemStart.push_back(b.Size());
    b.U8(1);
    b.Short("Name").U8(6).Short("Shot");
    b.Short("MaxPlayingCount").U8(2).U8(3);
    b.Short("Frequency").U8(3).U16(0xAC44); // unknown: skipped
    b.Short("Wave.WAVE").U8(10).U32(static_cast<uint32_t>(SimpleRiff(monoFormat, {1, 2, 3, 4, 5}).size()))
        .Raw(SimpleRiff(monoFormat, {1, 2, 3, 4, 5}));
    b.U8(0);
    f.ItemEnd.push_back(b.Size());

    // Item with a position prefix, properties in another order and case.
    f.ItemStart.push_back(b.Size());
    b.U8(2).U8(1).U8(1);
    b.Short("wave.wave").U8(10).U32(static_cast<uint32_t>(SimpleRiff(stereoFormat, {9, 8, 7, 6}).size()))
        .Raw(SimpleRiff(stereoFormat, {9, 8, 7, 6}));
    b.Short("LOOPED").U8(9);
    b.Short("Notes").U8(1).U8(6).Short("x").U8(8).U8(0); // unknown list: skipped
    b.Short("Name").U8(12).U32(5).Raw("Siren");
    b.U8(0);
    f.ItemEnd.push_back(b.Size());

    // A negative limit is stored as 0; a wave without a data chunk.
    f.ItemStart.push_back(b.Size());
    b.U8(1);
    b.Short("Name").U8(6).Short("Boom");
    b.Short("Looped").U8(8);
    b.Short("MaxPlayingCount").U8(4).U32(0xFFFFFFFB);
    const auto noData = Riff(TBytes().Chunk("fmt ", monoFormat).B);
    b.Short("Wave.WAVE").U8(10).U32(static_cast<uint32_t>(noData.size())).Raw(noData);
    b.U8(0);
    f.ItemEnd.push_back(b.Size());

    b.U8(0);        // end of the collection
    b.U8(0).U8(0);  // end of the holder's properties and of its children
    f.Bytes = b.B;
    return f;
}

std::string TempPath(const char* stem)
{
    return (std::filesystem::temp_directory_path() /
            (std::string(stem) + "-" + std::to_string(getpid()) + ".dxw"))
        .string();
}

} // namespace

// ---- TWave ----

TEST(TWave, LoadsChunksInAnyOrderSkippingOthers)
{
    const auto format = PcmFormat(1, 11025, 8);
    const std::vector<uint8_t> data = {10, 20, 30};
    struct TCase {
        const char* What;
        std::vector<uint8_t> Riff;
    };
    const TCase cases[] = {
        {"usual order", SimpleRiff(format, data)},
        {"data first, a chunk between",
         Riff(TBytes().Chunk("data", data).Chunk("LIST", {1, 2, 3, 4, 5, 6}).Chunk("fmt ", format).B)},
        {"odd-sized chunk without padding",
         Riff(TBytes().Chunk("junk", {1, 2, 3}).Chunk("fmt ", format).Chunk("data", data).B)},
        {"trailing partial header", TBytes().Raw(SimpleRiff(format, data)).Raw("fac").B},
        {"size field not checked",
         TBytes().Raw("RIFF").U32(0xFFFFFFFF).Raw("WAVE").Chunk("fmt ", format).Chunk("data", data).B},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.What);
        const TWave wave = TWave::LoadFromRiff(c.Riff);
        EXPECT_EQ(wave.Format, format);
        EXPECT_EQ(wave.Data, data);
    }
}

TEST(TWave, WithoutDataChunkHasNoSamples)
{
    const auto format = PcmFormat(2, 8000, 16);
    const TWave wave = TWave::LoadFromRiff(Riff(TBytes().Chunk("fmt ", format).B));
    EXPECT_EQ(wave.Format, format);
    EXPECT_TRUE(wave.Data.empty());
}

TEST(TWave, DamagedRiffIsInvalid)
{
    const auto format = PcmFormat(1, 11025, 8);
    struct TCase {
        const char* What;
        std::vector<uint8_t> Riff;
    };
    const TCase cases[] = {
        {"empty", {}},
        {"short header", TBytes().Raw("RIFF").U32(4).Raw("WAV").B},
        {"not RIFF", TBytes().Raw("RIFX").U32(4).Raw("WAVE").B},
        {"not WAVE", TBytes().Raw("RIFF").U32(4).Raw("AVI ").B},
        {"chunk past the end", Riff(TBytes().Chunk("fmt ", format).Raw("data").U32(100).U8(1).U8(2).B)},
        {"huge chunk size", Riff(TBytes().Raw("data").U32(0xFFFFFFFF).U8(1).B)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.What);
        try {
            TWave::LoadFromRiff(c.Riff);
            ADD_FAILURE() << "no error";
        } catch (const EWaveStreamError& e) {
            EXPECT_STREQ(e.what(), "Wave is invalid");
        }
    }
}

TEST(TWave, SavesFmtThenDataAndReadsBack)
{
    TWave wave;
    wave.Format = PcmFormat(1, 22050, 8);
    wave.Data = {5, 6, 7}; // odd length: no pad byte
    const auto riff = wave.SaveToRiff();
    EXPECT_EQ(riff, SimpleRiff(wave.Format, wave.Data));
    const TWave back = TWave::LoadFromRiff(riff);
    EXPECT_EQ(back.Format, wave.Format);
    EXPECT_EQ(back.Data, wave.Data);
}

TEST(TWave, FormatFieldsAndShortBlocks)
{
    TWave wave;
    wave.Format = PcmFormat(2, 44100, 16);
    EXPECT_EQ(wave.FormatTag(), 1);
    EXPECT_EQ(wave.Channels(), 2);
    EXPECT_EQ(wave.SamplesPerSec(), 44100u);
    EXPECT_EQ(wave.BitsPerSample(), 16);

    wave.Format.resize(8);
    EXPECT_EQ(wave.SamplesPerSec(), 44100u);
    EXPECT_EQ(wave.BitsPerSample(), 0);
    wave.Format.resize(3);
    EXPECT_EQ(wave.FormatTag(), 1);
    EXPECT_EQ(wave.Channels(), 0);
    EXPECT_EQ(wave.SamplesPerSec(), 0u);
}

// ---- TWaveCollection ----

TEST(TWaveCollection, ItemsAndTheirSetters)
{
    TWaveCollection waves;
    auto& first = waves.Add();
    auto& second = waves.Add();
    EXPECT_EQ(waves.Count(), 2);
    EXPECT_EQ(&waves.Items(0), &first);
    EXPECT_EQ(&waves.Items(1), &second);
    EXPECT_FALSE(first.Looped());
    EXPECT_EQ(first.MaxPlayingCount(), 0);

    first.SetLooped(true);
    EXPECT_TRUE(first.Looped());
    first.SetMaxPlayingCount(4);
    EXPECT_EQ(first.MaxPlayingCount(), 4);
    first.SetMaxPlayingCount(-1);
    EXPECT_EQ(first.MaxPlayingCount(), 0);

    for (const int index : {-1, 2}) {
        try {
            waves.Items(index);
            ADD_FAILURE() << index;
        } catch (const EListError& e) {
            EXPECT_EQ(e.what(), "List index out of bounds (" + std::to_string(index) + ")");
        }
    }
}

TEST(TWaveCollection, FindIgnoresCaseAndLastEqualNameWins)
{
    TWaveCollection waves;
    waves.Add().SetName("Shot");
    auto& later = waves.Add();
    later.SetName("SHOT");
    auto& other = waves.Add();
    other.SetName("Explosion");

    EXPECT_EQ(&waves.Find("shot"), &later);
    EXPECT_EQ(&waves.Find("eXPLOSION"), &other);
    try {
        waves.Find("Missing");
        ADD_FAILURE() << "found a missing wave";
    } catch (const EWaveCollectionError& e) {
        EXPECT_STREQ(e.what(), "Wave 'Missing' not found");
    }
}

TEST(TWaveCollection, LoadsAHandMadeLibrary)
{
    const auto fixture = MakeLibrary();
    TWaveCollection waves;
    waves.Add().SetName("Stale"); // loading replaces what was there
    waves.LoadFromStream(fixture.Bytes);

    ASSERT_EQ(waves.Count(), 3);
    for (int i = 0; i < 3; ++i) ExpectItem(waves.Items(i), fixture.Items[static_cast<size_t>(i)]);
    EXPECT_EQ(&waves.Find("SIREN"), &waves.Items(1));
    EXPECT_THROW(waves.Find("Stale"), EWaveCollectionError);
}

TEST(TWaveCollection, LastOfEqualNamesInTheFileWins)
{
    TWaveCollection waves;
    waves.LoadFromStream(WriteWaveLibrary({{"Hit", false, 0, {}}, {"HIT", true, 0, {}}, {"hit2", false, 0, {}}}));
    ASSERT_EQ(waves.Count(), 3);
    EXPECT_EQ(&waves.Find("hit"), &waves.Items(1));
    EXPECT_TRUE(waves.Find("Hit").Looped());
}

TEST(TWaveCollection, TruncationAtAnyOffsetFailsCleanlyAndKeepsEarlierItems)
{
    const auto fixture = MakeLibrary();
    for (size_t length = 0; length < fixture.Bytes.size(); ++length) {
        SCOPED_TRACE("length " + std::to_string(length));
        const std::vector<uint8_t> part(fixture.Bytes.begin(), fixture.Bytes.begin() + static_cast<std::ptrdiff_t>(length));
        TWaveCollection waves;
        EXPECT_THROW(waves.LoadFromStream(part), EEngineError);

        size_t complete = 0;
        while (complete < fixture.ItemEnd.size() && fixture.ItemEnd[complete] <= length) ++complete;
        size_t started = 0;
        while (started < fixture.ItemStart.size() && fixture.ItemStart[started] < length) ++started;
        ASSERT_GE(static_cast<size_t>(waves.Count()), complete);
        ASSERT_LE(static_cast<size_t>(waves.Count()), started);
        for (size_t i = 0; i < complete; ++i) ExpectItem(waves.Items(static_cast<int>(i)), fixture.Items[i]);
    }
}

TEST(TWaveCollection, DamagedLibrariesRaiseTheirErrors)
{
    auto library = [](const std::vector<uint8_t>& list) {
        return TBytes()
            .U8(0xFF).U16(10).U8(0).U16(0).U32(0).Raw("TPF0")
            .Short("TWaveCollectionHolder").Short("")
            .Short("List").Raw(list)
            .U8(0).U8(0)
            .B;
    };
    const auto goodItem = TBytes().U8(1).Short("Name").U8(6).Short("Ok").U8(0).B;
    struct TCase {
        const char* What;
        std::vector<uint8_t> Bytes;
        const char* Message;
        bool KeepsGoodItem = true;
    };
    const TCase cases[] = {
        {"list is not a collection", library(TBytes().U8(1).U8(0).B), "Invalid property value", false},
        {"item without its list tag", library(TBytes().U8(14).Raw(goodItem).U8(6).Short("x").U8(0).B),
         "Invalid property value"},
        {"name is an integer", library(TBytes().U8(14).Raw(goodItem).U8(1).Short("Name").U8(2).U8(1).U8(0).U8(0).B),
         "Invalid property value"},
        {"looped is an identifier",
         library(TBytes().U8(14).Raw(goodItem).U8(1).Short("Looped").U8(7).Short("Yes").U8(0).U8(0).B),
         "Invalid property value"},
        {"bad wave", library(TBytes().U8(14).Raw(goodItem).U8(1).Short("Wave.WAVE").U8(10).U32(4).Raw("RIFF").U8(0).U8(0).B),
         "Wave is invalid"},
        {"holder has a child object",
         TBytes().U8(0xFF).U16(10).U8(0).U16(0).U32(0).Raw("TPF0").Short("T").Short("").Short("List").U8(14)
             .Raw(goodItem).U8(0).U8(0).Short("TChild").B,
         "Invalid property value"},
        {"bad signature", TBytes().U8(0xFF).U16(10).U8(0).U16(0).U32(0).Raw("TPF9").B, "Invalid stream format", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.What);
        TWaveCollection waves;
        try {
            waves.LoadFromStream(c.Bytes);
            ADD_FAILURE() << "no error";
        } catch (const EEngineError& e) {
            EXPECT_STREQ(e.what(), c.Message);
        }
        if (c.KeepsGoodItem) {
            ASSERT_GE(waves.Count(), 1);
            EXPECT_EQ(waves.Items(0).Name(), "Ok");
        }
    }
}

TEST(TWaveCollection, WrittenLibraryReadsBack)
{
    TWave odd;
    odd.Format = PcmFormat(1, 8000, 8);
    odd.Data = {1, 2, 3};
    const std::vector<TWaveLibraryEntry> items = {
        {"Shot", false, 2, odd},
        {std::string(300, 'n'), true, 0, {}}, // a long name needs the 32-bit string form
        {"Quiet", false, -7, {}},
    };
    const auto bytes = WriteWaveLibrary(items);
    // Resource header with the size of what follows it.
    ASSERT_GT(bytes.size(), 8u);
    EXPECT_EQ(bytes[0], 0xFF);
    EXPECT_EQ(bytes[1], 10);
    EXPECT_EQ(bytes[2], 0);
    size_t nameEnd = 3;
    while (bytes[nameEnd] != 0) ++nameEnd;
    const size_t sizeAt = nameEnd + 3;
    const uint32_t size = static_cast<uint32_t>(bytes[sizeAt] | (bytes[sizeAt + 1] << 8) | (bytes[sizeAt + 2] << 16) |
                                                (bytes[sizeAt + 3] << 24));
    EXPECT_EQ(size, bytes.size() - (sizeAt + 4));

    TWaveCollection waves;
    waves.LoadFromStream(bytes);
    ASSERT_EQ(waves.Count(), 3);
    ExpectItem(waves.Items(0), {"Shot", false, 2, odd.Format, odd.Data});
    ExpectItem(waves.Items(1), {std::string(300, 'n'), true, 0, {}, {}});
    ExpectItem(waves.Items(2), {"Quiet", false, 0, {}, {}});
}

TEST(TWaveCollection, LoadFromFile)
{
    const auto fixture = MakeLibrary();
    const std::string path = TempPath("zarvenok-waves");
    {
        std::FILE* file = std::fopen(path.c_str(), "wb");
        ASSERT_NE(file, nullptr);
        ASSERT_EQ(std::fwrite(fixture.Bytes.data(), 1, fixture.Bytes.size(), file), fixture.Bytes.size());
        std::fclose(file);
    }
    TWaveCollection waves;
    waves.LoadFromFile(path);
    std::filesystem::remove(path);
    ASSERT_EQ(waves.Count(), 3);
    ExpectItem(waves.Items(0), fixture.Items[0]);

    // A file that cannot be opened leaves the library as it was.
    EXPECT_THROW(waves.LoadFromFile(path), EFOpenError);
    EXPECT_EQ(waves.Count(), 3);
    EXPECT_EQ(waves.Find("boom").Name(), "Boom");
}
