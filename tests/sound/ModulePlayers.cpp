// SPDX-License-Identifier: GPL-3.0-or-later
// Module rendering through libxmp and libopenmpt for the tests.
#include "ModulePlayers.h"

#include "LoudnessMeter.h"

#include <libopenmpt/libopenmpt.h>
#include <xmp.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <iterator>

namespace {

constexpr double MaxSeconds = 400;

// Running sums of a render, turned into its figures at the end.
struct TTally {
    explicit TTally(int rate) : Meter(rate) {}
    double Left = 0, Right = 0, LeftSquares = 0, RightSquares = 0, SideSquares = 0, LeftRight = 0;
    TLoudnessMeter Meter;
    long Frames = 0;
    std::vector<double> PositionLeftSquares, PositionRightSquares;
    std::vector<long> PositionFrames;
};

void Note(TModuleRender& render, double left, double right, double& sumSquares, long& count, bool keepMono, TTally& tally,
          int position)
{
    for (double v : {left, right}) {
        render.Peak = std::max(render.Peak, std::abs(v));
        sumSquares += v * v;
        ++count;
    }
    if (keepMono) render.Mono.push_back(static_cast<float>((left + right) * 0.5));
    tally.Left += left;
    tally.Right += right;
    tally.LeftSquares += left * left;
    tally.RightSquares += right * right;
    tally.SideSquares += (left - right) * (left - right) / 4;
    tally.LeftRight += left * right;
    tally.Meter.Add(left, right);
    ++tally.Frames;
    if (position >= 0) {
        const size_t at = static_cast<size_t>(position);
        if (tally.PositionFrames.size() <= at) {
            tally.PositionLeftSquares.resize(at + 1, 0.0);
            tally.PositionRightSquares.resize(at + 1, 0.0);
            tally.PositionFrames.resize(at + 1, 0);
        }
        tally.PositionLeftSquares[at] += left * left;
        tally.PositionRightSquares[at] += right * right;
        ++tally.PositionFrames[at];
    }
}

void Finish(TModuleRender& render, const TTally& tally)
{
    if (tally.Frames == 0) return;
    const auto frames = static_cast<double>(tally.Frames);
    render.MeanLeft = tally.Left / frames;
    render.MeanRight = tally.Right / frames;
    render.LeftRms = std::sqrt(tally.LeftSquares / frames);
    render.RightRms = std::sqrt(tally.RightSquares / frames);
    render.SideRms = std::sqrt(tally.SideSquares / frames);
    render.Correlation = tally.LeftRight / std::sqrt(std::max(tally.LeftSquares * tally.RightSquares, 1e-30));
    render.Lufs = tally.Meter.Lufs();
    for (size_t i = 0; i < tally.PositionFrames.size(); ++i) {
        const double positionFrames = static_cast<double>(std::max(tally.PositionFrames[i], 1L));
        render.PositionLeftRms.push_back(std::sqrt(tally.PositionLeftSquares[i] / positionFrames));
        render.PositionRightRms.push_back(std::sqrt(tally.PositionRightSquares[i] / positionFrames));
    }
}

void NotePosition(TModuleRender& render, int position, long frames, int rate)
{
    if (render.Positions.empty() || render.Positions.back() != position) {
        if (render.Positions.size() == 1) render.SecondsAtFirstPosition = static_cast<double>(frames) / rate;
        render.Positions.push_back(position);
    }
}

} // namespace

std::vector<uint8_t> ReadBinaryFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TModuleRender RenderWithXmp(const std::vector<uint8_t>& module, int rate, bool keepMono)
{
    TModuleRender render;
    xmp_context context = xmp_create_context();
    std::vector<uint8_t> copy = module; // libxmp takes a non-const pointer
    if (xmp_load_module_from_memory(context, copy.data(), static_cast<long>(copy.size())) != 0) {
        xmp_free_context(context);
        return render;
    }
    render.Loaded = true;
    xmp_module_info info;
    xmp_get_module_info(context, &info);
    render.OrderCount = info.mod->len;
    double sumSquares = 0;
    long count = 0;
    TTally tally(rate);
    long frames = 0;
    if (xmp_start_player(context, rate, 0) == 0) {
        xmp_frame_info frame;
        while (xmp_play_frame(context) == 0) {
            xmp_get_frame_info(context, &frame);
            if (frame.loop_count > 0 || frames > static_cast<long>(MaxSeconds * rate)) break;
            NotePosition(render, frame.pos, frames, rate);
            const auto* samples = static_cast<const int16_t*>(frame.buffer);
            const int pairs = frame.buffer_size / 4;
            for (int i = 0; i < pairs; ++i) {
                const int16_t l = samples[2 * i], r = samples[2 * i + 1];
                if (l == 32767 || l == -32768) ++render.ClippedSamples;
                if (r == 32767 || r == -32768) ++render.ClippedSamples;
                Note(render, l / 32768.0, r / 32768.0, sumSquares, count, keepMono, tally, frame.pos);
            }
            frames += pairs;
        }
        xmp_end_player(context);
    }
    xmp_release_module(context);
    xmp_free_context(context);
    render.Seconds = static_cast<double>(frames) / rate;
    render.Rms = count ? std::sqrt(sumSquares / static_cast<double>(count)) : 0;
    Finish(render, tally);
    return render;
}

TModuleRender RenderWithOpenMpt(const std::vector<uint8_t>& module, int rate, bool keepMono)
{
    TModuleRender render;
    const auto log = [](const char* message, void* user) {
        static_cast<TModuleRender*>(user)->Messages.emplace_back(message ? message : "");
    };
    int error = 0;
    const char* errorMessage = nullptr;
    openmpt_module* player = openmpt_module_create_from_memory2(module.data(), module.size(), log, &render, nullptr,
                                                                nullptr, &error, &errorMessage, nullptr);
    if (errorMessage) openmpt_free_string(errorMessage);
    if (!player) return render;
    render.Loaded = true;
    render.OrderCount = openmpt_module_get_num_orders(player);
    openmpt_module_set_repeat_count(player, 0);
    double sumSquares = 0;
    long count = 0;
    TTally tally(rate);
    long frames = 0;
    std::vector<float> left(512), right(512);
    for (;;) {
        const int position = openmpt_module_get_current_order(player);
        const size_t got = openmpt_module_read_float_stereo(player, rate, left.size(), left.data(), right.data());
        if (got == 0 || frames > static_cast<long>(MaxSeconds * rate)) break;
        NotePosition(render, position, frames, rate);
        for (size_t i = 0; i < got; ++i) {
            if (std::abs(left[i]) >= 1.0f) ++render.ClippedSamples;
            if (std::abs(right[i]) >= 1.0f) ++render.ClippedSamples;
            Note(render, left[i], right[i], sumSquares, count, keepMono, tally, position);
        }
        frames += static_cast<long>(got);
    }
    openmpt_module_destroy(player);
    render.Seconds = static_cast<double>(frames) / rate;
    render.Rms = count ? std::sqrt(sumSquares / static_cast<double>(count)) : 0;
    Finish(render, tally);
    return render;
}
