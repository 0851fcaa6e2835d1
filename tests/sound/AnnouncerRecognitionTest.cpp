// SPDX-License-Identifier: GPL-3.0-or-later
// The announcer is understood: an independent speech recogniser, with its
// own packaged US English models and their full vocabulary, no word list
// of ours, hears every word exactly as the built library holds it, and
// nearly every one between stretches of silence, as the game sounds them.
// The voice is full and close: a chest, air, and no silence before it.
#include "WaveMeasures.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include <unistd.h>

namespace {

namespace fs = std::filesystem;

// The recogniser's models are for 16 kHz speech.
constexpr double RecogniserRate = 16000;

void Put(std::string& out, uint32_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i) out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
}

const std::vector<std::string> kWords = {"one", "two", "three", "four", "five", "six",
                                         "seven", "eight", "nine", "ten", "Level", "Fight"};

// A plain 44-byte-header WAV of the word at the recogniser's rate, with
// `silence` seconds of it before and after.
void WriteRecogniserWave(const TWave& wave, const fs::path& path, double silence)
{
    TSignal resampled = Resample(SamplesOf(wave), wave.SamplesPerSec() / RecogniserRate);
    const auto pad = static_cast<size_t>(silence * RecogniserRate);
    resampled.insert(resampled.begin(), pad, 0.0);
    resampled.insert(resampled.end(), pad, 0.0);
    std::string bytes = "RIFF";
    Put(bytes, static_cast<uint32_t>(36 + resampled.size() * 2), 4);
    bytes += "WAVEfmt ";
    Put(bytes, 16, 4);
    Put(bytes, 1, 2);
    Put(bytes, 1, 2);
    Put(bytes, static_cast<uint32_t>(RecogniserRate), 4);
    Put(bytes, static_cast<uint32_t>(RecogniserRate * 2), 4);
    Put(bytes, 2, 2);
    Put(bytes, 16, 2);
    bytes += "data";
    Put(bytes, static_cast<uint32_t>(resampled.size() * 2), 4);
    for (double s : resampled) {
        const double clamped = std::max(-1.0, std::min(1.0, s));
        Put(bytes, static_cast<uint16_t>(static_cast<int16_t>(std::lround(clamped * 32767))), 2);
    }
    std::ofstream(path, std::ios::binary) << bytes;
}

// What the recogniser hears in each word of the built library, by name.
std::map<std::string, std::string> Recognise(double silence)
{
    EXPECT_EQ(std::system("command -v pocketsphinx_batch >/dev/null 2>&1"), 0)
        << "pocketsphinx_batch is missing: run scripts/deps";
    const TWaveCollection& library = BuiltLibrary();
    const fs::path directory = fs::temp_directory_path() / ("zarvenok-recognise-" + std::to_string(::getpid()));
    fs::create_directories(directory);
    std::ofstream control(directory / "words.ctl");
    for (const std::string& name : kWords) {
        WriteRecogniserWave(library.Find(name).Wave, directory / (name + ".wav"), silence);
        control << (directory / name).string() << "\n";
    }
    control.close();

    // The recogniser's packaged defaults: its acoustic model, language
    // model and dictionary. We only tell it that the files are WAVs.
    const std::string command = "pocketsphinx_batch -ctl \"" + (directory / "words.ctl").string() +
                                "\" -cepext .wav -adcin yes -adchdr 44 -hyp \"" + (directory / "words.hyp").string() +
                                "\" >\"" + (directory / "log").string() + "\" 2>&1";
    EXPECT_EQ(std::system(command.c_str()), 0) << "see " << (directory / "log").string();

    // Each line: "WORDS (PATH SCORE)".
    std::map<std::string, std::string> heard;
    std::ifstream hypotheses(directory / "words.hyp");
    for (std::string line; std::getline(hypotheses, line);) {
        const size_t open = line.rfind('(');
        if (open == std::string::npos) continue;
        std::istringstream id(line.substr(open + 1));
        std::string path;
        id >> path;
        std::string words = line.substr(0, open);
        while (!words.empty() && words.back() == ' ') words.pop_back();
        heard[fs::path(path).filename().string()] = words;
    }
    fs::remove_all(directory);
    return heard;
}

std::string Lower(std::string word)
{
    for (char& c : word) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return word;
}

TEST(Announcer, EveryWordIsRecognisedExactlyByAnIndependentRecogniser)
{
    const auto heard = Recognise(0);
    for (const std::string& name : kWords) EXPECT_EQ(heard.count(name) ? heard.at(name) : "", Lower(name)) << "the announcer's \"" << name << "\"";
}

TEST(Announcer, WordsBetweenSilencesAreRecognisedNearlyAll)
{
    const auto heard = Recognise(0.3);
    int right = 0;
    std::string wrong;
    for (const std::string& name : kWords) {
        if (heard.count(name) && heard.at(name) == Lower(name)) ++right;
        else wrong += " \"" + name + "\" as \"" + (heard.count(name) ? heard.at(name) : "") + "\"";
    }
    EXPECT_GE(right, 11) << "heard" << wrong;
}

// A radio band or a thin voice is what recognisers and players stumble on:
// the voice keeps its chest and its air, and nothing below the voice.
TEST(Announcer, AFullVoiceThatSpeaksAtOnce)
{
    TSignal all;
    double rate = 0;
    for (const std::string& name : kWords) {
        SCOPED_TRACE(name);
        const TWave& wave = BuiltLibrary().Find(name).Wave;
        rate = wave.SamplesPerSec();
        const TSignal word = SamplesOf(wave);
        EXPECT_GE(BandShare(word, rate, 0, 250), 0.15) << "no chest";
        EXPECT_LT(BandShare(word, rate, 0, 60), 0.03) << "rumble under the voice";
        EXPECT_LT(OnsetSeconds(word, rate, 30), 0.03) << "silence before the word";
        all.insert(all.end(), word.begin(), word.end());
    }
    ASSERT_GE(rate, 22050);
    // The consonants' air, up to 10 kHz: a radio band leaves nothing there.
    EXPECT_GE(BandShare(all, rate, 4000, 8000), 0.002);
    EXPECT_GE(BandShare(all, rate, 8000, 10000), 0.0001);
}

} // namespace
