// SPDX-License-Identifier: GPL-3.0-or-later
// The desktop platform: starts SDL, owns every part, ends SDL after them.
#include "SdlPlatform.h"

#include "CurlHttpClient.h"
#include "SdlAudioDevice.h"
#include "SdlClock.h"
#include "SdlEvents.h"
#include "SdlMessageBox.h"
#include "SdlModulePlayer.h"
#include "SdlShell.h"
#include "SdlSignals.h"
#include "SdlVideo.h"

#include <SDL.h>

#include <cstdlib>
#include <cstring>
#include <stdexcept>
#include <string>

namespace {

bool IsSet(const char* variable)
{
    const char* value = std::getenv(variable);
    return value != nullptr && *value != '\0';
}

// Why no display could be used, as the environment tells it.
std::runtime_error NoDisplay(const std::string& detail = {})
{
    std::string reason;
    if (IsSet("DISPLAY"))
        reason = "the X display \"" + std::string(std::getenv("DISPLAY")) + "\" cannot be opened";
    else if (IsSet("WAYLAND_DISPLAY"))
        reason = "the Wayland display \"" + std::string(std::getenv("WAYLAND_DISPLAY")) + "\" cannot be opened";
    else
        reason = "neither DISPLAY nor WAYLAND_DISPLAY is set";
    if (!detail.empty()) reason += " (" + detail + ")";
    return std::runtime_error("No display to show the game on: " + reason + ". Start it in a desktop session.");
}

// Starts SDL's video. SDL falls back to drivers that draw into memory when
// no display can be opened, and a game nobody can see would run for ever:
// such a driver is taken only when SDL_VIDEODRIVER names it.
void StartVideo()
{
    const bool chosen = IsSet("SDL_VIDEODRIVER");
    // Without its runtime folder no Wayland display can be reached, and
    // asking prints an error of the library's own.
    if (!chosen && !IsSet("WAYLAND_DISPLAY") && !IsSet("XDG_RUNTIME_DIR"))
        SDL_SetHint(SDL_HINT_VIDEODRIVER, "x11,kmsdrm");
    // A display server that is busy or still starting can turn a connection
    // away for a moment: a few tries over a second before giving up.
    bool started = SDL_Init(SDL_INIT_VIDEO | SDL_INIT_EVENTS | SDL_INIT_TIMER) == 0;
    for (int retry = 0; !started && retry < 5 && IsSet("DISPLAY"); ++retry) {
        SDL_Delay(200);
        started = SDL_Init(SDL_INIT_VIDEO | SDL_INIT_EVENTS | SDL_INIT_TIMER) == 0;
    }
    if (!started) {
        if (!chosen) throw NoDisplay(SDL_GetError());
        throw std::runtime_error(std::string("The display cannot be used: ") + SDL_GetError());
    }
    const char* driver = SDL_GetCurrentVideoDriver();
    if (chosen || driver == nullptr || (std::strcmp(driver, "offscreen") != 0 && std::strcmp(driver, "dummy") != 0))
        return;
    SDL_Quit();
    throw NoDisplay();
}

} // namespace

TSdlPlatform::TSdlPlatform(const std::string& applicationName)
{
    // The game answers termination signals itself: it saves and ends.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    // The name the desktop's sound settings show for the game's stream.
    SDL_SetHint(SDL_HINT_APP_NAME, applicationName.c_str());
    StartVideo();
    // Gamepads are welcome but not needed.
    SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER);
    // The game reads key presses only; text input would bring up input methods.
    SDL_StopTextInput();
    Signals_ = std::make_unique<TSdlSignals>();
    Clock_ = std::make_unique<TSdlClock>();
    Video_ = std::make_unique<TSdlVideo>();
    Events_ = std::make_unique<TSdlEvents>(*Video_);
    Audio_ = std::make_unique<TSdlAudioDevice>();
    Music_ = std::make_unique<TSdlModulePlayer>(*Audio_);
    Shell_ = std::make_unique<TSdlShell>();
    MessageBox_ = std::make_unique<TSdlMessageBox>(*Video_);
    Http_ = std::make_unique<TCurlHttpClient>();
}

TSdlPlatform::~TSdlPlatform()
{
    Music_.reset();
    if (Audio_) Audio_->Close();
    Audio_.reset();
    MessageBox_.reset();
    Events_.reset();
    Video_.reset();
    SDL_Quit();
    Signals_.reset();
}

IClock& TSdlPlatform::Clock()
{
    return *Clock_;
}

IEventSource& TSdlPlatform::Events()
{
    return *Events_;
}

IVideo& TSdlPlatform::Video()
{
    return *Video_;
}

IAudioDevice& TSdlPlatform::Audio()
{
    return *Audio_;
}

IModulePlayer& TSdlPlatform::Music()
{
    return *Music_;
}

IShell& TSdlPlatform::Shell()
{
    return *Shell_;
}

IHttpClient& TSdlPlatform::Http()
{
    return *Http_;
}

IMessageBox& TSdlPlatform::MessageBox()
{
    return *MessageBox_;
}
