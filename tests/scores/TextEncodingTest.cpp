// SPDX-License-Identifier: GPL-3.0-or-later
// The line encoding: known encodings, the round trip, the extra leading
// byte for lengths that are not a multiple of five, and skipped characters.
#include "TextEncoding.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using namespace std::string_literals;

TEST(TextEncoding, KnownEncodings)
{
    EXPECT_EQ(EncodeLine("false"), "N3SY265F");
    EXPECT_EQ(DecodeLine("N3SY265F"), "false");
    EXPECT_EQ(EncodeLine("true"), "B4HE7MF");
    EXPECT_EQ(DecodeLine("B4HE7MF"), "\0true"s);
    EXPECT_EQ(EncodeLine("abc"), "GC2VD");
    EXPECT_EQ(EncodeLine(""), "");
    EXPECT_EQ(DecodeLine(""), "");
}

TEST(TextEncoding, BuildingBlocks)
{
    EXPECT_EQ(BytesToBits("A\xff"), "0100000111111111");
    EXPECT_EQ(Base32ToBits("A9S"), "000001111110000");
    // Left padding on both sides; the encoder counts anything but '0' as
    // set, the decoder only '1'.
    EXPECT_EQ(BitsToBase32("1"), "B");
    EXPECT_EQ(BitsToBase32("x0000"), "S");
    EXPECT_EQ(BitsToBytes("x1"), "\x01");
    EXPECT_EQ(BitsToBytes("101"), "\x05");
    EXPECT_EQ(BitsToBytes(""), "");
}

TEST(TextEncoding, RoundTripAndLength)
{
    std::string allBytes; // 255 bytes: a multiple of five
    for (int b = 1; b <= 255; ++b)
        allBytes.push_back(static_cast<char>(b));
    const std::string texts[] = {"a", "ab", "abc", "abcd", "abcde", "ANONYMOUS%", "-2147483648",
                                 "\0\0\0\0\0"s, "\xff\xfe", allBytes};
    for (const std::string& text : texts) {
        SCOPED_TRACE(text.size());
        const std::string encoded = EncodeLine(text);
        EXPECT_EQ(encoded.size(), (8 * text.size() + 4) / 5);
        EXPECT_EQ(encoded.find_first_not_of(Base32Alphabet), std::string::npos);
        const std::string expected = text.size() % 5 == 0 ? text : "\0"s + text;
        EXPECT_EQ(DecodeLine(encoded), expected);
    }
}

TEST(TextEncoding, CharactersOutsideTheAlphabetAreSkipped)
{
    // I, O and 0 are not in the alphabet, nor is any lower-case letter.
    EXPECT_EQ(DecodeLine("N3S Y2-65F\r"), "false");
    EXPECT_EQ(DecodeLine("IN3SOY0265Fi"), "false");
    EXPECT_EQ(DecodeLine("N3sy265f"), DecodeLine("N3265"));
    EXPECT_EQ(Base32ToBits("abcxyz!"), "");
}

} // namespace
