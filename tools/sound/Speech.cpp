// SPDX-License-Identifier: GPL-3.0-or-later
// Spoken words from espeak-ng or flite: their wave output read from a pipe.
#include "Speech.h"

#include "Recipe.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

namespace {

bool OnlyCharacters(const std::string& text, const char* allowedPunctuation)
{
    return !text.empty() && std::all_of(text.begin(), text.end(), [&](char c) {
        return std::isalnum(static_cast<unsigned char>(c)) || std::strchr(allowedPunctuation, c) != nullptr;
    });
}

uint32_t Get32(const std::vector<uint8_t>& b, size_t at)
{
    return static_cast<uint32_t>(b[at]) | (static_cast<uint32_t>(b[at + 1]) << 8) |
           (static_cast<uint32_t>(b[at + 2]) << 16) | (static_cast<uint32_t>(b[at + 3]) << 24);
}

uint16_t Get16(const std::vector<uint8_t>& b, size_t at)
{
    return static_cast<uint16_t>(b[at] | (b[at + 1] << 8));
}

struct TPipeCloser {
    void operator()(FILE* f) const { pclose(f); }
};

} // namespace

TSignal Speak(const TSpeechRequest& request, double rate)
{
    // The words go through a shell: keep them to plain text.
    if (!OnlyCharacters(request.Text, " !?.,'-")) throw TRecipeError("speech text '" + request.Text + "' is not plain words");
    if (!OnlyCharacters(request.Voice, "+-_")) throw TRecipeError("speech voice '" + request.Voice + "' is not a voice name");
    std::string command;
    if (request.Engine == "espeak-ng") {
        command = "espeak-ng -v " + request.Voice + " -p " + std::to_string(std::clamp(request.Pitch.value_or(40), 0, 99)) + " -s " +
                  std::to_string(std::clamp(request.Speed, 80, 450)) + " --stdout \"" + request.Text + "\" 2>/dev/null";
    } else if (request.Engine == "flite") {
        // flite renders the whole utterance before writing, so its header's
        // sizes hold even on a pipe.
        char stretch[32];
        std::snprintf(stretch, sizeof stretch, "%.3f", 150.0 / std::clamp(request.Speed, 60, 400));
        command = "flite -voice " + request.Voice + " --setf duration_stretch=" + stretch;
        if (request.Pitch) command += " --setf int_f0_target_mean=" + std::to_string(std::clamp(*request.Pitch, 50, 400));
        command += " -t \"" + request.Text + "\" -o /dev/stdout 2>/dev/null";
    } else {
        throw TRecipeError("unknown speech engine '" + request.Engine + "' (espeak-ng or flite)");
    }
    const std::string& engine = request.Engine;
    std::vector<uint8_t> bytes;
    int status = 0;
    {
        std::unique_ptr<FILE, TPipeCloser> pipe(popen(command.c_str(), "r"));
        if (!pipe) throw TRecipeError("cannot run " + engine);
        uint8_t buffer[65536];
        size_t got = 0;
        while ((got = std::fread(buffer, 1, sizeof buffer, pipe.get())) > 0) bytes.insert(bytes.end(), buffer, buffer + got);
        status = pclose(pipe.release());
    }
    if (status != 0 || bytes.size() < 44 || std::memcmp(bytes.data(), "RIFF", 4) != 0)
        throw TRecipeError(engine + " gave no speech for '" + request.Text + "' (is " + engine + " installed, with that voice?)");

    // espeak-ng writes to a pipe before it knows the length, so the data
    // chunk's size is not to be trusted: the samples run to the end.
    uint32_t sourceRate = 0;
    size_t dataAt = 0;
    for (size_t pos = 12; pos + 8 <= bytes.size();) {
        const uint32_t size = Get32(bytes, pos + 4);
        if (std::memcmp(bytes.data() + pos, "fmt ", 4) == 0 && pos + 8 + 16 <= bytes.size()) {
            if (Get16(bytes, pos + 8) != 1 || Get16(bytes, pos + 10) != 1 || Get16(bytes, pos + 22) != 16)
                throw TRecipeError(engine + " gave speech in an unexpected format");
            sourceRate = Get32(bytes, pos + 12);
        } else if (std::memcmp(bytes.data() + pos, "data", 4) == 0) {
            dataAt = pos + 8;
            break;
        }
        if (size > bytes.size() - pos - 8) break;
        pos += 8 + size;
    }
    if (sourceRate == 0 || dataAt == 0) throw TRecipeError(engine + " gave speech without a format or data");

    TSignal speech;
    for (size_t i = dataAt; i + 1 < bytes.size(); i += 2)
        speech.push_back(static_cast<int16_t>(Get16(bytes, i)) / 32768.0);

    // Silence is cut by 5 ms windows against the loudest one: synthesisers
    // breathe faintly in their pauses (flite's grow with slower speech), and
    // a sample-by-sample floor would keep that as a late start.
    const size_t window = std::max<size_t>(1, sourceRate / 200);
    std::vector<double> levels;
    for (size_t from = 0; from < speech.size(); from += window) {
        double sum = 0;
        const size_t to = std::min(speech.size(), from + window);
        for (size_t i = from; i < to; ++i) sum += speech[i] * speech[i];
        levels.push_back(std::sqrt(sum / static_cast<double>(to - from)));
    }
    // The start is cut tighter than the end, where words die away slowly.
    const double loudest = *std::max_element(levels.begin(), levels.end());
    size_t firstWindow = 0, lastWindow = levels.size();
    while (firstWindow < lastWindow && levels[firstWindow] < loudest * DbToGain(-41)) ++firstWindow;
    while (lastWindow > firstWindow && levels[lastWindow - 1] < loudest * DbToGain(-55)) --lastWindow;
    // A word must answer at once (its first sound within a few ms); its
    // end keeps a little more of the fading breath.
    const size_t lead = static_cast<size_t>(sourceRate * 0.008), margin = static_cast<size_t>(sourceRate * 0.03);
    size_t first = firstWindow * window, last = std::min(speech.size(), lastWindow * window);
    first = first > lead ? first - lead : 0;
    last = std::min(speech.size(), last + margin);
    TSignal trimmed(speech.begin() + static_cast<std::ptrdiff_t>(first), speech.begin() + static_cast<std::ptrdiff_t>(last));
    return Resample(trimmed, sourceRate / rate);
}
