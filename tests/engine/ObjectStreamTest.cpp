// SPDX-License-Identifier: GPL-3.0-or-later
// Tests of the library files' object stream: header checks, every value
// kind through the writer and back, skipping, and damaged input.
#include "EngineErrors.h"
#include "ObjectStream.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <limits>
#include <string>
#include <vector>

namespace {

// Byte builder independent of TObjectWriter, so a shared mistake in the
// writer and the reader cannot hide.
struct TBytes {
    std::vector<uint8_t> B;
    TBytes& U8(uint32_t v) { B.push_back(static_cast<uint8_t>(v)); return *this; }
    TBytes& U16(uint32_t v) { return U8(v & 0xFF).U8(v >> 8); }
    TBytes& U32(uint32_t v) { return U16(v & 0xFFFF).U16(v >> 16); }
    TBytes& Raw(const std::string& s) { B.insert(B.end(), s.begin(), s.end()); return *this; }
    TBytes& Raw(std::initializer_list<uint8_t> bytes) { B.insert(B.end(), bytes); return *this; }
    TBytes& Short(const std::string& s) { return U8(static_cast<uint32_t>(s.size())).Raw(s); }
    // Resource header named "X" and the signature.
    TBytes& Header() { return U8(0xFF).U16(10).Raw("X").U8(0).U16(0x1030).U32(0).Raw("TPF0"); }
};

void ExpectStreamError(const std::function<void()>& action, const std::string& message)
{
    try {
        action();
        ADD_FAILURE() << "no error, expected \"" << message << "\"";
    } catch (const EStreamError& e) {
        EXPECT_EQ(e.what(), message);
    }
}

} // namespace

TEST(TObjectReader, HeaderIsSkippedUpToTheHolderName)
{
    // The flags prefix (with and without a child position) is ignored.
    const std::vector<std::vector<uint8_t>> prefixes = {{}, {0xF0}, {0xF1}, {0xF2, 0x02, 7}, {0xF3, 0x04, 1, 0, 0, 0}};
    for (const auto& prefix : prefixes) {
        TBytes bytes;
        bytes.U8(0xFF).U16(10).Raw("SOME NAME").U8(0).U16(0).U32(12345).Raw("TPF0");
        bytes.B.insert(bytes.B.end(), prefix.begin(), prefix.end());
        bytes.Short("THolder");
        TObjectReader reader(bytes.B);
        reader.ReadHeaderAndSignature();
        EXPECT_EQ(reader.ReadShortString(), "THolder") << "prefix of " << prefix.size() << " bytes";
        EXPECT_EQ(reader.Remaining(), 0u);
    }
}

TEST(TObjectReader, BadHeaderOrSignatureIsInvalidFormat)
{
    const std::vector<std::vector<uint8_t>> cases = {
        TBytes().U8(0xFE).U16(10).Raw("X").U8(0).U16(0).U32(0).Raw("TPF0").B, // marker
        TBytes().U8(0xFF).U16(11).Raw("X").U8(0).U16(0).U32(0).Raw("TPF0").B, // type
        TBytes().U8(0xFF).U16(0x0A0A).U8(0).U16(0).U32(0).Raw("TPF0").B,      // type high byte
        TBytes().U8(0xFF).U16(10).Raw("X").U8(0).U16(0).U32(0).Raw("TPF1").B, // signature
        TBytes().Raw("TPF0").Short("THolder").B,                              // no resource header
    };
    for (const auto& bytes : cases) {
        TObjectReader reader(bytes);
        ExpectStreamError([&] { reader.ReadHeaderAndSignature(); }, "Invalid stream format");
    }
}

TEST(TObjectReader, HeaderCutShortIsReadError)
{
    const size_t signatureEnd = TBytes().Header().B.size();
    const auto whole = TBytes().Header().U8(0xF2).U8(2).U8(5).B;
    for (size_t length = 0; length < whole.size(); ++length) {
        if (length == signatureEnd) continue; // a stream may end right after "TPF0"
        const std::vector<uint8_t> part(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(length));
        TObjectReader reader(part);
        ExpectStreamError([&] { reader.ReadHeaderAndSignature(); }, "Stream read error");
    }
}

