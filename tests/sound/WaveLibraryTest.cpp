// SPDX-License-Identifier: GPL-3.0-or-later
// The built wave library as the game loads it: every name with its flags,
// well-formed recordings, safe levels, clean ends and seamless loops.
#include "WaveCollection.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <string>
#include <vector>

namespace {

enum class TKind { Interface, Announcer, Shot, Explosion, Hit, Cry, Engine, Strike, Bonus };

struct TExpected {
    const char* Name;
    TKind Kind;
};

const TExpected Expected[] = {
    {"button_down", TKind::Interface}, {"button_up", TKind::Interface}, {"pause", TKind::Interface},
    {"after_pause", TKind::Interface}, {"Level", TKind::Announcer}, {"one", TKind::Announcer},
    {"two", TKind::Announcer}, {"three", TKind::Announcer}, {"four", TKind::Announcer},
    {"five", TKind::Announcer}, {"six", TKind::Announcer}, {"seven", TKind::Announcer},
    {"eight", TKind::Announcer}, {"nine", TKind::Announcer}, {"ten", TKind::Announcer},
    {"Fight", TKind::Announcer}, {"1", TKind::Shot}, {"2", TKind::Shot}, {"3", TKind::Shot},
    {"5", TKind::Shot}, {"6", TKind::Shot}, {"7", TKind::Shot}, {"14", TKind::Shot},
    {"8", TKind::Explosion}, {"15", TKind::Explosion}, {"bomb", TKind::Explosion},
    {"popal_in_plot", TKind::Hit}, {"popal_in_gel", TKind::Hit}, {"terror1_dead", TKind::Cry},
    {"terror2_dead", TKind::Cry}, {"terror3_dead", TKind::Cry}, {"terror4_dead", TKind::Cry},
    {"player_dead", TKind::Hit}, {"tank_move", TKind::Engine}, {"truc_move", TKind::Engine},
    {"vert_move", TKind::Engine}, {"plane", TKind::Strike}, {"artobstrel", TKind::Strike},
    {"shar_dead", TKind::Bonus}, {"med", TKind::Bonus}, {"life", TKind::Bonus}, {"ocher", TKind::Bonus},
    {"cherep", TKind::Bonus}, {"dollar", TKind::Bonus},
};

std::vector<double> Samples(const TWave& wave)
{
    std::vector<double> out;
    for (size_t i = 0; i + 1 < wave.Data.size(); i += 2)
        out.push_back(static_cast<int16_t>(wave.Data[i] | (wave.Data[i + 1] << 8)) / 32768.0);
    return out;
}

double Rms(const std::vector<double>& s, size_t from, size_t count)
{
    double sum = 0;
    for (size_t i = from; i < from + count && i < s.size(); ++i) sum += s[i] * s[i];
    return std::sqrt(sum / static_cast<double>(std::max<size_t>(count, 1)));
}

double Db(double value)
{
    return 20 * std::log10(std::max(value, 1e-9));
}

// The loudest 100 ms of a sound, or its whole length for a loop.
double Loudness(const std::vector<double>& s, double rate, bool looped)
{
    if (looped) return Db(Rms(s, 0, s.size()));
    const size_t window = static_cast<size_t>(rate * 0.1);
    double loudest = 0;
    for (size_t from = 0; from < s.size(); from += window / 4) loudest = std::max(loudest, Rms(s, from, window));
    return Db(loudest);
}

class WaveLibrary : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        library_ = new TWaveCollection;
        library_->LoadFromFile(std::string(ZARVENOK_BUILD_DIR) + "/Data/Music.dxw");
    }
    static void TearDownTestSuite()
    {
        delete library_;
        library_ = nullptr;
    }
    static TWaveCollection* library_;
};

TWaveCollection* WaveLibrary::library_ = nullptr;

