// SPDX-License-Identifier: GPL-3.0-or-later
// Tests of the sound component's life cycle and the wave list bound to it:
// notification order, start-up without a device, registration at any time.
#include "EngineErrors.h"
#include "SoundRig.h"

#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

const char* NotifyName(TDXSoundNotifyType type)
{
    switch (type) {
    case TDXSoundNotifyType::Destroying: return "destroying";
    case TDXSoundNotifyType::Initializing: return "initializing";
    case TDXSoundNotifyType::Initialize: return "initialize";
    case TDXSoundNotifyType::Finalize: return "finalize";
    case TDXSoundNotifyType::Restore: return "restore";
    }
    return "?";
}

// Writes notifications and form events into one story.
class TRecorder : public IDXSoundNotify {
public:
    explicit TRecorder(TDXSound& sound) : Sound_(sound)
    {
        sound.OnInitializing = [this] { Story.push_back("OnInitializing"); };
        sound.OnInitialize = [this] { Story.push_back("OnInitialize"); };
        sound.OnRestore = [this] { Story.push_back("OnRestore"); };
        sound.OnFinalize = [this] { Story.push_back("OnFinalize"); };
        sound.RegisterNotifyEvent(*this);
    }
    ~TRecorder() { Sound_.UnRegisterNotifyEvent(*this); }
    TRecorder(const TRecorder&) = delete;
    TRecorder& operator=(const TRecorder&) = delete;

    void DXSoundNotify(TDXSound&, TDXSoundNotifyType type) override { Story.push_back(NotifyName(type)); }

    std::vector<std::string> Story;

private:
    TDXSound& Sound_;
};

TEST(TDXSound, InitializeAndFinalizeTellListsAndEventsInOrder)
{
    THeadlessClock clock;
    THeadlessAudioDevice device(clock);
    TDXSound sound(device, clock);
    TRecorder recorder(sound);

    sound.Initialize();
    EXPECT_TRUE(sound.Initialized());
    EXPECT_TRUE(device.IsOpen());
    EXPECT_EQ(recorder.Story, (TEvents{"initializing", "OnInitializing", "initialize", "OnInitialize", "restore",
                                       "OnRestore"}));

    // Initialising again finalises first.
    recorder.Story.clear();
    sound.Initialize();
    EXPECT_EQ(recorder.Story, (TEvents{"finalize", "OnFinalize", "initializing", "OnInitializing", "initialize",
                                       "OnInitialize", "restore", "OnRestore"}));

    recorder.Story.clear();
    sound.Finalize();
    sound.Finalize(); // already done: nothing more
    EXPECT_FALSE(sound.Initialized());
    EXPECT_FALSE(device.IsOpen());
    EXPECT_EQ(recorder.Story, (TEvents{"finalize", "OnFinalize"}));
}

TEST(TDXSound, WithoutADeviceInitializeRaisesAndLeavesItUninitialised)
{
    THeadlessClock clock;
    THeadlessAudioDevice device(clock);
    device.SetHasDevice(false);
    TDXSound sound(device, clock);
    TRecorder recorder(sound);
    try {
        sound.Initialize();
        ADD_FAILURE() << "initialised";
    } catch (const EDirectSoundError& e) {
        EXPECT_STREQ(e.what(), "DirectSound cannot be initialized");
    }
    EXPECT_FALSE(sound.Initialized());
    // OnInitialize was never reached, so there is no OnFinalize.
    EXPECT_EQ(recorder.Story, (TEvents{"initializing", "OnInitializing"}));
}

