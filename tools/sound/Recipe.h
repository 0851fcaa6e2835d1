// SPDX-License-Identifier: GPL-3.0-or-later
// The text form shared by sound recipes and music instruments: lines of
// words, layers of sources with their steps, and a master section.
#pragma once

#include "Dsp.h"

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

// A fault in a source text, reported as "FILE:LINE: reason".
class TRecipeError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct TLine {
    std::string File;
    int Number = 0;
    std::vector<std::string> Words; // Words[0] is the keyword

    const std::string& Keyword() const { return Words.front(); }
    size_t ArgCount() const { return Words.size() - 1; }
    const std::string& Arg(size_t i) const;
    [[noreturn]] void Fail(const std::string& reason) const;

    // A number, a value with a "k" suffix (thousands) or a note name.
    double Value(size_t i) const;
    double ValueOr(size_t i, double fallback) const;
    int Integer(size_t i) const;
    // A breakpoint curve from argument i on: "0:180 exp 0.08:55", or one value.
    TCurve Curve(size_t i, bool logScale) const;
    void ExpectArgs(size_t least, size_t most) const;
};

// Splits a text into lines of words: '#' starting a word begins a comment, double quotes
// keep spaces inside one word, blank lines are dropped.
std::vector<TLine> SplitLines(const std::string& text, const std::string& file);
std::string ReadTextFile(const std::string& path);

// "C-4", "C#4", "Bb3" -> semitones from C-0 (C-4 is 48); -1 when not a note.
int ParseNoteName(const std::string& word);
double NoteFrequency(int note); // C-4 (48) = 261.63 Hz, A-4 = 440 Hz
// A number, a value with a "k" (thousands) suffix, or a note name.
bool ParseValue(const std::string& word, double& value);

struct TLayer {
    TLine Source;             // "tone saw", "noise pink", "speech \"Fight\"" ...
    std::vector<TLine> Steps; // parameters of the source and processing, in order
};

// What the synthesiser renders: layers mixed, then the master steps.
struct TPatch {
    double Rate = 44100;
    double Length = 1.0;
    uint64_t Seed = 0;
    std::vector<TLayer> Layers;
    std::vector<TLine> Master;
};

// Takes the patch lines of one block: "layer", "master" and the steps that
// follow them. Returns false for a line that belongs to neither, so the
// caller can read its own properties.
class TPatchBuilder {
public:
    explicit TPatchBuilder(TPatch& patch) : patch_(patch) {}
    bool Take(const TLine& line);

private:
    TPatch& patch_;
    enum class TSection { None, Layer, Master } section_ = TSection::None;
};