TEST(TObjectWriter, HeaderLayoutAndSizeOfWhatFollows)
{
    TObjectWriter writer;
    writer.WriteHeaderAndSignature("AB");
    writer.WriteShortString("T");
    writer.WriteListEnd();
    const auto bytes = writer.Finish();
    const std::vector<uint8_t> expected = {0xFF, 10, 0, 'A', 'B', 0, 0x30, 0x10, 7, 0, 0, 0,
                                           'T',  'P', 'F', '0', 1, 'T', 0};
    EXPECT_EQ(bytes, expected);
}

TEST(TObjectWriter, IntegersUseTheSmallestTagAndReadBack)
{
    struct TCase {
        int32_t Value;
        TValueType Tag;
        size_t Size;
    };
    const TCase cases[] = {
        {0, TValueType::Int8, 2},
        {-128, TValueType::Int8, 2},
        {127, TValueType::Int8, 2},
        {128, TValueType::Int16, 3},
        {-129, TValueType::Int16, 3},
        {32767, TValueType::Int16, 3},
        {-32768, TValueType::Int16, 3},
        {32768, TValueType::Int32, 5},
        {-32769, TValueType::Int32, 5},
        {std::numeric_limits<int32_t>::max(), TValueType::Int32, 5},
        {std::numeric_limits<int32_t>::min(), TValueType::Int32, 5},
    };
    for (const auto& c : cases) {
        TObjectWriter writer;
        writer.WriteInteger(c.Value);
        const auto bytes = writer.Finish();
        ASSERT_EQ(bytes.size(), c.Size) << c.Value;
        EXPECT_EQ(static_cast<TValueType>(bytes[0]), c.Tag) << c.Value;
        TObjectReader reader(bytes);
        EXPECT_EQ(reader.ReadInteger(), c.Value);
        EXPECT_EQ(reader.Remaining(), 0u);
    }
}

TEST(TObjectWriter, EveryValueKindReadsBack)
{
    const std::string longText(300, 'q');
    const std::vector<uint8_t> blob = {0, 1, 2, 0xFF, 0x80};

    TObjectWriter writer;
    writer.WriteHeaderAndSignature("LIB");
    writer.WriteShortString("THolder");
    writer.WriteShortString("");
    writer.WriteValue(TValueType::List);
    writer.WriteString("short");
    writer.WriteString(std::string(255, 's'));
    writer.WriteString(longText);
    writer.WriteString("");
    writer.WriteIdent("clFuchsia");
    writer.WriteBoolean(true);
    writer.WriteBoolean(false);
    writer.WriteBinary(blob);
    writer.WriteBinary({});
    writer.WriteListEnd();
    writer.WriteValue(TValueType::Collection);
    writer.WriteListEnd();
    const auto bytes = writer.Finish();

    TObjectReader reader(bytes);
    reader.ReadHeaderAndSignature();
    EXPECT_EQ(reader.ReadShortString(), "THolder");
    EXPECT_EQ(reader.ReadShortString(), "");
    EXPECT_EQ(reader.ReadValue(), TValueType::List);
    EXPECT_EQ(reader.NextValue(), TValueType::String);
    EXPECT_EQ(reader.ReadString(), "short");
    EXPECT_EQ(reader.NextValue(), TValueType::String);
    EXPECT_EQ(reader.ReadString(), std::string(255, 's'));
    EXPECT_EQ(reader.NextValue(), TValueType::LString);
    EXPECT_EQ(reader.ReadString(), longText);
    EXPECT_EQ(reader.ReadString(), "");
    EXPECT_EQ(reader.ReadIdent(), "clFuchsia");
    EXPECT_TRUE(reader.ReadBoolean());
    EXPECT_FALSE(reader.ReadBoolean());
    const auto readBlob = reader.ReadBinary();
    EXPECT_EQ(std::vector<uint8_t>(readBlob.begin(), readBlob.end()), blob);
    EXPECT_TRUE(reader.ReadBinary().empty());
    EXPECT_TRUE(reader.EndOfList());
    EXPECT_EQ(reader.ReadValue(), TValueType::Collection);
    reader.ReadListEnd();
    EXPECT_EQ(reader.Remaining(), 0u);
}

