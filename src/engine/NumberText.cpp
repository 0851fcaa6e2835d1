// SPDX-License-Identifier: GPL-3.0-or-later
// Shortest round-trip text by trying precisions with the C library, which
// rounds correctly; the closest decimal of the shortest length is the one
// std::to_chars chooses.
#include "NumberText.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

bool SameLetters(std::string_view text, std::string_view lower)
{
    if (text.size() != lower.size()) return false;
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i] >= 'A' && text[i] <= 'Z' ? static_cast<char>(text[i] - 'A' + 'a') : text[i];
        if (c != lower[i]) return false;
    }
    return true;
}

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

// Whether the text is a number in the form from_chars reads, without sign.
bool Decimal(std::string_view text)
{
    size_t i = 0;
    size_t digits = 0;
    while (i < text.size() && IsDigit(text[i])) ++i, ++digits;
    if (i < text.size() && text[i] == '.') {
        ++i;
        while (i < text.size() && IsDigit(text[i])) ++i, ++digits;
    }
    if (digits == 0) return false;
    if (i == text.size()) return true;
    if (text[i] != 'e' && text[i] != 'E') return false;
    ++i;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
    if (i == text.size()) return false;
    while (i < text.size() && IsDigit(text[i])) ++i;
    return i == text.size();
}

// "nan" with an optional "(letters, digits and underscores)".
bool NotANumber(std::string_view text)
{
    if (text.size() < 3 || !SameLetters(text.substr(0, 3), "nan")) return false;
    text.remove_prefix(3);
    if (text.empty()) return true;
    if (text.front() != '(' || text.back() != ')') return false;
    for (const char c : text.substr(1, text.size() - 2))
        if (!IsDigit(c) && !(c >= 'a' && c <= 'z') && !(c >= 'A' && c <= 'Z') && c != '_') return false;
    return true;
}

} // namespace

std::string ShortestText(double value)
{
    const std::string sign = std::signbit(value) ? "-" : "";
    if (std::isnan(value)) return sign + "nan";
    if (std::isinf(value)) return sign + "inf";
    if (value == 0) return sign + "0";

    char text[40];
    for (int precision = 0; precision < 17; ++precision) {
        std::snprintf(text, sizeof text, "%.*e", precision, std::fabs(value));
        if (std::strtod(text, nullptr) == std::fabs(value)) break;
    }
    // "d.ddde+XX": the digits without the point, and the exponent.
    const std::string_view written = text;
    const size_t e = written.find('e');
    std::string digits(1, written[0]);
    if (e > 2) digits += written.substr(2, e - 2);
    const int exponent = std::atoi(text + e + 1);
    const int count = static_cast<int>(digits.size());

    std::string scientific = digits.substr(0, 1);
    if (count > 1) scientific += "." + digits.substr(1);
    const int magnitude = std::abs(exponent);
    scientific += exponent < 0 ? "e-" : "e+";
    if (magnitude < 10) scientific += '0';
    scientific += std::to_string(magnitude);

    // A whole number wider than that is never written out in full.
    if (exponent >= static_cast<int>(scientific.size())) return sign + scientific;
    std::string fixed;
    if (exponent < 0) {
        fixed = "0." + std::string(static_cast<size_t>(-exponent - 1), '0') + digits;
    } else if (count <= exponent + 1) {
        // A whole number is written exactly, not as its shortest digits and
        // zeros: as long, and what the standard library writes.
        std::snprintf(text, sizeof text, "%.0f", std::fabs(value));
        fixed = text;
    } else {
        fixed = digits.substr(0, static_cast<size_t>(exponent + 1)) + "." + digits.substr(static_cast<size_t>(exponent + 1));
    }
    return sign + (fixed.size() <= scientific.size() ? fixed : scientific);
}

bool ReadDouble(std::string_view text, double& value)
{
    std::string_view body = text;
    if (!body.empty() && body.front() == '-') body.remove_prefix(1);
    const bool special = SameLetters(body, "inf") || SameLetters(body, "infinity") || NotANumber(body);
    if (!special && !Decimal(body)) return false;
    const std::string copy(text);
    errno = 0;
    const double read = std::strtod(copy.c_str(), nullptr);
    // Past the range of a double either way; a subnormal result is a value.
    if (errno == ERANGE && (std::isinf(read) || read == 0)) return false;
    value = read;
    return true;
}
