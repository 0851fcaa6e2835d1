// SPDX-License-Identifier: GPL-3.0-or-later
// Gamepads as the game's pointer, left button and keys.
#include "SdlGamepad.h"

#include <SDL.h>

#include <cmath>

namespace {

TInputEvent KeyPress(int key)
{
    TInputEvent event;
    event.Kind = TInputEvent::TKind::KeyDown;
    event.Key = key;
    return event;
}

TInputEvent LeftButton(TInputEvent::TKind kind)
{
    TInputEvent event;
    event.Kind = kind;
    event.Button = TMouseButton::Left;
    return event;
}

} // namespace

TSdlGamepad::~TSdlGamepad()
{
    for (auto& [instance, pad] : Pads_) SDL_GameControllerClose(pad.Controller);
}

void TSdlGamepad::Open(int deviceIndex)
{
    SDL_GameController* controller = SDL_GameControllerOpen(deviceIndex);
    if (controller == nullptr) return;
    const SDL_JoystickID instance = SDL_JoystickInstanceID(SDL_GameControllerGetJoystick(controller));
    if (Pads_.contains(instance)) {
        // Opened twice (added at start and announced again): keep one.
        SDL_GameControllerClose(controller);
        return;
    }
    Pads_[instance].Controller = controller;
}

void TSdlGamepad::Close(int32_t instance, std::deque<TInputEvent>& out)
{
    const auto found = Pads_.find(instance);
    if (found == Pads_.end()) return;
    const bool wasHeld = LeftHeld();
    SDL_GameControllerClose(found->second.Controller);
    Pads_.erase(found);
    // A pad pulled out with the trigger held must not leave it held.
    Settle(wasHeld, out);
}

bool TSdlGamepad::LeftHeld() const
{
    for (const auto& [instance, pad] : Pads_)
        if (pad.A || pad.RightTrigger) return true;
    return false;
}

void TSdlGamepad::Settle(bool wasHeld, std::deque<TInputEvent>& out)
{
    const bool held = LeftHeld();
    if (held == wasHeld) return;
    out.push_back(LeftButton(held ? TInputEvent::TKind::MouseDown : TInputEvent::TKind::MouseUp));
}

bool TSdlGamepad::Handle(const SDL_Event& sdlEvent, std::deque<TInputEvent>& out)
{
    switch (sdlEvent.type) {
    case SDL_CONTROLLERDEVICEADDED: Open(sdlEvent.cdevice.which); return true;
    case SDL_CONTROLLERDEVICEREMOVED: Close(sdlEvent.cdevice.which, out); return true;
    case SDL_CONTROLLERAXISMOTION: {
        const auto found = Pads_.find(sdlEvent.caxis.which);
        if (found == Pads_.end()) return true;
        TPad& pad = found->second;
        const int value = sdlEvent.caxis.value;
        const bool wasHeld = LeftHeld();
        switch (sdlEvent.caxis.axis) {
        case SDL_CONTROLLER_AXIS_RIGHTX: pad.StickX = value; break;
        case SDL_CONTROLLER_AXIS_RIGHTY: pad.StickY = value; break;
        case SDL_CONTROLLER_AXIS_TRIGGERRIGHT:
            pad.RightTrigger = value > (pad.RightTrigger ? TriggerRelease : TriggerPress);
            break;
        case SDL_CONTROLLER_AXIS_TRIGGERLEFT:
            pad.LeftTrigger = value > (pad.LeftTrigger ? TriggerRelease : TriggerPress);
            break;
        default: break;
        }
        Settle(wasHeld, out);
        return true;
    }
    case SDL_CONTROLLERBUTTONDOWN:
    case SDL_CONTROLLERBUTTONUP: {
        const auto found = Pads_.find(sdlEvent.cbutton.which);
        if (found == Pads_.end()) return true;
        TPad& pad = found->second;
        const bool down = sdlEvent.type == SDL_CONTROLLERBUTTONDOWN;
        const bool wasHeld = LeftHeld();
        switch (sdlEvent.cbutton.button) {
        case SDL_CONTROLLER_BUTTON_A: pad.A = down; break;
        case SDL_CONTROLLER_BUTTON_LEFTSHOULDER: pad.LeftShoulder = down; break;
        case SDL_CONTROLLER_BUTTON_START:
            if (down) out.push_back(KeyPress('P'));
            break;
        case SDL_CONTROLLER_BUTTON_B:
            if (down) out.push_back(KeyPress(VirtualKey::Escape));
            break;
        default: break;
        }
        Settle(wasHeld, out);
        return true;
    }
    default: return false;
    }
}

bool TSdlGamepad::Steering() const
{
    for (const auto& [instance, pad] : Pads_)
        if (TStickPointer::Deflection(pad.StickX, pad.StickY) > 0.0) return true;
    return false;
}

void TSdlGamepad::Advance(uint32_t now, double& dx, double& dy)
{
    const uint32_t elapsed = Advanced_ ? now - LastAdvance_ : 0;
    LastAdvance_ = now;
    Advanced_ = true;
    // The stick that leans furthest steers; any pad's precision control counts.
    const TPad* steering = nullptr;
    bool precision = false;
    for (const auto& [instance, pad] : Pads_) {
        precision = precision || pad.LeftShoulder || pad.LeftTrigger;
        if (steering == nullptr ||
            std::hypot(pad.StickX, pad.StickY) > std::hypot(steering->StickX, steering->StickY))
            steering = &pad;
    }
    if (steering == nullptr) {
        dx = 0;
        dy = 0;
        return;
    }
    // A long gap (the game was busy, or nothing steered) is no reason to jump.
    Stick_.Advance(steering->StickX, steering->StickY, precision, std::min<uint32_t>(elapsed, 50), dx, dy);
}
