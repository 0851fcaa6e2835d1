// SPDX-License-Identifier: GPL-3.0-or-later
// The instruments inside the built modules, read with a reader of the
// tests' own: 16-bit samples that start at silence and loop without a
// jump, held notes that waver or beat, and an order list that only names
// patterns that exist.
#include "ModulePlayers.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <stdexcept>
#include <string>

namespace {

struct TSample {
    std::string Instrument;
    std::vector<int16_t> Data;
    bool Looped = false;
    size_t LoopStart = 0, LoopLength = 0;
    int VibratoDepth = 0; // the instrument's own vibrato
    int FineTune = 0;
};

struct TModuleContents {
    std::vector<int> Order;
    int Patterns = 0;
    std::vector<TSample> Samples;
};

class TReader {
public:
    explicit TReader(const std::vector<uint8_t>& bytes) : bytes_(bytes) {}
    uint32_t U8(size_t at) const { return Check(at, 1), bytes_[at]; }
    uint32_t U16(size_t at) const { return U8(at) | (U8(at + 1) << 8); }
    uint32_t U32(size_t at) const { return U16(at) | (U16(at + 2) << 16); }

private:
    void Check(size_t at, size_t size) const
    {
        if (at + size > bytes_.size()) throw std::out_of_range("module ends early");
    }
    const std::vector<uint8_t>& bytes_;
};

TModuleContents ReadModule(const std::vector<uint8_t>& bytes)
{
    const TReader r(bytes);
    if (bytes.size() < 80 || std::string(bytes.begin(), bytes.begin() + 17) != "Extended Module: ")
        throw std::runtime_error("not an extended module");
    TModuleContents module;
    const size_t headerSize = r.U32(60);
    const int length = static_cast<int>(r.U16(64));
    module.Patterns = static_cast<int>(r.U16(70));
    const int instruments = static_cast<int>(r.U16(72));
    for (int i = 0; i < length; ++i) module.Order.push_back(static_cast<int>(r.U8(80 + static_cast<size_t>(i))));
    size_t pos = 60 + headerSize;
    for (int p = 0; p < module.Patterns; ++p) pos += r.U32(pos) + r.U16(pos + 7);
    for (int i = 0; i < instruments; ++i) {
        const size_t instrumentSize = r.U32(pos);
        const std::string name(bytes.begin() + static_cast<long>(pos + 4), bytes.begin() + static_cast<long>(pos + 26));
        const int sampleCount = static_cast<int>(r.U16(pos + 27));
        const size_t sampleHeaderSize = sampleCount ? r.U32(pos + 29) : 40;
        const int vibratoDepth = sampleCount ? static_cast<int>(r.U8(pos + 237)) : 0;
        pos += instrumentSize;
        std::vector<TSample> samples(static_cast<size_t>(sampleCount));
        for (TSample& sample : samples) {
            sample.Instrument = name.c_str();
            sample.VibratoDepth = vibratoDepth;
            sample.FineTune = static_cast<int8_t>(r.U8(pos + 13));
            const uint32_t type = r.U8(pos + 14);
            if ((type & 0x10) == 0) throw std::runtime_error(name + ": not a 16-bit sample");
            sample.Data.resize(r.U32(pos) / 2);
            sample.Looped = (type & 3) == 1;
            sample.LoopStart = r.U32(pos + 4) / 2;
            sample.LoopLength = r.U32(pos + 8) / 2;
            pos += sampleHeaderSize;
        }
        for (TSample& sample : samples) {
            int16_t value = 0;
            for (int16_t& s : sample.Data) {
                value = static_cast<int16_t>(value + static_cast<int16_t>(r.U16(pos)));
                s = value;
                pos += 2;
            }
            module.Samples.push_back(std::move(sample));
        }
    }
    return module;
}

class ModuleSamples : public ::testing::TestWithParam<const char*> {};

TEST_P(ModuleSamples, StartQuietlyAndLoopWithoutAJump)
{
    const TModuleContents module =
        ReadModule(ReadBinaryFile(std::string(ZARVENOK_BUILD_DIR) + "/Music/" + GetParam() + ".xm"));
    ASSERT_FALSE(module.Samples.empty());
    for (int position : module.Order) EXPECT_LT(position, module.Patterns);
    for (const TSample& sample : module.Samples) {
        SCOPED_TRACE(sample.Instrument);
        ASSERT_GT(sample.Data.size(), 100u);
        EXPECT_LT(std::abs(sample.Data.front()), 200) << "click at the start";
        if (!sample.Looped) {
            EXPECT_LT(std::abs(sample.Data.back()), 200) << "click at the end";
            continue;
        }
        ASSERT_LE(sample.LoopStart + sample.LoopLength, sample.Data.size());
        std::vector<int> steps;
        for (size_t i = sample.LoopStart + 1; i < sample.LoopStart + sample.LoopLength; ++i)
            steps.push_back(std::abs(sample.Data[i] - sample.Data[i - 1]));
        std::sort(steps.begin(), steps.end());
        const int usualStep = steps[steps.size() * 998 / 1000];
        const int seam = std::abs(sample.Data[sample.LoopStart] - sample.Data[sample.LoopStart + sample.LoopLength - 1]);
        EXPECT_LE(seam, usualStep);
    }
}

// A held note with dead-straight harmonics sounds like a test tone: every
// instrument that holds its notes (a looped sample) wavers with its own
// vibrato, or is doubled by a detuned twin that beats against it.
TEST_P(ModuleSamples, HeldNotesWaverOrBeat)
{
    const TModuleContents module =
        ReadModule(ReadBinaryFile(std::string(ZARVENOK_BUILD_DIR) + "/Music/" + GetParam() + ".xm"));
    for (const TSample& sample : module.Samples) {
        if (!sample.Looped) continue;
        const bool twinned = std::any_of(module.Samples.begin(), module.Samples.end(), [&](const TSample& other) {
            return other.Instrument == sample.Instrument + "~" && other.FineTune != sample.FineTune;
        });
        const bool isTwin = !sample.Instrument.empty() && sample.Instrument.back() == '~';
        EXPECT_TRUE(sample.VibratoDepth > 0 || twinned || isTwin) << sample.Instrument << " holds a straight tone";
    }
}

INSTANTIATE_TEST_SUITE_P(Tracks, ModuleSamples, ::testing::Values("1", "2", "3"),
                         [](const auto& trackInfo) { return std::string("Track") + trackInfo.param; });

} // namespace
