// SPDX-License-Identifier: GPL-3.0-or-later
// The desktop platform: SDL2 for the window, input and presentation,
// SDL2_mixer and libxmp for sound and music. Owns every part and starts
// and ends SDL around them. This header pulls in no SDL header.
#pragma once

#include "Platform.h"

#include <memory>
#include <string>

class TSdlSignals;
class TSdlClock;
class TSdlEvents;
class TSdlVideo;
class TSdlAudioDevice;
class TSdlModulePlayer;
class TSdlShell;
class TSdlMessageBox;

class TSdlPlatform final : public IPlatform {
public:
    // Starts SDL's video and events, and answers SIGINT and SIGTERM with a
    // Terminate event instead of SDL's own handling. The name is what the
    // desktop's sound settings show for the game. Raises std::runtime_error
    // with the reason when there is no display, also when SDL would fall
    // back to drawing into memory (unless SDL_VIDEODRIVER asks for that).
    explicit TSdlPlatform(const std::string& applicationName = "Zarvenok");
    ~TSdlPlatform() override;
    TSdlPlatform(const TSdlPlatform&) = delete;
    TSdlPlatform& operator=(const TSdlPlatform&) = delete;

    IClock& Clock() override;
    IEventSource& Events() override;
    IVideo& Video() override;
    IAudioDevice& Audio() override;
    IModulePlayer& Music() override;
    IShell& Shell() override;
    IMessageBox& MessageBox() override;
    IHttpClient& Http() override;

    // The parts with their SDL-side extras (pixel read-back, channel counts).
    TSdlVideo& SdlVideo() { return *Video_; }
    TSdlEvents& SdlEvents() { return *Events_; }
    TSdlAudioDevice& SdlAudio() { return *Audio_; }
    TSdlModulePlayer& SdlMusic() { return *Music_; }

private:
    std::unique_ptr<TSdlSignals> Signals_;
    std::unique_ptr<TSdlClock> Clock_;
    std::unique_ptr<TSdlVideo> Video_;
    std::unique_ptr<TSdlEvents> Events_;
    std::unique_ptr<TSdlAudioDevice> Audio_;
    std::unique_ptr<TSdlModulePlayer> Music_;
    std::unique_ptr<TSdlShell> Shell_;
    std::unique_ptr<TSdlMessageBox> MessageBox_;
    std::unique_ptr<IHttpClient> Http_;
};
