// SPDX-License-Identifier: GPL-3.0-or-later
// Reading and writing the tagged object stream of the library files. The
// reader never trusts a length: every count is checked against the bytes
// that are left before anything is read or allocated.
#include "ObjectStream.h"

#include "EngineErrors.h"

#include <cstring>
#include <limits>

namespace {

constexpr uint8_t kResourceMarker = 0xFF;
constexpr uint16_t kResourceType = 10;
constexpr uint16_t kResourceFlags = 0x1030;
constexpr char kSignature[4] = {'T', 'P', 'F', '0'};
// Deep enough for any real stream, shallow enough that a hostile one
// cannot exhaust the stack through SkipValue's recursion.
constexpr int kMaxDepth = 64;

[[noreturn]] void InvalidFormat()
{
    throw EStreamError("Invalid stream format");
}

[[noreturn]] void ReadError()
{
    throw EStreamError("Stream read error");
}

[[noreturn]] void InvalidValue()
{
    throw EStreamError("Invalid property value");
}

void AppendUtf8(std::string& out, uint32_t code)
{
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | (code >> 6));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        out += static_cast<char>(0xE0 | (code >> 12));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (code >> 18));
        out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

// Little-endian UTF-16 to UTF-8; a lone surrogate becomes U+FFFD.
std::string Utf16ToUtf8(std::span<const uint8_t> bytes)
{
    std::string out;
    out.reserve(bytes.size() / 2);
    const size_t count = bytes.size() / 2;
    auto unit = [&](size_t i) { return static_cast<uint32_t>(bytes[2 * i] | (bytes[2 * i + 1] << 8)); };
    for (size_t i = 0; i < count; ++i) {
        const uint32_t u = unit(i);
        if (u >= 0xD800 && u <= 0xDBFF && i + 1 < count && unit(i + 1) >= 0xDC00 && unit(i + 1) <= 0xDFFF) {
            AppendUtf8(out, 0x10000 + ((u - 0xD800) << 10) + (unit(i + 1) - 0xDC00));
            ++i;
        } else if (u >= 0xD800 && u <= 0xDFFF) {
            AppendUtf8(out, 0xFFFD);
        } else {
            AppendUtf8(out, u);
        }
    }
    return out;
}

} // namespace

// ---- reader ----

void TObjectReader::ReadHolderStart()
{
    ReadHeaderAndSignature();
    ReadShortString(); // class name, not checked
    ReadShortString(); // object name
}

void TObjectReader::ReadCollection(const std::function<void()>& readItem)
{
    if (ReadValue() != TValueType::Collection) InvalidValue();
    while (!EndOfList()) {
        const TValueType next = NextValue();
        if (next == TValueType::Int8 || next == TValueType::Int16 || next == TValueType::Int32)
            ReadInteger(); // the item's position; the order in the file decides
        if (ReadValue() != TValueType::List) InvalidValue();
        readItem();
    }
}

uint8_t TObjectReader::ReadByte()
{
    if (Remaining() < 1) ReadError();
    return Data_[Pos_++];
}

std::span<const uint8_t> TObjectReader::ReadBytes(size_t count)
{
    if (count > Remaining()) ReadError();
    const auto bytes = Data_.subspan(Pos_, count);
    Pos_ += count;
    return bytes;
}

uint32_t TObjectReader::ReadUInt32()
{
    const auto b = ReadBytes(4);
    return static_cast<uint32_t>(b[0]) | (static_cast<uint32_t>(b[1]) << 8) | (static_cast<uint32_t>(b[2]) << 16) |
           (static_cast<uint32_t>(b[3]) << 24);
}

void TObjectReader::ReadHeaderAndSignature()
{
    if (ReadByte() != kResourceMarker) InvalidFormat();
    const auto type = ReadBytes(2);
    if ((type[0] | (type[1] << 8)) != kResourceType) InvalidFormat();
    // The name, the flags and the data size are not needed: the stream
    // itself says where it ends.
    while (ReadByte() != 0) {
    }
    ReadBytes(2 + 4);

    if (std::memcmp(ReadBytes(4).data(), kSignature, 4) != 0) InvalidFormat();

    // Optional filer prefix; bit 1 announces a child position.
    if (Remaining() > 0 && Data_[Pos_] >= 0xF0) {
        const uint8_t flags = ReadByte();
        if ((flags & 0x02) != 0) ReadInteger();
    }
}

std::string TObjectReader::ReadShortString()
{
    const uint8_t length = ReadByte();
    const auto bytes = ReadBytes(length);
    return std::string(bytes.begin(), bytes.end());
}

TValueType TObjectReader::ReadValue()
{
    return static_cast<TValueType>(ReadByte());
}

