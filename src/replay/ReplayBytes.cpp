// SPDX-License-Identifier: GPL-3.0-or-later
// Little-endian numbers, varints and short strings for the replay format.
#include "ReplayBytes.h"

#include "ReplayError.h"

#include <zlib.h>

uint32_t Crc32(std::span<const uint8_t> bytes)
{
    return static_cast<uint32_t>(crc32_z(crc32_z(0, nullptr, 0), bytes.data(), bytes.size()));
}

void TByteWriter::U16(uint16_t value)
{
    U8(static_cast<uint8_t>(value));
    U8(static_cast<uint8_t>(value >> 8));
}

void TByteWriter::U32(uint32_t value)
{
    U16(static_cast<uint16_t>(value));
    U16(static_cast<uint16_t>(value >> 16));
}

void TByteWriter::U64(uint64_t value)
{
    U32(static_cast<uint32_t>(value));
    U32(static_cast<uint32_t>(value >> 32));
}

void TByteWriter::Varint(uint32_t value)
{
    while (value >= 0x80) {
        U8(static_cast<uint8_t>(value | 0x80));
        value >>= 7;
    }
    U8(static_cast<uint8_t>(value));
}

void TByteWriter::SignedVarint(int32_t value)
{
    Varint(ZigZag(value));
}

void TByteWriter::ShortString(const std::string& text)
{
    const size_t length = text.size() < 255 ? text.size() : 255;
    U8(static_cast<uint8_t>(length));
    Bytes_.insert(Bytes_.end(), text.begin(), text.begin() + static_cast<std::ptrdiff_t>(length));
}

void TByteReader::FailAt(size_t offset, const std::string& problem) const
{
    throw EReplayError(std::string("Replay ") + What_ + " damaged at byte " + std::to_string(offset) + ": " + problem);
}

void TByteReader::Need(size_t count) const
{
    if (Bytes_.size() - Offset_ < count)
        throw EReplayError(std::string("Replay file truncated in its ") + What_);
}

uint8_t TByteReader::U8()
{
    Need(1);
    return Bytes_[Offset_++];
}

uint16_t TByteReader::U16()
{
    const uint16_t low = U8();
    return static_cast<uint16_t>(low | (U8() << 8));
}

uint32_t TByteReader::U32()
{
    const uint32_t low = U16();
    return low | (uint32_t{U16()} << 16);
}

uint64_t TByteReader::U64()
{
    const uint64_t low = U32();
    return low | (uint64_t{U32()} << 32);
}

uint32_t TByteReader::Varint()
{
    uint32_t value = 0;
    for (int shift = 0; shift < 35; shift += 7) {
        const uint8_t byte = U8();
        // The fifth byte holds only the top four bits.
        if (shift == 28 && byte > 0x0F) Fail("a number is too long");
        value |= uint32_t{byte & 0x7Fu} << shift;
        if ((byte & 0x80) == 0) return value;
    }
    Fail("a number is too long");
}

int32_t TByteReader::SignedVarint()
{
    return UnZigZag(Varint());
}

std::span<const uint8_t> TByteReader::Raw(size_t count)
{
    Need(count);
    const auto bytes = Bytes_.subspan(Offset_, count);
    Offset_ += count;
    return bytes;
}

std::string TByteReader::ShortString(size_t maxLength, const char* field)
{
    const size_t length = U8();
    if (length > maxLength) Fail(std::string(field) + " longer than " + std::to_string(maxLength) + " bytes");
    const auto bytes = Raw(length);
    return std::string(bytes.begin(), bytes.end());
}