TEST_F(WaveLibrary, HoldsEveryNameOfTheGameWithItsLoopFlag)
{
    ASSERT_EQ(library_->Count(), static_cast<int>(std::size(Expected)));
    for (const TExpected& expected : Expected) {
        SCOPED_TRACE(expected.Name);
        const TWaveCollectionItem& item = library_->Find(expected.Name);
        EXPECT_EQ(item.Name(), expected.Name) << "names are exact, letter case included";
        EXPECT_EQ(item.Looped(), expected.Kind == TKind::Engine);
    }
}

TEST_F(WaveLibrary, CopyLimitsLetRapidFireOverlapWithoutPilingUp)
{
    for (const TExpected& expected : Expected) {
        SCOPED_TRACE(expected.Name);
        const int max = library_->Find(expected.Name).MaxPlayingCount();
        EXPECT_GE(max, 1) << "no sound plays unlimited copies";
        EXPECT_LE(max, 4);
        if (expected.Kind == TKind::Announcer || expected.Kind == TKind::Engine) {
            EXPECT_EQ(max, 1);
        }
    }
    EXPECT_GE(library_->Find("1").MaxPlayingCount(), 3) << "the player's rifle in burst mode";
    EXPECT_GE(library_->Find("popal_in_plot").MaxPlayingCount(), 3);
    EXPECT_EQ(library_->Find("bomb").MaxPlayingCount(), 1);
}

TEST_F(WaveLibrary, RecordingsAreSixteenBitMonoPcmAndSurviveARiffRoundTrip)
{
    for (const TExpected& expected : Expected) {
        SCOPED_TRACE(expected.Name);
        const TWave& wave = library_->Find(expected.Name).Wave;
        ASSERT_EQ(wave.Format.size(), 16u);
        EXPECT_EQ(wave.FormatTag(), 1);
        EXPECT_EQ(wave.Channels(), 1);
        EXPECT_EQ(wave.BitsPerSample(), 16);
        EXPECT_TRUE(wave.SamplesPerSec() == 22050 || wave.SamplesPerSec() == 44100) << wave.SamplesPerSec();
        const uint32_t bytesPerSecond = wave.Format[8] | (wave.Format[9] << 8) | (wave.Format[10] << 16) | (wave.Format[11] << 24);
        EXPECT_EQ(bytesPerSecond, wave.SamplesPerSec() * 2);
        EXPECT_EQ(wave.Format[12] | (wave.Format[13] << 8), 2) << "block align";
        ASSERT_EQ(wave.Data.size() % 2, 0u);
        const TWave back = TWave::LoadFromRiff(wave.SaveToRiff());
        EXPECT_EQ(back.Format, wave.Format);
        EXPECT_EQ(back.Data, wave.Data);
    }
}

TEST_F(WaveLibrary, LengthsFitWhatEachSoundIs)
{
    const std::map<TKind, std::pair<double, double>> range = {
        {TKind::Interface, {0.02, 0.7}}, {TKind::Announcer, {0.3, 1.8}}, {TKind::Shot, {0.3, 2.5}},
        {TKind::Explosion, {1.5, 5.0}},  {TKind::Hit, {0.08, 2.0}},      {TKind::Cry, {0.2, 1.2}},
        {TKind::Engine, {1.0, 4.0}},     {TKind::Strike, {1.5, 5.0}},    {TKind::Bonus, {0.3, 1.6}},
    };
    for (const TExpected& expected : Expected) {
        SCOPED_TRACE(expected.Name);
        const TWave& wave = library_->Find(expected.Name).Wave;
        const double seconds = static_cast<double>(wave.Data.size() / 2) / wave.SamplesPerSec();
        EXPECT_GE(seconds, range.at(expected.Kind).first);
        EXPECT_LE(seconds, range.at(expected.Kind).second);
    }
}

TEST_F(WaveLibrary, PeaksStayBelowMinusOneDecibel)
{
    for (const TExpected& expected : Expected) {
        const std::vector<double> s = Samples(library_->Find(expected.Name).Wave);
        double peak = 0;
        for (double v : s) peak = std::max(peak, std::abs(v));
        EXPECT_LE(Db(peak), -1.0) << expected.Name;
        EXPECT_GT(Db(peak), -20.0) << expected.Name << " is far too quiet";
    }
}

