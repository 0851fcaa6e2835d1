// SPDX-License-Identifier: GPL-3.0-or-later
// Tests of playing and stopping library sounds on the headless device: copies
// and their limit, looping, rewinding, freeing on reload, and the setters
// that reach the buffers.
#include "EngineErrors.h"
#include "SoundRig.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

// ---- copies ----

TEST(TWaveCollectionItem, OverlappingPlaysUseCopiesUpToTheLimit)
{
    struct TCase {
        int MaxPlayingCount;
        int Copies;           // after three plays 10 ms apart
        TEvents Events;
        int PlayingAt105;     // the first play ends at 100 unless it was cut off and restarted
    };
    const TCase cases[] = {
        {0, 3, {"play shot", "play shot", "play shot"}, 2},
        // The third play cuts off the copy started first and restarts it.
        {2, 2, {"play shot", "play shot", "stop shot", "play shot"}, 2},
        {1, 1, {"play shot", "stop shot", "play shot", "stop shot", "play shot"}, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.MaxPlayingCount);
        TSoundRig rig;
        rig.Load(StandardLibrary(c.MaxPlayingCount));
        auto& shot = rig.Item("shot");
        for (int i = 0; i < 3; ++i) {
            shot.Play(false);
            rig.Clock.Advance(10);
        }
        EXPECT_EQ(shot.CopyCount(), c.Copies);
        EXPECT_EQ(rig.Events(), c.Events);
        EXPECT_EQ(rig.Device.PlayingCount("shot"), c.Copies);
        // A non-looped play never sounds the main buffer itself.
        EXPECT_FALSE(shot.MainBuffer()->IsPlaying());

        rig.Clock.SetNow(105);
        EXPECT_EQ(rig.Device.PlayingCount("shot"), c.PlayingAt105);
        rig.Clock.SetNow(1000);
        EXPECT_EQ(rig.Device.PlayingCount("shot"), 0);

        // Finished copies are reused, not added to.
        shot.Play(false);
        EXPECT_EQ(shot.CopyCount(), c.Copies);
        EXPECT_EQ(rig.Events(), TEvents{"play shot"});
        EXPECT_EQ(rig.Device.BufferCount("shot"), c.Copies + 1);
    }
}

TEST(TWaveCollectionItem, LostCopiesAreNotReused)
{
    TSoundRig rig;
    rig.Load(StandardLibrary());
    auto& shot = rig.Item("shot");
    shot.Play(false);
    rig.Clock.Advance(500);
    rig.Device.SetBuffersLost(true);
    shot.Play(false);
    EXPECT_EQ(shot.CopyCount(), 2);
    EXPECT_EQ(rig.Device.PlayingCount("shot"), 1);
}

// ---- looping ----

