// SPDX-License-Identifier: GPL-3.0-or-later
// The portable number text must be exactly what the standard library's
// to_chars writes and from_chars reads, here where both exist: on values
// with every kind of shortest form and on doubles from all over the range.
#include "NumberText.h"

#include <gtest/gtest.h>

#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>
#include <random>
#include <string>

namespace {

std::string StandardText(double value)
{
    char text[64];
    const auto [end, ec] = std::to_chars(text, text + sizeof text, value);
    return ec == std::errc() ? std::string(text, end) : "error";
}

TEST(NumberText, ShortestTextAsTheStandardLibraryWritesIt)
{
    constexpr double kLimits[] = {std::numeric_limits<double>::max(), std::numeric_limits<double>::min(),
                                  std::numeric_limits<double>::denorm_min(), std::numeric_limits<double>::epsilon()};
    constexpr double kValues[] = {1, -1, 0.5, 2.0 / 3.0, 0.1, 0.3, 100, 1e5, 123456, 1234567, 1e15, 1e16, 1e20,
                                  1e21, 1e22, 1e23, 9007199254740993.0, 123456789012345680000.0, 1.5e300,
                                  0.001, 0.0001, 0.00012, 1e-5, 1.25e-7, 5e-324, 430.25, -67.5, 1.0 / 3.0,
                                  0.6666666666666667, 12.000000000000002, 1e-300};
    for (double value : kValues) EXPECT_EQ(ShortestText(value), StandardText(value)) << value;
    for (double value : kLimits) {
        EXPECT_EQ(ShortestText(value), StandardText(value)) << value;
        EXPECT_EQ(ShortestText(-value), StandardText(-value)) << value;
    }
    EXPECT_EQ(ShortestText(0.0), "0");
    EXPECT_EQ(ShortestText(-0.0), "-0");
    EXPECT_EQ(ShortestText(std::numeric_limits<double>::infinity()), "inf");
    EXPECT_EQ(ShortestText(-std::numeric_limits<double>::infinity()), "-inf");
    EXPECT_EQ(ShortestText(std::numeric_limits<double>::quiet_NaN()), "nan");

    // Any bit pattern, and the small fractions that sprite positions are.
    std::mt19937_64 random(7);
    for (int i = 0; i < 5000; ++i) {
        const double value = std::bit_cast<double>(random());
        if (std::isnan(value)) continue;
        ASSERT_EQ(ShortestText(value), StandardText(value)) << std::bit_cast<uint64_t>(value);
        const double position = static_cast<double>(static_cast<int64_t>(random() % 2000000) - 1000000) / 1024.0;
        ASSERT_EQ(ShortestText(position), StandardText(position)) << position;
    }
}

TEST(NumberText, ReadsWhatTheStandardLibraryReads)
{
    const char* const kTexts[] = {"0", "-0", "1", "-1.5", "12.", ".5", "-.5", "1e3", "1E-3", "1e+3", "2.5e",
                                  "2.5e+", "1e400", "-1e400", "1e-400", "4.9e-324", "2.2250738585072014e-308",
                                  "inf", "-INF", "Infinity", "infin", "nan", "NaN(abc_1)", "nan(", "nan(-)", "",
                                  "-", ".", "+1", " 1", "1 ", "0x10", "1.2.3", "00012.50", "e5", "123456789012345680000"};
    for (const char* text : kTexts) {
        const std::string_view view = text;
        double standard = 0;
        const auto [end, ec] = std::from_chars(view.data(), view.data() + view.size(), standard);
        const bool standardReads = ec == std::errc() && end == view.data() + view.size();
        double ours = 0;
        ASSERT_EQ(ReadDouble(view, ours), standardReads) << '"' << text << '"';
        if (!standardReads) continue;
        if (std::isnan(standard)) {
            EXPECT_TRUE(std::isnan(ours)) << text;
        } else {
            EXPECT_EQ(std::bit_cast<uint64_t>(ours), std::bit_cast<uint64_t>(standard)) << text;
        }
    }
    // What is written reads back as the same double.
    std::mt19937_64 random(11);
    for (int i = 0; i < 5000; ++i) {
        const double value = std::bit_cast<double>(random());
        if (!std::isfinite(value)) continue;
        double back = 0;
        ASSERT_TRUE(ReadDouble(ShortestText(value), back)) << ShortestText(value);
        ASSERT_EQ(std::bit_cast<uint64_t>(back), std::bit_cast<uint64_t>(value));
    }
}

} // namespace
