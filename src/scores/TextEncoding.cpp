// SPDX-License-Identifier: GPL-3.0-or-later
// The line encoding of the settings file and the score submission.
#include "TextEncoding.h"

#include <array>
#include <cstddef>

namespace {

// Alphabet position of each byte value, -1 for characters outside it.
constexpr std::array<int, 256> MakeAlphabetIndex()
{
    std::array<int, 256> index{};
    index.fill(-1);
    for (std::size_t i = 0; i < Base32Alphabet.size(); ++i)
        index[static_cast<unsigned char>(Base32Alphabet[i])] = static_cast<int>(i);
    return index;
}

constexpr std::array<int, 256> AlphabetIndex = MakeAlphabetIndex();

} // namespace

std::string BytesToBits(std::string_view text)
{
    std::string bits;
    bits.reserve(text.size() * 8);
    for (char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        for (int bit = 7; bit >= 0; --bit)
            bits.push_back(((byte >> bit) & 1U) != 0 ? '1' : '0');
    }
    return bits;
}

std::string BitsToBase32(std::string_view bits)
{
    const std::size_t padding = (5 - bits.size() % 5) % 5;
    std::string result;
    result.reserve((bits.size() + padding) / 5);
    unsigned value = 0;
    int count = 0;
    auto take = [&](bool set) {
        value = (value << 1) | (set ? 1U : 0U);
        if (++count == 5) {
            result.push_back(Base32Alphabet[value]);
            value = 0;
            count = 0;
        }
    };
    for (std::size_t i = 0; i < padding; ++i)
        take(false);
    for (char c : bits)
        take(c != '0');
    return result;
}

std::string Base32ToBits(std::string_view text)
{
    std::string bits;
    bits.reserve(text.size() * 5);
    for (char c : text) {
        const int value = AlphabetIndex[static_cast<unsigned char>(c)];
        if (value < 0)
            continue;
        for (int bit = 4; bit >= 0; --bit)
            bits.push_back(((value >> bit) & 1) != 0 ? '1' : '0');
    }
    return bits;
}

std::string BitsToBytes(std::string_view bits)
{
    const std::size_t padding = (8 - bits.size() % 8) % 8;
    std::string result;
    result.reserve((bits.size() + padding) / 8);
    unsigned value = 0;
    int count = 0;
    auto take = [&](bool set) {
        value = (value << 1) | (set ? 1U : 0U);
        if (++count == 8) {
            result.push_back(static_cast<char>(value));
            value = 0;
            count = 0;
        }
    };
    for (std::size_t i = 0; i < padding; ++i)
        take(false);
    for (char c : bits)
        take(c == '1');
    return result;
}

std::string EncodeLine(std::string_view text)
{
    return BitsToBase32(BytesToBits(text));
}

std::string DecodeLine(std::string_view line)
{
    return BitsToBytes(Base32ToBits(line));
}
