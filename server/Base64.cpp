// SPDX-License-Identifier: GPL-3.0-or-later
// Base64 both ways.
#include "Base64.h"

#include <array>
#include <cstdint>

namespace {

constexpr char Alphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

constexpr std::array<int8_t, 256> Values = [] {
    std::array<int8_t, 256> values{};
    values.fill(-1);
    for (int i = 0; i < 64; ++i)
        values[static_cast<unsigned char>(Alphabet[i])] = static_cast<int8_t>(i);
    return values;
}();

} // namespace

std::string Base64Encode(std::string_view bytes)
{
    std::string out;
    out.reserve((bytes.size() + 2) / 3 * 4);
    std::size_t i = 0;
    for (; i + 3 <= bytes.size(); i += 3) {
        const uint32_t n = static_cast<unsigned char>(bytes[i]) << 16 | static_cast<unsigned char>(bytes[i + 1]) << 8 |
                           static_cast<unsigned char>(bytes[i + 2]);
        out += Alphabet[n >> 18];
        out += Alphabet[(n >> 12) & 63];
        out += Alphabet[(n >> 6) & 63];
        out += Alphabet[n & 63];
    }
    const std::size_t left = bytes.size() - i;
    if (left > 0) {
        uint32_t n = static_cast<unsigned char>(bytes[i]) << 16;
        if (left == 2)
            n |= static_cast<unsigned char>(bytes[i + 1]) << 8;
        out += Alphabet[n >> 18];
        out += Alphabet[(n >> 12) & 63];
        out += left == 2 ? Alphabet[(n >> 6) & 63] : '=';
        out += '=';
    }
    return out;
}

std::optional<std::string> Base64Decode(std::string_view text)
{
    if (text.size() % 4 != 0)
        return std::nullopt;
    std::string out;
    out.reserve(text.size() / 4 * 3);
    for (std::size_t i = 0; i < text.size(); i += 4) {
        const bool last = i + 4 == text.size();
        const std::size_t padding = last ? (text[i + 3] == '=') + (text[i + 2] == '=') : 0;
        uint32_t n = 0;
        for (std::size_t j = 0; j < 4; ++j) {
            const int8_t value = j >= 4 - padding ? 0 : Values[static_cast<unsigned char>(text[i + j])];
            if (value < 0)
                return std::nullopt;
            n = n << 6 | static_cast<uint32_t>(value);
        }
        out += static_cast<char>(n >> 16);
        if (padding < 2)
            out += static_cast<char>((n >> 8) & 255);
        if (padding < 1)
            out += static_cast<char>(n & 255);
    }
    return out;
}
