// The announcer is understood: an independent speech recogniser, with its
// own packaged US English models and no word list of ours, hears every
// word exactly as the built library holds it.
#include "Dsp.h"
#include "WaveCollection.h"

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

// A plain 44-byte-header WAV of the word at the recogniser's rate.
void WriteRecogniserWave(const TWave& wave, const fs::path& path)
{
    TSignal samples;
    for (size_t i = 0; i + 1 < wave.Data.size(); i += 2)
        samples.push_back(static_cast<int16_t>(wave.Data[i] | (wave.Data[i + 1] << 8)) / 32768.0);
    const TSignal resampled = Resample(samples, wave.SamplesPerSec() / RecogniserRate);
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

TEST(Announcer, EveryWordIsRecognisedExactlyByAnIndependentRecogniser)
{
    ASSERT_EQ(std::system("command -v pocketsphinx_batch >/dev/null 2>&1"), 0)
        << "pocketsphinx_batch is missing: run scripts/deps";
    TWaveCollection library;
    library.LoadFromFile(std::string(ZARVENOK_BUILD_DIR) + "/Data/Music.dxw");

    const fs::path directory = fs::temp_directory_path() / ("zarvenok-recognise-" + std::to_string(::getpid()));
    fs::create_directories(directory);
    const std::vector<std::string> names = {"one", "two", "three", "four", "five", "six",
                                            "seven", "eight", "nine", "ten", "Level", "Fight"};
    std::ofstream control(directory / "words.ctl");
    for (const std::string& name : names) {
        WriteRecogniserWave(library.Find(name).Wave, directory / (name + ".wav"));
        control << (directory / name).string() << "\n";
    }
    control.close();

    // The recogniser's packaged defaults: its acoustic model, language
    // model and dictionary. We only tell it that the files are WAVs.
    const std::string command = "pocketsphinx_batch -ctl \"" + (directory / "words.ctl").string() +
                                "\" -cepext .wav -adcin yes -adchdr 44 -hyp \"" + (directory / "words.hyp").string() +
                                "\" >\"" + (directory / "log").string() + "\" 2>&1";
    ASSERT_EQ(std::system(command.c_str()), 0) << "see " << (directory / "log").string();

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
    for (const std::string& name : names) {
        std::string word = name;
        for (char& c : word) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        EXPECT_EQ(heard[name], word) << "the announcer's \"" << name << "\"";
    }
    fs::remove_all(directory);
}

} // namespace
