// SPDX-License-Identifier: GPL-3.0-or-later
// The sound component and the wave-list component bound to it. The sound
// component opens the audio device and tells its wave lists when buffers may
// be built and when they must go; without a device the game stays silent.
#pragma once

#include "Platform.h"
#include "WaveCollection.h"

#include <functional>
#include <vector>

enum class TDXSoundNotifyType {
    Destroying,
    Initializing,
    Initialize,
    Finalize,
    Restore,
};

class TDXSound;

// Receiver of sound-component notifications.
class IDXSoundNotify {
public:
    virtual void DXSoundNotify(TDXSound& sender, TDXSoundNotifyType notifyType) = 0;

protected:
    virtual ~IDXSoundNotify() = default;
};

class TDXSound {
public:
    TDXSound(IAudioDevice& device, IClock& clock);
    ~TDXSound();
    TDXSound(const TDXSound&) = delete;
    TDXSound& operator=(const TDXSound&) = delete;

    bool AutoInitialize = true;

    // Form events.
    std::function<void()> OnInitializing;
    std::function<void()> OnInitialize;
    std::function<void()> OnFinalize;
    std::function<void()> OnRestore;

    bool Initialized() const { return Initialized_; }
    IAudioDevice& Device() const { return *Device_; }
    IClock& Clock() const { return *Clock_; }

    // The form has been loaded: initialises when AutoInitialize is set. A
    // missing device (EDirectSoundError) leaves the component uninitialised
    // and the game silent; any other error propagates.
    void FormLoaded();
    // Finalises, then opens the device and tells the lists to initialise and
    // build their buffers. Raises EDirectSoundError "DirectSound cannot be
    // initialized" when there is no device.
    void Initialize();
    // Tells the lists to free their buffers, then closes the device.
    void Finalize();

    // Registration delivers Initialize and Restore at once when initialised;
    // unregistering from an initialised component delivers Finalize.
    void RegisterNotifyEvent(IDXSoundNotify& receiver);
    void UnRegisterNotifyEvent(IDXSoundNotify& receiver);

private:
    // Newest registration first; receivers may unregister during delivery.
    void NotifyEventList(TDXSoundNotifyType notifyType);

    IAudioDevice* Device_;
    IClock* Clock_;
    std::vector<IDXSoundNotify*> Receivers_;
    bool Initialized_ = false;
    bool DeviceOpen_ = false;
    bool InitializeReached_ = false;
};

// Form component: the wave library bound to a sound component.
class TDXWaveList : private IDXSoundNotify {
public:
    TDXWaveList();
    ~TDXWaveList() override;
    TDXWaveList(const TDXWaveList&) = delete;
    TDXWaveList& operator=(const TDXWaveList&) = delete;

    TDXSound* DXSound() const { return DXSound_; }
    void SetDXSound(TDXSound* dxSound);

    TWaveCollection Items;

private:
    void DXSoundNotify(TDXSound& sender, TDXSoundNotifyType notifyType) override;
    TDXSound* DXSound_ = nullptr;
};