TEST(TObjectWriter, RefusesShortStringsOver255Bytes)
{
    TObjectWriter writer;
    EXPECT_THROW(writer.WriteShortString(std::string(256, 'x')), EStreamError);
    EXPECT_THROW(writer.WriteIdent(std::string(256, 'x')), EStreamError);
}

TEST(TObjectReader, ReadsOtherStringForms)
{
    // Wide strings are UTF-16: "Aé" then a surrogate pair (U+1F600), then a lone surrogate.
    const auto bytes = TBytes()
                           .U8(18).U32(5).Raw({'A', 0, 0xE9, 0, 0x3D, 0xD8, 0x00, 0xDE, 0x00, 0xD8})
                           .U8(20).U32(3).Raw("abc")
                           .U8(12).U32(0)
                           .B;
    TObjectReader reader(bytes);
    EXPECT_EQ(reader.ReadString(), "A\xC3\xA9\xF0\x9F\x98\x80\xEF\xBF\xBD");
    EXPECT_EQ(reader.ReadString(), "abc");
    EXPECT_EQ(reader.ReadString(), "");
    EXPECT_EQ(reader.Remaining(), 0u);
}

TEST(TObjectReader, IdentAcceptsTheNamedTags)
{
    const auto bytes = TBytes().U8(7).Short("clRed").U8(8).U8(9).U8(13).U8(0).B;
    TObjectReader reader(bytes);
    for (const char* expected : {"clRed", "False", "True", "nil", "Null"}) EXPECT_EQ(reader.ReadIdent(), expected);
}

