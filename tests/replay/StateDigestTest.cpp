// SPDX-License-Identifier: GPL-3.0-or-later
// The state digest: every value counts, and the layout is fixed, because
// replays on disk hold digests made by earlier builds.
#include "StateDigest.h"

#include <gtest/gtest.h>

#include <set>

namespace {

TStateValues Sample()
{
    TStateValues values;
    values.Score = 1200;
    values.Lives = 3;
    values.Health = 75;
    values.Level = 2;
    values.Generator = 0x0123456789ABCDEFull;
    values.Sprites = {{"TTerror1", 100.5, 200.0}, {"TTank", -3.25, 410.0}};
    return values;
}

TEST(StateDigest, FixedForAGivenState)
{
    EXPECT_EQ(StateDigest(Sample()), StateDigest(Sample()));
    // The CRC-32 of the layout, worked out apart from this code: a changed
    // layout breaks every replay on disk.
    EXPECT_EQ(StateDigest(Sample()), 0x736086B1u);
    EXPECT_EQ(StateDigest({}), 0x807077E9u);
}

TEST(StateDigest, EveryValueChangesIt)
{
    std::vector<TStateValues> variants(11, Sample());
    variants[1].Score += 1;
    variants[2].Lives -= 1;
    variants[3].Health = 74;
    variants[4].Level = 3;
    variants[5].Generator ^= 1ull << 40;
    variants[6].Sprites[0].ClassName = "TTerror2";
    variants[7].Sprites[1].X = -3.2500000000000004;
    variants[8].Sprites[0].Y = 200.0000001;
    std::swap(variants[9].Sprites[0], variants[9].Sprites[1]);
    variants[10].Sprites.pop_back();
    std::set<uint32_t> digests;
    for (const TStateValues& values : variants) digests.insert(StateDigest(values));
    EXPECT_EQ(digests.size(), variants.size());
}

} // namespace
