// SPDX-License-Identifier: GPL-3.0-or-later
// The program's command line.
#include "CommandLine.h"

#include <charconv>
#include <string_view>

namespace {

// A whole number in [low, high], all of the text.
std::optional<int> NumberIn(std::string_view text, int low, int high)
{
    int value = 0;
    const char* end = text.data() + text.size();
    const auto [stop, failure] = std::from_chars(text.data(), end, value);
    if (text.empty() || failure != std::errc() || stop != end || value < low || value > high) return std::nullopt;
    return value;
}

struct TNumberOption {
    std::string_view Name;
    int Low;
    int High;
};

constexpr TNumberOption ScaleOption{"--scale", 1, MaxScale};
constexpr TNumberOption MusicOption{"--music-volume", 0, 100};
constexpr TNumberOption SoundOption{"--sound-volume", 0, 100};
constexpr TNumberOption SpeedOption{"--speed", 1, MaxReplaySpeed};

TCommandLine Usage(std::string error)
{
    TCommandLine line;
    line.Action = TCommandLine::TAction::Usage;
    line.Error = std::move(error);
    return line;
}

} // namespace

TCommandLine ParseCommandLine(int argc, const char* const* argv)
{
    TCommandLine line;
    bool windowGiven = false;
    bool fullScreenGiven = false;
    bool speedGiven = false;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            line.Action = TCommandLine::TAction::Help;
            return line;
        }
        if (arg == "--version") {
            line.Action = TCommandLine::TAction::Version;
            return line;
        }
        if (arg == "--window") {
            windowGiven = true;
            line.FullScreen = false;
            continue;
        }
        if (arg == "--fullscreen") {
            fullScreenGiven = true;
            line.FullScreen = true;
            continue;
        }
        if (arg == "--smooth") {
            line.Smooth = true;
            continue;
        }
        if (arg == "--replay" || arg.starts_with("--replay=")) {
            const bool joined = arg != "--replay";
            if (!joined && i + 1 >= argc) return Usage("--replay needs a file");
            line.ReplayFile = joined ? std::string(arg.substr(9)) : std::string(argv[++i]);
            if (line.ReplayFile.empty()) return Usage("--replay needs a file");
            continue;
        }
        // The options with a number: "--name N" or "--name=N".
        const TNumberOption* option = nullptr;
        std::optional<std::string_view> text;
        for (const TNumberOption* candidate : {&ScaleOption, &MusicOption, &SoundOption, &SpeedOption}) {
            if (arg == candidate->Name) {
                option = candidate;
                if (i + 1 < argc) text = argv[++i];
            } else if (arg.starts_with(candidate->Name) && arg.substr(candidate->Name.size()).starts_with("=")) {
                option = candidate;
                text = arg.substr(candidate->Name.size() + 1);
            }
            if (option != nullptr) break;
        }
        if (option == nullptr) {
            return Usage(arg.starts_with("-") ? "unknown option '" + std::string(arg) + "'"
                                              : "unexpected argument '" + std::string(arg) + "'");
        }
        const std::string range = std::to_string(option->Low) + " to " + std::to_string(option->High);
        if (!text) return Usage(std::string(option->Name) + " needs a whole number from " + range);
        const std::optional<int> value = NumberIn(*text, option->Low, option->High);
        if (!value) {
            return Usage(std::string(option->Name) + " needs a whole number from " + range + ", not '" +
                         std::string(*text) + "'");
        }
        if (option == &ScaleOption)
            line.Scale = *value;
        else if (option == &MusicOption)
            line.MusicVolume = value;
        else if (option == &SpeedOption) {
            line.ReplaySpeed = *value;
            speedGiven = true;
        }
        else
            line.SoundVolume = value;
    }
    if (windowGiven && fullScreenGiven) return Usage("--window and --fullscreen cannot both be given");
    if (speedGiven && line.ReplayFile.empty()) return Usage("--speed goes with --replay");
    return line;
}

std::string UsageText()
{
    return "usage: zarvenok [--window | --fullscreen] [--scale N] [--smooth]\n"
           "                [--music-volume N] [--sound-volume N]\n"
           "       zarvenok --replay FILE [--speed N]\n"
           "       zarvenok --help | --version\n"
           "  --window            play in a window this time; the stored choice stays\n"
           "  --fullscreen        play in full screen this time; the stored choice stays\n"
           "  --scale N           draw the picture at N times its size, 1 to " +
           std::to_string(MaxScale) +
           " (by default\n"
           "                      the largest whole multiple that fits the window or screen)\n"
           "  --smooth            fill the window or screen with a smoothly scaled picture\n"
           "                      instead of whole multiples with hard pixel edges\n"
           "  --music-volume N    music volume from 0 to 100, kept for later runs\n"
           "  --sound-volume N    sound effects volume from 0 to 100, kept for later runs\n"
           "  --replay FILE       watch a recorded game (Esc leaves); every game played is\n"
           "                      recorded in the replays folder beside the settings\n"
           "  --speed N           watch it N times as fast, 1 to " +
           std::to_string(MaxReplaySpeed) +
           "\n"
           "  --help              show this help and end\n"
           "  --version           show the version and end\n"
           "M mutes the sound and the music and brings them back, except while a text is\n"
           "being typed. An installed game keeps its settings and scores in\n"
           "$XDG_DATA_HOME/zarvenok (~/.local/share/zarvenok when XDG_DATA_HOME is not set).\n";
}
