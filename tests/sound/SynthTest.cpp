// SPDX-License-Identifier: GPL-3.0-or-later
// The synthesiser and the composition reader: faults in the texts are
// reported with their place, renders land on their pitch and level, and
// written modules play their notes in tune in both players.
#include "Composition.h"
#include "ModulePlayers.h"
#include "SoundRecipe.h"
#include "XmModule.h"
#include "Dsp.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>

namespace {

// Frequency of a steady tone from its upward zero crossings.
double Frequency(const std::vector<double>& s, double rate, size_t from, size_t to)
{
    int crossings = 0;
    double first = -1, last = -1;
    for (size_t i = from + 1; i < to && i < s.size(); ++i)
        if (s[i - 1] < 0 && s[i] >= 0) {
            const double at = static_cast<double>(i - 1) + s[i - 1] / (s[i - 1] - s[i]);
            if (first < 0) first = at;
            last = at;
            ++crossings;
        }
    return crossings > 1 ? (crossings - 1) * rate / (last - first) : 0;
}

std::string FaultOf(const std::string& text)
{
    try {
        for (const TSoundRecipe& recipe : ParseSoundRecipes(text, "test.snd")) RenderSound(recipe);
    } catch (const TRecipeError& e) {
        return e.what();
    }
    return "";
}

TEST(SoundRecipe, FaultsNameTheFileLineAndReason)
{
    const struct {
        const char* Text;
        const char* Expected;
    } cases[] = {
        {"layer tone sine\n", "test.snd:1: 'layer' outside a sound"},
        {"sound a\n  rate 30000\n  layer tone sine\n", "test.snd:2: the rate is 22050 or 44100"},
        {"sound a\n  layer tone wobble\n", "test.snd:2: unknown tone shape 'wobble'"},
        {"sound a\n  layer tone sine\n    amp 0:0 0.5:1 0.2:0\n", "test.snd:3: breakpoint times must not go back"},
        {"sound a\n  layer tone sine\n    freq 0:100 0.1:0\n", "test.snd:3: frequencies must be above 0"},
        {"sound a\n  layer tone sine\n    lowpass 1k q\n", "test.snd:3: 'lowpass' needs more values"},
        {"sound a\n  layer tone sine\n    shimmer 3\n", "test.snd:3: unknown step 'shimmer'"},
        {"sound a\n  layer noise white\n    amp 0\n", "test.snd:1: sound 'a': the sound is silent"},
        {"sound a\n  length 1\n", "test.snd:1: sound 'a' has no layer"},
        {"sound a\n  loop 0.6\n  length 1\n  layer tone sine\n", "test.snd:1: sound 'a': a loop needs a crossfade"},
        {"sound a like b\n", "test.snd:1: no earlier sound 'b'"},
        {"sound a\n  layer speech \"rm -rf /;\"\n", "test.snd:2: speech text 'rm -rf /;' is not plain words"},
        {"sound a\n  layer speech \"hello\"\n    engine parrot\n", "test.snd:2: unknown speech engine 'parrot'"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Text);
        EXPECT_EQ(FaultOf(c.Text).rfind(c.Expected, 0), 0u) << FaultOf(c.Text);
    }
}

std::vector<double> ToDouble(const std::vector<int16_t>& pcm)
{
    std::vector<double> out;
    for (int16_t v : pcm) out.push_back(v / 32768.0);
    return out;
}

TEST(SoundRecipe, RendersOnPitchAtItsLevelUnderTheCeiling)
{
    const auto recipes = ParseSoundRecipes("category test loudness -18\n"
                                           "sound beep\n  length 0.5\n  layer tone sine\n    freq A-4\n"
                                           "sound loud\n  length 0.5\n  loudness -3\n  layer tone square\n    freq 220\n",
                                           "test.snd");
    ASSERT_EQ(recipes.size(), 2u);
    const std::vector<double> beep = ToDouble(RenderSound(recipes[0]));
    EXPECT_NEAR(Frequency(beep, 44100, 2000, 20000), 440.0, 0.5);
    double sum = 0;
    for (size_t i = 4410; i < 8820; ++i) sum += beep[i] * beep[i];
    EXPECT_NEAR(20 * std::log10(std::sqrt(sum / 4410)), -18.0, 0.3);

    // Asked for more than the ceiling allows, the limiter holds the peaks.
    double peak = 0;
    for (double v : ToDouble(RenderSound(recipes[1]))) peak = std::max(peak, std::abs(v));
    EXPECT_LE(20 * std::log10(peak), -1.0);
    EXPECT_GT(20 * std::log10(peak), -1.5);
}

TEST(SoundRecipe, ALoopIsExactlyItsLengthAndRunsOnAcrossTheSeam)
{
    const auto recipes = ParseSoundRecipes("sound hum\n  length 0.5\n  loop 0.1\n  layer tone sine\n    freq 100\n"
                                           "  layer noise brown\n    lowpass 150\n    gain -20\n",
                                           "test.snd");
    const std::vector<double> hum = ToDouble(RenderSound(recipes[0]));
    ASSERT_EQ(hum.size(), 22050u);
    EXPECT_LT(std::abs(hum.front() - hum.back()), 2 * Pi * 100 / 44100 * 0.5) << "no step across the seam";
    // Played twice end to end, the 100 Hz tone stays on pitch across the join.
    std::vector<double> twice = hum;
    twice.insert(twice.end(), hum.begin(), hum.end());
    EXPECT_NEAR(Frequency(twice, 44100, 22050 - 2205, 22050 + 2205), 100.0, 2.0);
}

std::string CompositionFault(const std::string& text)
{
    try {
        ParseComposition(text, "test.mus");
    } catch (const TRecipeError& e) {
        return e.what();
    }
    return "";
}

const char* const SineInstrument = "channel a\n"
                                   "instrument sine\n  root C-4\n  length 1\n  loop 0.2 1\n  layer tone sine\n";

TEST(Composition, FaultsNameTheFileLineAndReason)
{
    const std::string head = SineInstrument;
    const struct {
        std::string Text;
        const char* Expected;
    } cases[] = {
        {head + "phrase p inst sine\n  C-4 . .\npattern x rows 4\n  a: p\norder x\n", "test.mus:10: channel 'a' fills 3 rows of 4"},
        {head + "pattern x rows 4\n  a: q\norder x\n", "test.mus:8: no phrase 'q'"},
        {head + "pattern x rows 4\n  b: _4\norder x\n", "test.mus:8: no channel 'b'"},
        {head + "phrase p inst sine\n  C-4 H-4\n", "test.mus:8: 'H-4' is not a row"},
        {head + "phrase p inst sine\n  C-4v70\n", "test.mus:8: 'C-4v70': the volume is v0 to v64"},
        {head + "phrase p inst sine\n  B-7\npattern x rows 1\n  a: p@+12\norder x\n", "test.mus:10: 'p@+12' transposes a note out of range"},
        {head + "phrase p inst drum\n", "test.mus:7: no instrument 'drum'"},
        {head + "pattern x rows 4\n  a: _4\n", "test.mus: no order list"},
        {head + "order y\n", "test.mus:7: no pattern 'y'"},
        {"channel a pan\n", "test.mus:1: 'channel' takes NAME [pan 0-255]"},
        {head + "pattern x rows 4 loud 3\n", "test.mus:7: 'pattern' takes NAME rows N [volume 0-64]"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Text);
        EXPECT_EQ(CompositionFault(c.Text).rfind(c.Expected, 0), 0u) << CompositionFault(c.Text);
    }
}

std::vector<double> Mono(const TModuleRender& render)
{
    return {render.Mono.begin(), render.Mono.end()};
}

// A written module plays its notes in tune, honours the volume column and
// note-offs, and loads in both players.
TEST(Composition, WrittenModulesPlayInTuneInBothPlayers)
{
    const std::string text = std::string(SineInstrument) +
                             "instrument low\n  root C-2\n  length 1\n  loop 0.2 1\n  layer tone triangle\n"
                             "phrase a4 inst sine\n  A-4 . . . . . . . ^ . . . . . . .\n"
                             "phrase soft inst sine\n  A-4v16 . . . . . . . ^ . . . . . . .\n"
                             "phrase a2 inst low\n  A-2 . . . . . . . ^ . . . . . . .\n"
                             "pattern p rows 48\n  a: a4 soft a2\n"
                             "order p\n";
    const std::vector<uint8_t> bytes = WriteXm(ParseComposition(text, "test.mus"));
    const double rowSeconds = 2.5 * 6 / 125;
    for (const TModuleRender& render : {RenderWithXmp(bytes, 44100, true), RenderWithOpenMpt(bytes, 44100, true)}) {
        ASSERT_TRUE(render.Loaded);
        EXPECT_TRUE(render.Messages.empty());
        const std::vector<double> s = Mono(render);
        const auto at = [&](double rows) { return static_cast<size_t>(rows * rowSeconds * 44100); };
        EXPECT_NEAR(Frequency(s, 44100, at(1), at(7)), 440.0, 1.5);
        EXPECT_NEAR(Frequency(s, 44100, at(33), at(39)), 110.0, 0.5);
        double loud = 0, soft = 0, off = 0;
        for (size_t i = at(2); i < at(6); ++i) loud = std::max(loud, std::abs(s[i]));
        for (size_t i = at(18); i < at(22); ++i) soft = std::max(soft, std::abs(s[i]));
        for (size_t i = at(12); i < at(15); ++i) off = std::max(off, std::abs(s[i]));
        EXPECT_NEAR(20 * std::log10(soft / loud), -12.0, 1.5) << "volume 16 of 64";
        EXPECT_LT(off, loud * 0.01) << "the note-off silences the note";
    }
}

// A channel's panning holds for every note it plays, whether the effect
// column is free for it or taken; a pattern's volume sets the song's.
TEST(Composition, ChannelsKeepTheirPlaceAndPatternsSetTheSongVolume)
{
    const std::string text = "channel l pan 0\nchannel r pan 255\n"
                             "instrument sine\n  root C-4\n  length 1\n  loop 0.2 1\n  layer tone sine\n"
                             "phrase a4 inst sine\n  A-4 . . . . . . . ^ . . . . . . .\n"
                             "phrase e5 inst sine\n  E-5+C40 . . . . . . . ^ . . . . . . .\n"
                             "pattern left rows 16 volume 64\n  l: a4\n  r: _16\n"
                             "pattern right rows 16\n  l: _16\n  r: e5\n"
                             "pattern soft rows 16 volume 32\n  l: a4\n  r: _16\n"
                             "order left right soft\n";
    const std::vector<uint8_t> bytes = WriteXm(ParseComposition(text, "test.mus"));
    for (const bool independent : {false, true}) {
        SCOPED_TRACE(independent ? "libopenmpt" : "libxmp");
        const TModuleRender render = independent ? RenderWithOpenMpt(bytes, 22050) : RenderWithXmp(bytes, 22050);
        ASSERT_TRUE(render.Loaded);
        EXPECT_TRUE(render.Messages.empty());
        ASSERT_EQ(render.PositionLeftRms.size(), 3u);
        const auto db = [](double v) { return 20 * std::log10(std::max(v, 1e-9)); };
        EXPECT_GT(db(render.PositionLeftRms[0]) - db(render.PositionRightRms[0]), 20.0) << "panned left";
        EXPECT_GT(db(render.PositionRightRms[1]) - db(render.PositionLeftRms[1]), 15.0) << "panned right by the volume column";
        EXPECT_NEAR(db(render.PositionLeftRms[2]) - db(render.PositionLeftRms[0]), -6.0, 1.0) << "song volume 32 of 64";
    }
}

TEST(XmModule, RefusesWhatTheFormatCannotHold)
{
    TXmModule module;
    module.Patterns.resize(1);
    module.Patterns[0].Rows = 4;
    module.Patterns[0].Cells.resize(4 * 8);
    module.Order = {0};
    EXPECT_NO_THROW(WriteXm(module));
    TXmModule odd = module;
    odd.Channels = 7;
    EXPECT_THROW(WriteXm(odd), std::invalid_argument);
    TXmModule missing = module;
    missing.Order = {1};
    EXPECT_THROW(WriteXm(missing), std::invalid_argument);
    TXmModule badCells = module;
    badCells.Patterns[0].Cells.resize(5);
    EXPECT_THROW(WriteXm(badCells), std::invalid_argument);
}

} // namespace