TValueType TObjectReader::NextValue() const
{
    if (Remaining() < 1) ReadError();
    return static_cast<TValueType>(Data_[Pos_]);
}

bool TObjectReader::EndOfList()
{
    if (NextValue() != TValueType::Null) return false;
    ++Pos_;
    return true;
}

void TObjectReader::ReadListEnd()
{
    if (ReadValue() != TValueType::Null) InvalidValue();
}

int32_t TObjectReader::ReadInteger()
{
    switch (ReadValue()) {
    case TValueType::Int8:
        return static_cast<int8_t>(ReadByte());
    case TValueType::Int16: {
        const auto b = ReadBytes(2);
        return static_cast<int16_t>(static_cast<uint16_t>(b[0] | (b[1] << 8)));
    }
    case TValueType::Int32:
        return static_cast<int32_t>(ReadUInt32());
    default:
        InvalidValue();
    }
}

std::string TObjectReader::ReadString()
{
    switch (ReadValue()) {
    case TValueType::String:
        return ReadShortString();
    case TValueType::LString:
    case TValueType::UTF8String: {
        const auto bytes = ReadBytes(ReadUInt32());
        return std::string(bytes.begin(), bytes.end());
    }
    case TValueType::WString: {
        const uint64_t byteCount = uint64_t{ReadUInt32()} * 2;
        if (byteCount > Remaining()) ReadError();
        return Utf16ToUtf8(ReadBytes(static_cast<size_t>(byteCount)));
    }
    default:
        InvalidValue();
    }
}

std::string TObjectReader::ReadIdent()
{
    switch (ReadValue()) {
    case TValueType::Ident:
        return ReadShortString();
    case TValueType::False:
        return "False";
    case TValueType::True:
        return "True";
    case TValueType::Nil:
        return "nil";
    case TValueType::Null:
        return "Null";
    default:
        InvalidValue();
    }
}

bool TObjectReader::ReadBoolean()
{
    switch (ReadValue()) {
    case TValueType::False:
        return false;
    case TValueType::True:
        return true;
    default:
        InvalidValue();
    }
}

std::span<const uint8_t> TObjectReader::ReadBinary()
{
    if (ReadValue() != TValueType::Binary) InvalidValue();
    return ReadBytes(ReadUInt32());
}

void TObjectReader::SkipValue()
{
    struct TDepthGuard {
        int& Depth;
        explicit TDepthGuard(int& depth) : Depth(depth)
        {
            if (++Depth > kMaxDepth) {
                --Depth;
                InvalidValue();
            }
        }
        ~TDepthGuard() { --Depth; }
        TDepthGuard(const TDepthGuard&) = delete;
        TDepthGuard& operator=(const TDepthGuard&) = delete;
    };

    switch (ReadValue()) {
    case TValueType::Null:
    case TValueType::False:
    case TValueType::True:
    case TValueType::Nil:
        return;
    case TValueType::List: {
        TDepthGuard guard(Depth_);
        while (!EndOfList()) SkipValue();
        return;
    }
    case TValueType::Int8:
        ReadBytes(1);
        return;
    case TValueType::Int16:
        ReadBytes(2);
        return;
    case TValueType::Int32:
    case TValueType::Single:
        ReadBytes(4);
        return;
    case TValueType::Extended:
        ReadBytes(10);
        return;
    case TValueType::Currency:
    case TValueType::Date:
    case TValueType::Int64:
        ReadBytes(8);
        return;
    case TValueType::String:
    case TValueType::Ident:
        ReadBytes(ReadByte());
        return;
    case TValueType::Binary:
    case TValueType::LString:
    case TValueType::UTF8String:
        ReadBytes(ReadUInt32());
        return;
    case TValueType::WString: {
        const uint64_t byteCount = uint64_t{ReadUInt32()} * 2;
        if (byteCount > Remaining()) ReadError();
        ReadBytes(static_cast<size_t>(byteCount));
        return;
    }
    case TValueType::Set:
        // Element names up to an empty one.
        for (uint8_t length = ReadByte(); length != 0; length = ReadByte()) ReadBytes(length);
        return;
    case TValueType::Collection: {
        TDepthGuard guard(Depth_);
        while (!EndOfList()) {
            const TValueType next = NextValue();
            if (next == TValueType::Int8 || next == TValueType::Int16 || next == TValueType::Int32) ReadInteger();
            if (ReadValue() != TValueType::List) InvalidValue();
            while (!EndOfList()) {
                ReadShortString();
                SkipValue();
            }
        }
        return;
    }
    }
    InvalidValue();
}

// ---- writer ----