TEST(TWaveCollectionItem, LoopedSoundRestartsAndNeverOverlaps)
{
    TSoundRig rig;
    rig.Load(StandardLibrary());
    auto& engine = rig.Item("engine");
    engine.Play(false);
    rig.Clock.Advance(30);
    engine.Play(false);
    EXPECT_EQ(rig.Events(), (TEvents{"loop engine", "stop engine", "loop engine"}));
    EXPECT_EQ(engine.CopyCount(), 0);
    rig.Clock.Advance(10'000);
    EXPECT_EQ(rig.Device.PlayingCount("engine"), 1);
    EXPECT_TRUE(engine.MainBuffer()->IsPlaying());

    engine.Stop();
    EXPECT_EQ(rig.Events(), TEvents{"stop engine"});
    EXPECT_EQ(rig.Device.PlayingCount(), 0);
}

// ---- stop and rewind ----

TEST(TWaveCollectionItem, StopSilencesEverythingAndPlayStartsAgainFromZero)
{
    TSoundRig rig;
    rig.Load(StandardLibrary());
    auto& shot = rig.Item("shot");

    shot.Stop(); // not sounding: nothing to see
    EXPECT_TRUE(rig.Events().empty());

    shot.Play(false);
    rig.Clock.Advance(20);
    shot.Play(false);
    rig.Clock.Advance(20);
    shot.Stop();
    EXPECT_EQ(rig.Events(), (TEvents{"play shot", "play shot", "stop shot", "stop shot"}));
    EXPECT_EQ(rig.Device.PlayingCount(), 0);

    // The copy stopped 40 ms in plays its whole 100 ms again.
    rig.Clock.SetNow(100);
    shot.Play(false);
    rig.Clock.SetNow(199);
    EXPECT_EQ(rig.Device.PlayingCount("shot"), 1);
    rig.Clock.SetNow(200);
    EXPECT_EQ(rig.Device.PlayingCount("shot"), 0);
}

TEST(TWaveCollectionItem, PlayWithWaitSleepsInTenMillisecondSteps)
{
    TSoundRig rig;
    rig.Load({{"short", false, 0, MillisecondWave(95)}});
    rig.Clock.SetNow(1000);
    rig.Item("short").Play(true);
    EXPECT_EQ(rig.Clock.Now(), 1100u);
    EXPECT_EQ(rig.Device.PlayingCount(), 0);
}

// ---- items that cannot sound ----

TEST(TWaveCollectionItem, ItemWithoutSamplesNeverSounds)
{
    TSoundRig rig;
    rig.Load(StandardLibrary());
    auto& silent = rig.Item("silent");
    EXPECT_TRUE(silent.Initialized());
    for (const bool looped : {false, true}) {
        silent.SetLooped(looped);
        silent.Play(false);
        silent.Stop();
    }
    EXPECT_EQ(silent.MainBuffer(), nullptr);
    EXPECT_EQ(silent.CopyCount(), 0);
    EXPECT_EQ(rig.Device.BufferCount("silent"), 0);
    EXPECT_TRUE(rig.Events().empty());
}

TEST(TWaveCollectionItem, UnplayableFormatCannotBeMade)
{
    TSoundRig rig;
    TWave bad = MillisecondWave(10);
    bad.Format.resize(4); // no rate, no block align
    try {
        rig.Load({{"ok", false, 0, MillisecondWave(10)}, {"bad", false, 0, bad}});
        ADD_FAILURE() << "loaded";
    } catch (const EDirectSoundBufferError& e) {
        EXPECT_STREQ(e.what(), "Sound Buffer cannot be made");
    }
}

// ---- reloading ----

TEST(TWaveCollectionItem, LoadingAgainSilencesAndFreesTheOldBuffers)
{
    TSoundRig rig;
    rig.Load(StandardLibrary());
    rig.Item("shot").Play(false);
    rig.Item("shot").Play(false);
    rig.Item("engine").Play(false);
    rig.Events();

    rig.Load(StandardLibrary());
    auto events = rig.Events();
    std::sort(events.begin(), events.end());
    EXPECT_EQ(events, (TEvents{"stop engine", "stop shot", "stop shot"}));
    EXPECT_EQ(rig.Device.PlayingCount(), 0);
    // Only the new main buffers remain, ready at once.
    EXPECT_EQ(rig.Device.BufferCount(), 2);
    EXPECT_NE(rig.Item("shot").MainBuffer(), nullptr);
    rig.Item("shot").Play(false);
    EXPECT_EQ(rig.Events(), TEvents{"play shot"});
}

// ---- setters that reach the buffers ----

TEST(TWaveCollectionItem, ChangingLoopedStopsTheItem)
{
    TSoundRig rig;
    rig.Load(StandardLibrary());
    auto& engine = rig.Item("engine");
    engine.Play(false);
    engine.SetLooped(true); // unchanged: keeps sounding
    EXPECT_EQ(rig.Device.PlayingCount("engine"), 1);
    engine.SetLooped(false);
    EXPECT_EQ(rig.Device.PlayingCount("engine"), 0);
    EXPECT_EQ(rig.Events(), (TEvents{"loop engine", "stop engine"}));
}

TEST(TWaveCollectionItem, ChangingMaxPlayingCountFreesTheCopies)
{
    TSoundRig rig;
    rig.Load(StandardLibrary());
    auto& shot = rig.Item("shot");
    shot.Play(false);
    shot.Play(false);
    shot.SetMaxPlayingCount(0); // unchanged
    EXPECT_EQ(shot.CopyCount(), 2);
    shot.SetMaxPlayingCount(-5); // stored as 0: unchanged
    EXPECT_EQ(shot.CopyCount(), 2);
    shot.SetMaxPlayingCount(3);
    EXPECT_EQ(shot.CopyCount(), 0);
    EXPECT_EQ(rig.Device.BufferCount("shot"), 1);
    EXPECT_EQ(rig.Device.PlayingCount(), 0);
    EXPECT_NE(shot.MainBuffer(), nullptr);
}

TEST(TWaveCollectionItem, FrequencyReachesEveryCopy)
{
    TSoundRig rig;
    rig.Load(StandardLibrary());
    auto& shot = rig.Item("shot");
    shot.SetFrequency(2000); // twice the recording's rate: 50 ms
    shot.Play(false);
    rig.Clock.SetNow(49);
    EXPECT_EQ(rig.Device.PlayingCount(), 1);
    rig.Clock.SetNow(50);
    EXPECT_EQ(rig.Device.PlayingCount(), 0);
}

} // namespace
