// SPDX-License-Identifier: GPL-3.0-or-later
// zlib compression of the replay's record stream.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

std::vector<uint8_t> Deflate(std::span<const uint8_t> bytes);

// Exactly `expectedSize` bytes from one whole zlib stream that fills
// `compressed`; EReplayError saying how it failed otherwise.
std::vector<uint8_t> Inflate(std::span<const uint8_t> compressed, size_t expectedSize);

// The most that deflate can shrink data by (runs of one byte), with room
// for the stream's own overhead: a declared size beyond it is a lie.
constexpr size_t MaxInflatedSize(size_t compressedSize)
{
    return compressedSize * 1032 + 1024;
}