void TObjectWriter::WriteUInt32(uint32_t v)
{
    for (int shift = 0; shift < 32; shift += 8) Out_.push_back(static_cast<uint8_t>(v >> shift));
}

void TObjectWriter::WriteHeaderAndSignature(const std::string& resourceName)
{
    Out_.push_back(kResourceMarker);
    Out_.push_back(static_cast<uint8_t>(kResourceType & 0xFF));
    Out_.push_back(static_cast<uint8_t>(kResourceType >> 8));
    Out_.insert(Out_.end(), resourceName.begin(), resourceName.end());
    Out_.push_back(0);
    Out_.push_back(static_cast<uint8_t>(kResourceFlags & 0xFF));
    Out_.push_back(static_cast<uint8_t>(kResourceFlags >> 8));
    SizeOffset_ = Out_.size();
    WriteUInt32(0);
    Out_.insert(Out_.end(), std::begin(kSignature), std::end(kSignature));
}

void TObjectWriter::WriteShortString(const std::string& s)
{
    // Truncating would silently rename things; refuse instead.
    if (s.size() > 255) throw EStreamError(FormatMessage("Short string too long (%zu bytes)", s.size()));
    Out_.push_back(static_cast<uint8_t>(s.size()));
    Out_.insert(Out_.end(), s.begin(), s.end());
}

void TObjectWriter::WriteValue(TValueType type)
{
    Out_.push_back(static_cast<uint8_t>(type));
}

void TObjectWriter::WriteInteger(int32_t value)
{
    if (value >= std::numeric_limits<int8_t>::min() && value <= std::numeric_limits<int8_t>::max()) {
        WriteValue(TValueType::Int8);
        Out_.push_back(static_cast<uint8_t>(value));
    } else if (value >= std::numeric_limits<int16_t>::min() && value <= std::numeric_limits<int16_t>::max()) {
        WriteValue(TValueType::Int16);
        const auto u = static_cast<uint16_t>(value);
        Out_.push_back(static_cast<uint8_t>(u & 0xFF));
        Out_.push_back(static_cast<uint8_t>(u >> 8));
    } else {
        WriteValue(TValueType::Int32);
        WriteUInt32(static_cast<uint32_t>(value));
    }
}

void TObjectWriter::WriteString(const std::string& s)
{
    if (s.size() <= 255) {
        WriteValue(TValueType::String);
        WriteShortString(s);
        return;
    }
    if (s.size() > std::numeric_limits<uint32_t>::max()) throw EStreamError("String too long");
    WriteValue(TValueType::LString);
    WriteUInt32(static_cast<uint32_t>(s.size()));
    Out_.insert(Out_.end(), s.begin(), s.end());
}

void TObjectWriter::WriteIdent(const std::string& s)
{
    WriteValue(TValueType::Ident);
    WriteShortString(s);
}

void TObjectWriter::WriteBoolean(bool value)
{
    WriteValue(value ? TValueType::True : TValueType::False);
}

void TObjectWriter::WriteBinary(std::span<const uint8_t> data)
{
    if (data.size() > std::numeric_limits<uint32_t>::max()) throw EStreamError("Binary value too long");
    WriteValue(TValueType::Binary);
    WriteUInt32(static_cast<uint32_t>(data.size()));
    Out_.insert(Out_.end(), data.begin(), data.end());
}

std::vector<uint8_t> TObjectWriter::Finish()
{
    // SizeOffset_ is 0 only when no header was written.
    if (SizeOffset_ != 0) {
        const size_t size = Out_.size() - (SizeOffset_ + 4);
        if (size > std::numeric_limits<uint32_t>::max()) throw EStreamError("Stream too long");
        for (size_t i = 0; i < 4; ++i) Out_[SizeOffset_ + i] = static_cast<uint8_t>(size >> (8 * i));
    }
    return std::move(Out_);
}

void TObjectWriter::WriteHolderStart(const std::string& resourceName, const std::string& className)
{
    WriteHeaderAndSignature(resourceName);
    WriteShortString(className);
    WriteShortString("");
}

void TObjectWriter::WriteHolderEnd()
{
    WriteListEnd(); // holder properties
    WriteListEnd(); // holder children
}

void TObjectWriter::WriteProperty(const std::string& name, int32_t value)
{
    WriteShortString(name);
    WriteInteger(value);
}

void TObjectWriter::WriteProperty(const std::string& name, bool value)
{
    WriteShortString(name);
    WriteBoolean(value);
}

void TObjectWriter::WriteProperty(const std::string& name, const std::string& value)
{
    WriteShortString(name);
    WriteString(value);
}

void TObjectWriter::WriteProperty(const std::string& name, std::span<const uint8_t> value)
{
    WriteShortString(name);
    WriteBinary(value);
}
