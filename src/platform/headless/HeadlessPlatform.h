// SPDX-License-Identifier: GPL-3.0-or-later
// The headless platform: every piece of the machine replaced by one that
// the simulator and the tests drive and read back. Nothing here waits on
// real time or touches a device.
#pragma once

#include "HeadlessAudio.h"
#include "HeadlessClock.h"
#include "HeadlessEvents.h"
#include "HeadlessHttp.h"
#include "HeadlessMessageBox.h"
#include "HeadlessMusic.h"
#include "HeadlessShell.h"
#include "HeadlessVideo.h"
#include "Platform.h"

#include <cstdint>

class THeadlessPlatform : public IPlatform {
public:
    explicit THeadlessPlatform(uint32_t startTime = 0);
    THeadlessPlatform(const THeadlessPlatform&) = delete;
    THeadlessPlatform& operator=(const THeadlessPlatform&) = delete;

    THeadlessClock& Clock() override { return Clock_; }
    THeadlessEvents& Events() override { return Events_; }
    THeadlessVideo& Video() override { return Video_; }
    THeadlessAudioDevice& Audio() override { return Audio_; }
    THeadlessModulePlayer& Music() override { return Music_; }
    THeadlessShell& Shell() override { return Shell_; }
    THeadlessMessageBox& MessageBox() override { return MessageBox_; }
    // The scripted client, unless a real one was put in its place.
    IHttpClient& Http() override { return RealHttp_ != nullptr ? *RealHttp_ : Http_; }
    THeadlessHttp& ScriptedHttp() { return Http_; }
    // Sends the game's requests through this client instead (not owned;
    // nullptr goes back to the scripted one).
    void UseHttpClient(IHttpClient* client) { RealHttp_ = client; }
    // Sound and music events together, in the order they happened.
    THeadlessSoundLog& SoundLog() { return SoundLog_; }

private:
    THeadlessClock Clock_;
    THeadlessEvents Events_;
    THeadlessVideo Video_;
    THeadlessSoundLog SoundLog_;
    THeadlessAudioDevice Audio_;
    THeadlessModulePlayer Music_;
    THeadlessShell Shell_;
    THeadlessMessageBox MessageBox_;
    THeadlessHttp Http_{Clock_};
    IHttpClient* RealHttp_ = nullptr;
};
