// SPDX-License-Identifier: GPL-3.0-or-later
// Gamepads through SDL's game controller API, as the game's own input: the
// right stick moves the pointer, the right trigger or A is the left mouse
// button, Start is the P key and B is Esc; the left shoulder or trigger
// slows the pointer for fine aim. Controllers come and go while playing;
// the game never learns that one was there.
#pragma once

#include "Platform.h"
#include "StickPointer.h"

#include <cstdint>
#include <deque>
#include <map>

union SDL_Event;
struct _SDL_GameController;

class TSdlGamepad {
public:
    TSdlGamepad() = default;
    ~TSdlGamepad();
    TSdlGamepad(const TSdlGamepad&) = delete;
    TSdlGamepad& operator=(const TSdlGamepad&) = delete;

    // Takes a controller event (false for any other). Presses, releases and
    // keys it makes go to `out`; presses and releases without a position,
    // which is the pointer's.
    bool Handle(const SDL_Event& sdlEvent, std::deque<TInputEvent>& out);
    // Whether a stick leans out of its dead zone, so the pointer moves.
    bool Steering() const;
    // The pointer's movement in frame pixels since the last call.
    void Advance(uint32_t now, double& dx, double& dy);

    int ControllerCount() const { return static_cast<int>(Pads_.size()); }

    // Of the triggers' reach: pressed above the first, released below the second.
    static constexpr int TriggerPress = 16384;
    static constexpr int TriggerRelease = 9830;

private:
    struct TPad {
        _SDL_GameController* Controller = nullptr;
        int StickX = 0;
        int StickY = 0;
        bool A = false;
        bool RightTrigger = false;
        bool LeftShoulder = false;
        bool LeftTrigger = false;
    };
    bool LeftHeld() const;
    void Open(int deviceIndex);
    void Close(int32_t instance, std::deque<TInputEvent>& out);
    // Sends a press or release when the combined button changed.
    void Settle(bool wasHeld, std::deque<TInputEvent>& out);

    std::map<int32_t, TPad> Pads_;  // by joystick instance
    TStickPointer Stick_;
    uint32_t LastAdvance_ = 0;
    bool Advanced_ = false;
};