// Levels by kind: nothing startles, nothing is lost. Engines sit under
// everything, the interface is discreet, the announcer and explosions lead.
TEST_F(WaveLibrary, LevelsAreBalancedByKind)
{
    std::map<TKind, std::vector<double>> levels;
    for (const TExpected& expected : Expected) {
        const TWaveCollectionItem& item = library_->Find(expected.Name);
        const double loudness = Loudness(Samples(item.Wave), item.Wave.SamplesPerSec(), item.Looped());
        EXPECT_GE(loudness, -30.0) << expected.Name;
        EXPECT_LE(loudness, -10.0) << expected.Name;
        levels[expected.Kind].push_back(loudness);
    }
    const auto mean = [&](TKind kind) {
        double sum = 0;
        for (double v : levels[kind]) sum += v;
        return sum / static_cast<double>(levels[kind].size());
    };
    for (auto& [kind, values] : levels)
        for (double v : values) EXPECT_NEAR(v, mean(kind), 6.0) << "an outlier within its kind";
    EXPECT_LT(mean(TKind::Engine), mean(TKind::Shot) - 6);
    EXPECT_LT(mean(TKind::Interface), mean(TKind::Shot) - 4);
    EXPECT_GE(mean(TKind::Announcer), mean(TKind::Shot));
    EXPECT_GE(mean(TKind::Explosion), mean(TKind::Shot));
}

TEST_F(WaveLibrary, OneShotsStartAndEndAtSilence)
{
    for (const TExpected& expected : Expected) {
        const TWaveCollectionItem& item = library_->Find(expected.Name);
        if (item.Looped()) continue;
        SCOPED_TRACE(expected.Name);
        const std::vector<double> s = Samples(item.Wave);
        ASSERT_GT(s.size(), 64u);
        for (size_t i = 0; i < 4; ++i) {
            EXPECT_LT(std::abs(s[i]), 0.01) << "click at the start";
            EXPECT_LT(std::abs(s[s.size() - 1 - i]), 0.002) << "click at the end";
        }
        // The last 10 ms fade out rather than stop.
        const size_t tail = static_cast<size_t>(item.Wave.SamplesPerSec() * 0.01);
        EXPECT_LT(Rms(s, s.size() - tail / 4, tail / 4), Rms(s, s.size() - tail, tail / 4) + 1e-4);
    }
}

TEST_F(WaveLibrary, LoopsJoinTheirEndToTheirStartWithoutAJump)
{
    for (const TExpected& expected : Expected) {
        const TWaveCollectionItem& item = library_->Find(expected.Name);
        if (!item.Looped()) continue;
        SCOPED_TRACE(expected.Name);
        const std::vector<double> s = Samples(item.Wave);
        // The step across the seam is no larger than the steps the sound
        // takes anyway (all but the largest few in a thousand).
        std::vector<double> steps;
        for (size_t i = 1; i < s.size(); ++i) steps.push_back(std::abs(s[i] - s[i - 1]));
        std::sort(steps.begin(), steps.end());
        const double usualStep = steps[steps.size() * 998 / 1000];
        EXPECT_LE(std::abs(s.front() - s.back()), usualStep);
        // And the level does not jump either: the last and first 50 ms match.
        const size_t window = static_cast<size_t>(item.Wave.SamplesPerSec() * 0.05);
        EXPECT_NEAR(Db(Rms(s, 0, window)), Db(Rms(s, s.size() - window, window)), 3.0);
        // Nor is there a gap or a burst anywhere in the loop.
        for (size_t from = 0; from + window <= s.size(); from += window)
            EXPECT_NEAR(Db(Rms(s, from, window)), Db(Rms(s, 0, s.size())), 8.0) << "at " << from;
    }
}

} // namespace
