// SPDX-License-Identifier: GPL-3.0-or-later
// Reading the text form of recipes and instruments.
#include "Recipe.h"

#include <cctype>
#include <charconv>
#include <cmath>
#include <fstream>
#include <sstream>

const std::string& TLine::Arg(size_t i) const
{
    if (i + 1 >= Words.size()) Fail("'" + Keyword() + "' needs more values");
    return Words[i + 1];
}

void TLine::Fail(const std::string& reason) const
{
    throw TRecipeError(File + ":" + std::to_string(Number) + ": " + reason);
}

void TLine::ExpectArgs(size_t least, size_t most) const
{
    if (ArgCount() < least || ArgCount() > most)
        Fail("'" + Keyword() + "' takes " +
             (least == most ? std::to_string(least) : std::to_string(least) + " to " + std::to_string(most)) +
             " values");
}

double TLine::Value(size_t i) const
{
    double value = 0;
    if (!ParseValue(Arg(i), value)) Fail("'" + Arg(i) + "' is not a number");
    return value;
}

double TLine::ValueOr(size_t i, double fallback) const
{
    return i < ArgCount() ? Value(i) : fallback;
}

int TLine::Integer(size_t i) const
{
    const double value = Value(i);
    if (value != std::floor(value) || std::abs(value) > 1e9) Fail("'" + Arg(i) + "' is not a whole number");
    return static_cast<int>(value);
}

TCurve TLine::Curve(size_t i, bool logScale) const
{
    if (i >= ArgCount()) Fail("'" + Keyword() + "' needs a value or breakpoints");
    if (i + 1 == ArgCount() && Arg(i).find(':') == std::string::npos) return TCurve(Value(i));
    std::vector<TCurvePoint> points;
    bool exponential = false;
    for (size_t k = i; k < ArgCount(); ++k) {
        const std::string& word = Arg(k);
        if (word == "exp") {
            exponential = true;
            continue;
        }
        const size_t colon = word.find(':');
        double time = 0, value = 0;
        if (colon == std::string::npos || !ParseValue(word.substr(0, colon), time) ||
            !ParseValue(word.substr(colon + 1), value))
            Fail("'" + word + "' is not a TIME:VALUE breakpoint");
        if (!points.empty() && time < points.back().Time) Fail("breakpoint times must not go back");
        if (logScale && value <= 0) Fail("frequencies must be above 0");
        points.push_back({time, value, exponential});
        exponential = false;
    }
    if (points.empty()) Fail("'" + Keyword() + "' needs breakpoints");
    return TCurve(std::move(points), logScale);
}

std::vector<TLine> SplitLines(const std::string& text, const std::string& file)
{
    std::vector<TLine> lines;
    std::istringstream in(text);
    std::string raw;
    int number = 0;
    while (std::getline(in, raw)) {
        ++number;
        TLine line{file, number, {}};
        std::string word;
        bool quoted = false, inWord = false;
        for (char c : raw) {
            if (quoted) {
                if (c == '"') quoted = false;
                else word += c;
                continue;
            }
            if (c == '#' && !inWord) break; // within a word it is a sharp: "C#4"
            if (c == '"') {
                quoted = inWord = true;
            } else if (std::isspace(static_cast<unsigned char>(c))) {
                if (inWord) line.Words.push_back(word);
                word.clear();
                inWord = false;
            } else {
                word += c;
                inWord = true;
            }
        }
        if (quoted) line.Fail("unclosed quote");
        if (inWord) line.Words.push_back(word);
        if (!line.Words.empty()) lines.push_back(std::move(line));
    }
    return lines;
}

std::string ReadTextFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) throw TRecipeError("Cannot open file \"" + path + "\"");
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

int ParseNoteName(const std::string& word)
{
    if (word.size() != 3) return -1;
    static const int base[7] = {9, 11, 0, 2, 4, 5, 7}; // A B C D E F G
    const char letter = static_cast<char>(std::toupper(static_cast<unsigned char>(word[0])));
    if (letter < 'A' || letter > 'G') return -1;
    int semitone = base[letter - 'A'];
    if (word[1] == '#') ++semitone;
    else if (word[1] == 'b') --semitone;
    else if (word[1] != '-') return -1;
    if (word[2] < '0' || word[2] > '9') return -1;
    const int note = (word[2] - '0') * 12 + semitone;
    return note >= 0 && note < 120 ? note : -1;
}

double NoteFrequency(int note)
{
    return 440.0 * std::pow(2.0, (note - 57) / 12.0);
}

bool ParseValue(const std::string& word, double& value)
{
    const int note = ParseNoteName(word);
    if (note >= 0) {
        value = NoteFrequency(note);
        return true;
    }
    std::string digits = word;
    double scale = 1;
    if (!digits.empty() && (digits.back() == 'k' || digits.back() == 'K')) {
        digits.pop_back();
        scale = 1000;
    }
    if (digits.empty()) return false;
    const char* first = digits.data();
    const char* last = first + digits.size();
    if (*first == '+') ++first;
    const auto [end, error] = std::from_chars(first, last, value);
    if (error != std::errc() || end != last || !std::isfinite(value)) return false;
    value *= scale;
    return true;
}

bool TPatchBuilder::Take(const TLine& line)
{
    if (line.Keyword() == "layer") {
        if (line.ArgCount() < 1) line.Fail("'layer' needs a source");
        TLayer layer;
        layer.Source = line;
        layer.Source.Words.erase(layer.Source.Words.begin());
        patch_.Layers.push_back(std::move(layer));
        section_ = TSection::Layer;
        return true;
    }
    if (line.Keyword() == "master") {
        line.ExpectArgs(0, 0);
        section_ = TSection::Master;
        return true;
    }
    switch (section_) {
    case TSection::Layer: patch_.Layers.back().Steps.push_back(line); return true;
    case TSection::Master: patch_.Master.push_back(line); return true;
    case TSection::None: return false;
    }
    return false;
}
