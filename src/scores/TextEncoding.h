// SPDX-License-Identifier: GPL-3.0-or-later
// The game's line encoding: bytes to bits, bits to a 32-character alphabet
// and back. Strings here are byte strings; nothing is treated as UTF-8.
#pragma once

#include <string>
#include <string_view>

// Value v (0..31) is written as the character at position v.
inline constexpr std::string_view Base32Alphabet = "ABCDEFGHJKLMNPQRSTUVWXY123456789";

// Eight '0'/'1' characters per byte, most significant bit first.
std::string BytesToBits(std::string_view text);

// Left-pads with '0' to a multiple of 5, then one alphabet character per
// group of five (any character other than '0' counts as a set bit).
std::string BitsToBase32(std::string_view bits);

// Five bits per alphabet character; characters outside the alphabet
// (lower case included) are skipped.
std::string Base32ToBits(std::string_view text);

// Left-pads with '0' to a multiple of 8, then one byte per group of eight
// (only '1' counts as a set bit).
std::string BitsToBytes(std::string_view bits);

// A text of n bytes encodes to ceil(8n / 5) characters. Decoding gives the
// text back exactly when n is a multiple of 5; otherwise the padding bits of
// both directions add up to one extra leading byte 0.
std::string EncodeLine(std::string_view text);
std::string DecodeLine(std::string_view line);
