// SPDX-License-Identifier: GPL-3.0-or-later
// Word splitting shared by the art list and the screens file.
#include "ArtWords.h"

#include <stdexcept>

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r'; }

bool IsComment(const std::string& line, size_t i)
{
    if (line[i] != '#') return false;
    if (line.find_first_not_of(" \t") == i) return true;
    return i + 1 >= line.size() || IsBlank(line[i + 1]);
}

} // namespace

std::vector<std::string> SplitArtWords(const std::string& line, const std::string& where)
{
    std::vector<std::string> words;
    size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && IsBlank(line[i])) ++i;
        if (i >= line.size() || IsComment(line, i)) break;
        std::string word;
        bool quoted = false;
        while (i < line.size() && (quoted || !IsBlank(line[i]))) {
            if (line[i] == '"') quoted = !quoted;
            else word += line[i];
            ++i;
        }
        if (quoted) throw std::runtime_error(where + ": unterminated quote");
        words.push_back(word);
    }
    return words;
}
