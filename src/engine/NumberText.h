// SPDX-License-Identifier: GPL-3.0-or-later
// Numbers as text the same on every standard library: the shortest decimal
// that reads back to the same double (as std::to_chars writes it), and the
// reading of such text (as std::from_chars reads it). Some standard
// libraries have no floating-point to_chars or from_chars at all.
#pragma once

#include <string>
#include <string_view>

// The shortest text that reads back as `value`: fixed or with an exponent,
// whichever is shorter (fixed on a tie); "inf", "nan" and "-0" as they are.
std::string ShortestText(double value);

// Reads the whole of `text` as a decimal number: an optional '-', digits
// with an optional point, an optional exponent, or "inf", "infinity" and
// "nan" in any case. False for anything else (a '+', spaces, hexadecimal,
// text left over) and for a value too large or too small for a double.
bool ReadDouble(std::string_view text, double& value);
