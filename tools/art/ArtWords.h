// SPDX-License-Identifier: GPL-3.0-or-later
// Splitting the lines of the art tool's text files into words.
#pragma once

#include <string>
#include <vector>

// Words are separated by blanks; double quotes keep blanks inside a word;
// "#" starts a comment at the start of a line or before a blank, so that
// colours such as #2a1c12 can be written as words. Raises
// std::runtime_error(where + ": unterminated quote").
std::vector<std::string> SplitArtWords(const std::string& line, const std::string& where);
