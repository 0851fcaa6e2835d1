// SPDX-License-Identifier: GPL-3.0-or-later
// The sound component's life cycle and the wave list's answers to it.
#include "DXSound.h"

#include "EngineErrors.h"

#include <algorithm>

// ---------------------------------------------------------------- sound component

TDXSound::TDXSound(IAudioDevice& device, IClock& clock) : Device_(&device), Clock_(&clock) {}

TDXSound::~TDXSound()
{
    Finalize();
    NotifyEventList(TDXSoundNotifyType::Destroying);
    Receivers_.clear();
}

void TDXSound::FormLoaded()
{
    if (!AutoInitialize) return;
    try {
        Initialize();
    } catch (const EDirectSoundError&) {
        // No sound device: the game goes on without sound.
    }
}

void TDXSound::Initialize()
{
    Finalize();
    NotifyEventList(TDXSoundNotifyType::Initializing);
    if (OnInitializing) OnInitializing();

    if (!Device_->Open()) {
        Finalize();
        throw EDirectSoundError(FormatMessage("%s cannot be initialized", "DirectSound"));
    }
    DeviceOpen_ = true;
    Initialized_ = true;

    NotifyEventList(TDXSoundNotifyType::Initialize);
    InitializeReached_ = true;
    if (OnInitialize) OnInitialize();
    NotifyEventList(TDXSoundNotifyType::Restore);
    if (OnRestore) OnRestore();
}

void TDXSound::Finalize()
{
    if (!Initialized_ && !DeviceOpen_) return;
    NotifyEventList(TDXSoundNotifyType::Finalize);
    if (InitializeReached_ && OnFinalize) OnFinalize();
    InitializeReached_ = false;
    Initialized_ = false;
    if (DeviceOpen_) {
        DeviceOpen_ = false;
        Device_->Close();
    }
}

void TDXSound::RegisterNotifyEvent(IDXSoundNotify& receiver)
{
    UnRegisterNotifyEvent(receiver);
    Receivers_.insert(Receivers_.begin(), &receiver);
    if (Initialized_) {
        receiver.DXSoundNotify(*this, TDXSoundNotifyType::Initialize);
        receiver.DXSoundNotify(*this, TDXSoundNotifyType::Restore);
    }
}

void TDXSound::UnRegisterNotifyEvent(IDXSoundNotify& receiver)
{
    const auto it = std::find(Receivers_.begin(), Receivers_.end(), &receiver);
    if (it == Receivers_.end()) return;
    Receivers_.erase(it);
    if (Initialized_) receiver.DXSoundNotify(*this, TDXSoundNotifyType::Finalize);
}

void TDXSound::NotifyEventList(TDXSoundNotifyType notifyType)
{
    const std::vector<IDXSoundNotify*> snapshot = Receivers_;
    for (IDXSoundNotify* receiver : snapshot) {
        if (std::find(Receivers_.begin(), Receivers_.end(), receiver) != Receivers_.end())
            receiver->DXSoundNotify(*this, notifyType);
    }
}

// ---------------------------------------------------------------- wave list

TDXWaveList::TDXWaveList() = default;

TDXWaveList::~TDXWaveList()
{
    SetDXSound(nullptr);
}

void TDXWaveList::SetDXSound(TDXSound* dxSound)
{
    if (dxSound == DXSound_) return;
    if (DXSound_ != nullptr) {
        DXSound_->UnRegisterNotifyEvent(*this);
        Items.DropDXSound();
    }
    DXSound_ = dxSound;
    if (DXSound_ != nullptr) DXSound_->RegisterNotifyEvent(*this);
}

void TDXWaveList::DXSoundNotify(TDXSound& sender, TDXSoundNotifyType notifyType)
{
    switch (notifyType) {
    case TDXSoundNotifyType::Destroying:
        Items.Finalize();
        Items.DropDXSound();
        DXSound_ = nullptr;
        break;
    case TDXSoundNotifyType::Initialize: Items.Initialize(sender); break;
    case TDXSoundNotifyType::Finalize: Items.Finalize(); break;
    case TDXSoundNotifyType::Restore: Items.Restore(); break;
    case TDXSoundNotifyType::Initializing: break;
    }
}
