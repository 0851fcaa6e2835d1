// SPDX-License-Identifier: GPL-3.0-or-later
// Little-endian numbers, varints and short strings: the building blocks of
// the replay header and the record stream. The reader never reads past its
// end; it raises EReplayError naming what it was reading instead.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

class TByteWriter {
public:
    explicit TByteWriter(std::vector<uint8_t>& bytes) : Bytes_(bytes) {}

    void U8(uint8_t value) { Bytes_.push_back(value); }
    void U16(uint16_t value);
    void U32(uint32_t value);
    void U64(uint64_t value);
    void Varint(uint32_t value);
    // Signed values by zigzag, so small negatives stay short.
    void SignedVarint(int32_t value);
    void Raw(std::span<const uint8_t> bytes) { Bytes_.insert(Bytes_.end(), bytes.begin(), bytes.end()); }
    // One length byte, then the bytes.
    void ShortString(const std::string& text);

private:
    std::vector<uint8_t>& Bytes_;
};

class TByteReader {
public:
    // `what` names the part being read in the messages ("header", "records").
    TByteReader(std::span<const uint8_t> bytes, const char* what) : Bytes_(bytes), What_(what) {}

    uint8_t U8();
    uint16_t U16();
    uint32_t U32();
    uint64_t U64();
    uint32_t Varint();
    int32_t SignedVarint();
    std::span<const uint8_t> Raw(size_t count);
    // At most `maxLength` bytes; longer is damage.
    std::string ShortString(size_t maxLength, const char* field);

    size_t Offset() const { return Offset_; }
    bool AtEnd() const { return Offset_ == Bytes_.size(); }
    // EReplayError naming the part, the byte last read and the problem.
    [[noreturn]] void Fail(const std::string& problem) const { FailAt(Offset_ > 0 ? Offset_ - 1 : 0, problem); }
    [[noreturn]] void FailAt(size_t offset, const std::string& problem) const;

private:
    void Need(size_t count) const;

    std::span<const uint8_t> Bytes_;
    const char* What_;
    size_t Offset_ = 0;
};

// The CRC-32 of zlib (and of PNG and gzip).
uint32_t Crc32(std::span<const uint8_t> bytes);

constexpr uint32_t ZigZag(int32_t value)
{
    return (static_cast<uint32_t>(value) << 1) ^ static_cast<uint32_t>(value >> 31);
}

constexpr int32_t UnZigZag(uint32_t value)
{
    return static_cast<int32_t>((value >> 1) ^ (0u - (value & 1)));
}
