// SPDX-License-Identifier: GPL-3.0-or-later
// Input and window events from SDL, translated into the game's events:
// virtual-key codes, mouse positions on the frame, window state changes,
// and a pending termination signal. After a change of mode or size the
// pointer may stand over another frame pixel without having moved; the
// game is then told where it is, as an ordinary move. Gamepads (see
// TSdlGamepad) arrive as ordinary moves, presses and keys too.
#pragma once

#include "Platform.h"
#include "SdlGamepad.h"

#include <cstdint>
#include <deque>

union SDL_Event;
class TSdlVideo;

class TSdlEvents final : public IEventSource {
public:
    explicit TSdlEvents(TSdlVideo& video);

    // Waits in short slices, so that a termination signal is answered within
    // one slice even while no event arrives.
    bool WaitEvent(TInputEvent& event, uint32_t timeoutMs) override;

    // The virtual-key code of a key (SDL key code and scan code); 0 for the
    // keys the game does not read. Letters and digits follow the layout;
    // where the layout has no Latin letter on a key (Cyrillic, Greek, ...)
    // or no digit on the number row, the key's place decides, so that a
    // player with any keyboard can type a name.
    static int VirtualKeyOf(int keyCode, int scanCode);

    // One SDL event as a game event; false for events the game does not see.
    bool Translate(const SDL_Event& sdlEvent, TInputEvent& event);
    // A move to where the pointer now stands on the frame, when the window
    // changed since the game last heard of it and the place differs.
    bool PointerAfterLayoutChange(TInputEvent& event);

    // The longest single wait before the termination flag is looked at again.
    static constexpr uint32_t WaitSlice = 100;
    // How often a leaning stick moves the pointer.
    static constexpr uint32_t StickStep = 8;

    const TSdlGamepad& Gamepad() const { return Gamepad_; }

private:
    void Delivered(const TInputEvent& event);
    // A move of the pointer under a leaning stick, when it reaches another pixel.
    bool SteerPointer(TInputEvent& event);
    // The system's pointer follows the stick's once it rests, so that the
    // mouse goes on from there.
    void WarpSystemPointer();

    TSdlVideo& Video_;
    bool ShownSeen_ = false;
    // The frame position of the last pointer event the game got.
    bool PointerKnown_ = false;
    int PointerX_ = 0;
    int PointerY_ = 0;
    uint32_t LayoutChangesSeen_ = 0;
    bool LayoutChanged_ = false;
    TSdlGamepad Gamepad_;
    // What the gamepad made and the game has not had yet.
    std::deque<TInputEvent> Pending_;
    // The pointer under the stick, with the fractions of a pixel.
    double SteeredX_ = 0;
    double SteeredY_ = 0;
    bool Steered_ = false;
};
