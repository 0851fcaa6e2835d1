// SPDX-License-Identifier: GPL-3.0-or-later
// zarvenok-sound: builds the wave library from sound recipes and music
// modules from compositions.
#include "Composition.h"
#include "SoundRecipe.h"
#include "WaveCollection.h"
#include "XmModule.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <set>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

void WriteFile(const std::string& path, const std::vector<uint8_t>& bytes)
{
    // Written beside the target and renamed, so a failed run never leaves
    // a half-written file that the build would take as up to date.
    const std::string temporary = path + ".part";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        if (!out) throw std::runtime_error("Cannot create file \"" + temporary + "\"");
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        if (!out) throw std::runtime_error("Cannot write file \"" + temporary + "\"");
    }
    fs::rename(temporary, path);
}

TWave MakeWave(const std::vector<int16_t>& samples, uint32_t rate)
{
    TWave wave;
    const auto put16 = [&](uint16_t v) {
        wave.Format.push_back(static_cast<uint8_t>(v));
        wave.Format.push_back(static_cast<uint8_t>(v >> 8));
    };
    const auto put32 = [&](uint32_t v) {
        put16(static_cast<uint16_t>(v));
        put16(static_cast<uint16_t>(v >> 16));
    };
    put16(1); // PCM
    put16(1); // mono
    put32(rate);
    put32(rate * 2);
    put16(2);
    put16(16);
    for (int16_t s : samples) {
        wave.Data.push_back(static_cast<uint8_t>(static_cast<uint16_t>(s)));
        wave.Data.push_back(static_cast<uint8_t>(static_cast<uint16_t>(s) >> 8));
    }
    return wave;
}

std::vector<TSoundRecipe> ReadRecipes(const std::vector<std::string>& files)
{
    std::vector<TSoundRecipe> all;
    std::set<std::string> names;
    for (const std::string& file : files) {
        for (TSoundRecipe& recipe : ParseSoundRecipes(ReadTextFile(file), file)) {
            if (!names.insert(recipe.Name).second) recipe.Declaration.Fail("sound '" + recipe.Name + "' is defined twice");
            all.push_back(std::move(recipe));
        }
    }
    return all;
}

// One line per sound: what a listener would check first.
int PrintStats(const std::string& library)
{
    TWaveCollection waves;
    waves.LoadFromFile(library);
    std::printf("%-14s %-6s %3s %6s %7s %8s %9s\n", "name", "looped", "max", "rate", "seconds", "peak dB", "loudness");
    for (int i = 0; i < waves.Count(); ++i) {
        const TWaveCollectionItem& item = waves.Items(i);
        const TWave& wave = item.Wave;
        TSignal signal;
        for (size_t k = 0; k + 1 < wave.Data.size(); k += 2)
            signal.push_back(static_cast<int16_t>(wave.Data[k] | (wave.Data[k + 1] << 8)) / 32768.0);
        const double rate = wave.SamplesPerSec();
        std::printf("%-14s %-6s %3d %6.0f %7.3f %8.2f %9.2f\n", item.Name().c_str(), item.Looped() ? "yes" : "no",
                    item.MaxPlayingCount(), rate, static_cast<double>(signal.size()) / rate, PeakDb(signal),
                    ShortTermLoudness(signal, rate));
    }
    return 0;
}

int Usage()
{
    std::cerr << "usage:\n"
                 "  zarvenok-sound effects OUTPUT.dxw RECIPE.snd...   build the wave library\n"
                 "  zarvenok-sound wav DIRECTORY RECIPE.snd...        write each sound as NAME.wav\n"
                 "  zarvenok-sound music COMPOSITION OUTPUT.xm        build a music module\n"
                 "  zarvenok-sound stats LIBRARY.dxw                  levels and lengths of a library\n";
    return 2;
}

int Run(const std::vector<std::string>& args)
{
    if (args.size() >= 3 && (args[0] == "effects" || args[0] == "wav")) {
        const std::vector<TSoundRecipe> recipes = ReadRecipes({args.begin() + 2, args.end()});
        std::vector<TWaveLibraryEntry> entries;
        for (const TSoundRecipe& recipe : recipes) {
            TWaveLibraryEntry entry;
            entry.Name = recipe.Name;
            entry.Looped = recipe.Master.Looped;
            entry.MaxPlayingCount = recipe.MaxPlayingCount;
            entry.Wave = MakeWave(RenderSound(recipe), static_cast<uint32_t>(recipe.Patch.Rate));
            if (args[0] == "wav") WriteFile((fs::path(args[1]) / (recipe.Name + ".wav")).string(), entry.Wave.SaveToRiff());
            entries.push_back(std::move(entry));
        }
        if (args[0] == "effects") WriteFile(args[1], WriteWaveLibrary(entries));
        return 0;
    }
    if (args.size() == 3 && args[0] == "music") {
        WriteFile(args[2], WriteXm(ParseComposition(ReadTextFile(args[1]), args[1])));
        return 0;
    }
    if (args.size() == 2 && args[0] == "stats") return PrintStats(args[1]);
    return Usage();
}

} // namespace

int main(int argc, char** argv)
{
    try {
        return Run({argv + 1, argv + argc});
    } catch (const std::exception& e) {
        std::cerr << "zarvenok-sound: " << e.what() << "\n";
        return 1;
    }
}