TEST(TObjectReader, ValueOfTheWrongKindIsInvalidPropertyValue)
{
    using TRead = std::function<void(TObjectReader&)>;
    struct TCase {
        const char* What;
        std::vector<uint8_t> Bytes;
        TRead Read;
    };
    const TCase cases[] = {
        {"integer from string", TBytes().U8(6).Short("1").B, [](TObjectReader& r) { r.ReadInteger(); }},
        {"integer from int64", TBytes().U8(19).U32(1).U32(0).B, [](TObjectReader& r) { r.ReadInteger(); }},
        {"string from ident", TBytes().U8(7).Short("a").B, [](TObjectReader& r) { r.ReadString(); }},
        {"string from binary", TBytes().U8(10).U32(0).B, [](TObjectReader& r) { r.ReadString(); }},
        {"ident from string", TBytes().U8(6).Short("a").B, [](TObjectReader& r) { r.ReadIdent(); }},
        {"boolean from integer", TBytes().U8(2).U8(1).B, [](TObjectReader& r) { r.ReadBoolean(); }},
        {"binary from long string", TBytes().U8(12).U32(0).B, [](TObjectReader& r) { r.ReadBinary(); }},
        {"list end on a value", TBytes().U8(2).U8(0).B, [](TObjectReader& r) { r.ReadListEnd(); }},
        {"skip unknown tag 21", TBytes().U8(21).B, [](TObjectReader& r) { r.SkipValue(); }},
        {"skip unknown tag 255", TBytes().U8(255).B, [](TObjectReader& r) { r.SkipValue(); }},
        {"collection item without list", TBytes().U8(14).U8(2).U8(0).U8(6).B, [](TObjectReader& r) { r.SkipValue(); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.What);
        TObjectReader reader(c.Bytes);
        ExpectStreamError([&] { c.Read(reader); }, "Invalid property value");
    }
}

TEST(TObjectReader, SkipValuePassesOverEveryKind)
{
    const std::vector<std::pair<const char*, std::vector<uint8_t>>> values = {
        {"null", TBytes().U8(0).B},
        {"list", TBytes().U8(1).U8(2).U8(5).U8(1).U8(9).U8(0).U8(6).Short("x").U8(0).B},
        {"int8", TBytes().U8(2).U8(0xFF).B},
        {"int16", TBytes().U8(3).U16(0xFFFF).B},
        {"int32", TBytes().U8(4).U32(0xFFFFFFFF).B},
        {"extended", TBytes().U8(5).U32(1).U32(2).U16(3).B},
        {"string", TBytes().U8(6).Short("hello").B},
        {"ident", TBytes().U8(7).Short("clRed").B},
        {"false", TBytes().U8(8).B},
        {"true", TBytes().U8(9).B},
        {"binary", TBytes().U8(10).U32(3).Raw({0, 0, 0}).B},
        {"set", TBytes().U8(11).Short("fsBold").Short("fsItalic").U8(0).B},
        {"empty set", TBytes().U8(11).U8(0).B},
        {"long string", TBytes().U8(12).U32(2).Raw("ab").B},
        {"nil", TBytes().U8(13).B},
        {"collection",
         TBytes().U8(14).U8(2).U8(0).U8(1).Short("Name").U8(6).Short("a").U8(0).U8(1).Short("Sub").U8(14).U8(1).U8(0)
             .U8(0).U8(0).U8(0).B},
        {"single", TBytes().U8(15).U32(0).B},
        {"currency", TBytes().U8(16).U32(0).U32(0).B},
        {"date", TBytes().U8(17).U32(0).U32(0).B},
        {"wide string", TBytes().U8(18).U32(2).U32(0x00620061).B},
        {"int64", TBytes().U8(19).U32(0).U32(0).B},
        {"utf8 string", TBytes().U8(20).U32(1).Raw("z").B},
    };
    for (const auto& [what, value] : values) {
        SCOPED_TRACE(what);
        auto bytes = value;
        bytes.push_back(3);
        bytes.insert(bytes.end(), {'e', 'n', 'd'});
        TObjectReader reader(bytes);
        reader.SkipValue();
        EXPECT_EQ(reader.Position(), value.size());
        EXPECT_EQ(reader.ReadShortString(), "end");

        // Every cut of the value ends in a read error, never past the data.
        for (size_t length = 0; length < value.size(); ++length) {
            TObjectReader cut(std::span<const uint8_t>(value.data(), length));
            ExpectStreamError([&] { cut.SkipValue(); }, "Stream read error");
        }
    }
}

TEST(TObjectReader, LengthsBeyondTheDataAreReadErrors)
{
    // Huge counts must fail on the check, not on an allocation.
    const std::vector<std::vector<uint8_t>> cases = {
        TBytes().U8(10).U32(0xFFFFFFFF).Raw("abc").B,
        TBytes().U8(12).U32(0xFFFFFFFF).Raw("abc").B,
        TBytes().U8(20).U32(0x7FFFFFFF).Raw("abc").B,
        TBytes().U8(18).U32(0x80000000).Raw("abcd").B, // byte count overflows 32 bits
        TBytes().U8(18).U32(3).Raw("abcde").B,         // one byte short of three characters
        TBytes().U8(6).U8(200).Raw("abc").B,
    };
    for (const auto& bytes : cases) {
        TObjectReader forString(bytes);
        TObjectReader forSkip(bytes);
        if (bytes[0] == 10) {
            ExpectStreamError([&] { forString.ReadBinary(); }, "Stream read error");
        } else {
            ExpectStreamError([&] { forString.ReadString(); }, "Stream read error");
        }
        ExpectStreamError([&] { forSkip.SkipValue(); }, "Stream read error");
    }
}

TEST(TObjectReader, NestingIsLimited)
{
    auto nestedLists = [](size_t depth) {
        std::vector<uint8_t> bytes(depth, 1);
        bytes.insert(bytes.end(), depth, 0);
        return bytes;
    };
    {
        const auto ok = nestedLists(64);
        TObjectReader reader(ok);
        reader.SkipValue();
        EXPECT_EQ(reader.Remaining(), 0u);
    }
    for (const size_t depth : {65u, 1000000u}) {
        const auto deep = nestedLists(depth);
        TObjectReader reader(deep);
        ExpectStreamError([&] { reader.SkipValue(); }, "Invalid property value");
    }
    {
        // Collections nest through their items' properties.
        TBytes hostile;
        for (int i = 0; i < 100000; ++i) hostile.U8(14).U8(1).Short("P");
        TObjectReader reader(hostile.B);
        ExpectStreamError([&] { reader.SkipValue(); }, "Invalid property value");
    }
}