TEST(TDXSound, FormLoadedSwallowsOnlyTheMissingDevice)
{
    struct TCase {
        const char* Name;
        bool AutoInitialize;
        bool HasDevice;
        bool Throws;      // an error of another kind in the event
        bool Raises;
        bool Initialized;
    };
    const TCase cases[] = {
        {"device", true, true, false, false, true},
        {"no device", true, false, false, false, false},
        {"not automatic", false, true, false, false, false},
        {"other error", true, true, true, true, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        THeadlessClock clock;
        THeadlessAudioDevice device(clock);
        device.SetHasDevice(c.HasDevice);
        TDXSound sound(device, clock);
        sound.AutoInitialize = c.AutoInitialize;
        if (c.Throws) sound.OnInitialize = [] { throw std::runtime_error("handler failed"); };
        if (c.Raises)
            EXPECT_THROW(sound.FormLoaded(), std::runtime_error);
        else
            EXPECT_NO_THROW(sound.FormLoaded());
        if (!c.Raises) {
            EXPECT_EQ(sound.Initialized(), c.Initialized);
        }
    }
}

TEST(TDXSound, NoDeviceMeansASilentGame)
{
    TSoundRig rig(false);
    rig.Load(StandardLibrary());
    EXPECT_FALSE(rig.Sound.Initialized());
    EXPECT_FALSE(rig.Waves.Items.Initialized());
    for (const char* name : {"shot", "engine"}) {
        auto& item = rig.Item(name);
        EXPECT_FALSE(item.Initialized());
        item.Play(false);
        item.Play(true); // nothing to wait for
        item.Stop();
    }
    EXPECT_EQ(rig.Clock.Now(), 0u);
    EXPECT_EQ(rig.Device.BufferCount(), 0);
    EXPECT_TRUE(rig.Events().empty());
    try {
        rig.Item("nope");
        ADD_FAILURE() << "found";
    } catch (const EWaveCollectionError& e) {
        EXPECT_STREQ(e.what(), "Wave 'nope' not found");
    }
}

// ---- wave list registration ----

TEST(TDXWaveList, BindingToAnInitialisedComponentBuildsAtOnce)
{
    THeadlessClock clock;
    THeadlessAudioDevice device(clock);
    TDXSound sound(device, clock);
    sound.Initialize();
    TDXWaveList waves;
    waves.Items.LoadFromStream(WriteWaveLibrary(StandardLibrary()));
    EXPECT_FALSE(waves.Items.Initialized());
    EXPECT_EQ(device.BufferCount(), 0);

    waves.SetDXSound(&sound);
    EXPECT_EQ(waves.DXSound(), &sound);
    EXPECT_TRUE(waves.Items.Initialized());
    EXPECT_TRUE(waves.Items.Find("silent").Initialized());
    EXPECT_EQ(device.BufferCount(), 2);
    waves.Items.Find("shot").Play(false);
    EXPECT_EQ(device.PlayingCount(), 1);

    // Unbinding from an initialised component frees everything.
    waves.SetDXSound(nullptr);
    EXPECT_FALSE(waves.Items.Initialized());
    EXPECT_FALSE(waves.Items.Find("shot").Initialized());
    EXPECT_EQ(device.BufferCount(), 0);
    EXPECT_EQ(device.Log().Take(), (TEvents{"play shot", "stop shot"}));
}

TEST(TDXWaveList, FollowsTheComponentThroughFinaliseAndInitialise)
{
    TSoundRig rig;
    rig.Load(StandardLibrary());
    rig.Item("engine").Play(false);
    rig.Sound.Finalize();
    EXPECT_FALSE(rig.Item("engine").Initialized());
    EXPECT_EQ(rig.Device.BufferCount(), 0);
    EXPECT_EQ(rig.Events(), (TEvents{"loop engine", "stop engine"}));

    // Loading while finalised builds nothing; initialising builds it all.
    rig.Load(StandardLibrary());
    EXPECT_EQ(rig.Device.BufferCount(), 0);
    rig.Sound.Initialize();
    EXPECT_TRUE(rig.Item("shot").Initialized());
    EXPECT_EQ(rig.Device.BufferCount(), 2);
    rig.Item("engine").Play(false);
    EXPECT_EQ(rig.Events(), TEvents{"loop engine"});
}

TEST(TDXWaveList, ForgetsAComponentThatGoesAway)
{
    THeadlessClock clock;
    THeadlessAudioDevice device(clock);
    TDXWaveList waves;
    auto sound = std::make_unique<TDXSound>(device, clock);
    waves.SetDXSound(sound.get());
    sound->Initialize();
    waves.Items.LoadFromStream(WriteWaveLibrary(StandardLibrary()));
    waves.Items.Find("shot").Play(false);

    sound.reset();
    EXPECT_EQ(waves.DXSound(), nullptr);
    EXPECT_EQ(waves.Items.DXSound(), nullptr);
    EXPECT_FALSE(waves.Items.Find("shot").Initialized());
    EXPECT_EQ(device.BufferCount(), 0);
    EXPECT_FALSE(device.IsOpen());
    waves.Items.Find("shot").Play(false); // silent, and no dangling component
    EXPECT_EQ(device.Log().Take(), (TEvents{"play shot", "stop shot"}));
}

} // namespace
