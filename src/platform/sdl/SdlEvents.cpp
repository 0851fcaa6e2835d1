// SPDX-License-Identifier: GPL-3.0-or-later
// Input and window events from SDL, translated into the game's events.
#include "SdlEvents.h"

#include "SdlSignals.h"
#include "SdlVideo.h"
#include "SdlWindowManager.h"

#include <SDL.h>

#include <algorithm>
#include <cmath>

TSdlEvents::TSdlEvents(TSdlVideo& video) : Video_(video) {}

int TSdlEvents::VirtualKeyOf(int keyCode, int scanCode)
{
    if (keyCode >= SDLK_a && keyCode <= SDLK_z) return 'A' + (keyCode - SDLK_a);
    if (keyCode >= SDLK_0 && keyCode <= SDLK_9) return keyCode;
    if (keyCode >= SDLK_KP_1 && keyCode <= SDLK_KP_9) return '1' + (keyCode - SDLK_KP_1);
    switch (keyCode) {
    case SDLK_ESCAPE: return VirtualKey::Escape;
    case SDLK_RETURN:
    case SDLK_RETURN2:
    case SDLK_KP_ENTER: return VirtualKey::Enter;
    case SDLK_BACKSPACE: return VirtualKey::Backspace;
    case SDLK_SPACE: return VirtualKey::Space;
    case SDLK_KP_0: return '0';
    default: break;
    }
    // Only a key that types no ASCII character takes its letter from its
    // place; otherwise a punctuation key of another Latin layout would type one.
    const bool nonAscii = keyCode >= 0x80 && (keyCode & SDLK_SCANCODE_MASK) == 0;
    if (nonAscii && scanCode >= SDL_SCANCODE_A && scanCode <= SDL_SCANCODE_Z) return 'A' + (scanCode - SDL_SCANCODE_A);
    if (scanCode >= SDL_SCANCODE_1 && scanCode <= SDL_SCANCODE_9) return '1' + (scanCode - SDL_SCANCODE_1);
    if (scanCode == SDL_SCANCODE_0) return '0';
    return 0;
}

namespace {

bool ButtonOf(Uint8 sdlButton, TMouseButton& button)
{
    switch (sdlButton) {
    case SDL_BUTTON_LEFT: button = TMouseButton::Left; return true;
    case SDL_BUTTON_RIGHT: button = TMouseButton::Right; return true;
    case SDL_BUTTON_MIDDLE: button = TMouseButton::Middle; return true;
    default: return false;
    }
}

} // namespace

bool TSdlEvents::Translate(const SDL_Event& sdlEvent, TInputEvent& event)
{
    event = TInputEvent{};
    switch (sdlEvent.type) {
    case SDL_KEYDOWN:
        event.Kind = TInputEvent::TKind::KeyDown;
        event.Key = VirtualKeyOf(sdlEvent.key.keysym.sym, sdlEvent.key.keysym.scancode);
        event.Alt = (sdlEvent.key.keysym.mod & KMOD_ALT) != 0;
        return event.Key != 0;
    case SDL_MOUSEBUTTONDOWN:
        event.Kind = TInputEvent::TKind::MouseDown;
        return ButtonOf(sdlEvent.button.button, event.Button) &&
               Video_.MapToSurface(sdlEvent.button.x, sdlEvent.button.y, event.X, event.Y);
    case SDL_MOUSEBUTTONUP:
        // A release is never dropped, even on a bar: a lost release would
        // leave the game thinking the trigger is still held.
        event.Kind = TInputEvent::TKind::MouseUp;
        if (!ButtonOf(sdlEvent.button.button, event.Button)) return false;
        Video_.ClampToSurface(sdlEvent.button.x, sdlEvent.button.y, event.X, event.Y);
        return true;
    case SDL_MOUSEMOTION:
        event.Kind = TInputEvent::TKind::MouseMove;
        return Video_.MapToSurface(sdlEvent.motion.x, sdlEvent.motion.y, event.X, event.Y);
    case SDL_WINDOWEVENT:
        switch (sdlEvent.window.event) {
        case SDL_WINDOWEVENT_SHOWN:
        case SDL_WINDOWEVENT_EXPOSED:
        case SDL_WINDOWEVENT_SIZE_CHANGED:
        case SDL_WINDOWEVENT_RESTORED:
        case SDL_WINDOWEVENT_MAXIMIZED:
            // What the window showed may be gone: the next frame is drawn in full.
            Video_.Invalidate();
            break;
        default: break;
        }
        switch (sdlEvent.window.event) {
        case SDL_WINDOWEVENT_SIZE_CHANGED:
        case SDL_WINDOWEVENT_MOVED:
        case SDL_WINDOWEVENT_RESTORED:
        case SDL_WINDOWEVENT_MAXIMIZED: LayoutChanged_ = true; break;
        default: break;
        }
        switch (sdlEvent.window.event) {
        case SDL_WINDOWEVENT_CLOSE: event.Kind = TInputEvent::TKind::Close; return true;
        case SDL_WINDOWEVENT_FOCUS_GAINED: event.Kind = TInputEvent::TKind::Activate; return true;
        case SDL_WINDOWEVENT_FOCUS_LOST: event.Kind = TInputEvent::TKind::Deactivate; return true;
        case SDL_WINDOWEVENT_MINIMIZED: event.Kind = TInputEvent::TKind::Minimized; return true;
        case SDL_WINDOWEVENT_RESTORED: event.Kind = TInputEvent::TKind::Restored; return true;
        case SDL_WINDOWEVENT_MAXIMIZED: event.Kind = TInputEvent::TKind::Maximized; return true;
        case SDL_WINDOWEVENT_SIZE_CHANGED: event.Kind = TInputEvent::TKind::Resized; return true;
        case SDL_WINDOWEVENT_SHOWN:
            // The window system repeats this after every unmapping; the game
            // wants the first showing only.
            if (ShownSeen_) return false;
            ShownSeen_ = true;
            event.Kind = TInputEvent::TKind::Shown;
            return true;
        default: return false;
        }
    default:
        // Controllers speak through what they make; quit follows the
        // window's close event, which the game already gets.
        Gamepad_.Handle(sdlEvent, Pending_);
        return false;
    }
}

void TSdlEvents::Delivered(const TInputEvent& event)
{
    using TKind = TInputEvent::TKind;
    if (event.Kind != TKind::MouseMove && event.Kind != TKind::MouseDown && event.Kind != TKind::MouseUp) return;
    PointerKnown_ = true;
    PointerX_ = event.X;
    PointerY_ = event.Y;
    SteeredX_ = event.X;
    SteeredY_ = event.Y;
}

bool TSdlEvents::SteerPointer(TInputEvent& event)
{
    double dx = 0;
    double dy = 0;
    Gamepad_.Advance(SDL_GetTicks(), dx, dy);
    if (dx == 0 && dy == 0) {
        if (Steered_ && !Gamepad_.Steering()) {
            Steered_ = false;
            WarpSystemPointer();
        }
        return false;
    }
    Steered_ = true;
    const int width = Video_.ClientWidth();
    const int height = Video_.ClientHeight();
    if (width <= 0 || height <= 0) return false;
    if (!PointerKnown_) {
        SteeredX_ = width / 2;
        SteeredY_ = height / 2;
    }
    SteeredX_ = std::clamp(SteeredX_ + dx, 0.0, width - 1.0);
    SteeredY_ = std::clamp(SteeredY_ + dy, 0.0, height - 1.0);
    const int x = static_cast<int>(std::lround(SteeredX_));
    const int y = static_cast<int>(std::lround(SteeredY_));
    if (PointerKnown_ && x == PointerX_ && y == PointerY_) return false;
    const double keptX = SteeredX_;
    const double keptY = SteeredY_;
    event = TInputEvent{};
    event.Kind = TInputEvent::TKind::MouseMove;
    event.X = x;
    event.Y = y;
    Delivered(event);
    SteeredX_ = keptX;
    SteeredY_ = keptY;
    return true;
}

void TSdlEvents::WarpSystemPointer()
{
    SDL_Window* window = Video_.Window();
    int windowX = 0;
    int windowY = 0;
    if (window == nullptr || SDL_GetKeyboardFocus() != window || !PointerKnown_ ||
        !Video_.SurfaceToWindow(PointerX_, PointerY_, windowX, windowY))
        return;
    SDL_WarpMouseInWindow(window, windowX, windowY);
}

bool TSdlEvents::PointerAfterLayoutChange(TInputEvent& event)
{
    if (Video_.LayoutChanges() != LayoutChangesSeen_) {
        LayoutChangesSeen_ = Video_.LayoutChanges();
        LayoutChanged_ = true;
    }
    if (!LayoutChanged_) return false;
    LayoutChanged_ = false;
    int windowX = 0;
    int windowY = 0;
    int x = 0;
    int y = 0;
    if (!SdlPointerInWindow(Video_.Window(), windowX, windowY) || !Video_.MapToSurface(windowX, windowY, x, y))
        return false;
    if (PointerKnown_ && x == PointerX_ && y == PointerY_) return false;
    event = TInputEvent{};
    event.Kind = TInputEvent::TKind::MouseMove;
    event.X = x;
    event.Y = y;
    return true;
}

bool TSdlEvents::WaitEvent(TInputEvent& event, uint32_t timeoutMs)
{
    const Uint32 start = SDL_GetTicks();
    for (;;) {
        if (TSdlSignals::TakePending()) {
            event = TInputEvent{};
            event.Kind = TInputEvent::TKind::Terminate;
            return true;
        }
        if (!Pending_.empty()) {
            event = Pending_.front();
            Pending_.pop_front();
            // The gamepad's presses land where its pointer is.
            if (event.Kind == TInputEvent::TKind::MouseDown || event.Kind == TInputEvent::TKind::MouseUp) {
                event.X = PointerKnown_ ? PointerX_ : Video_.ClientWidth() / 2;
                event.Y = PointerKnown_ ? PointerY_ : Video_.ClientHeight() / 2;
                Delivered(event);
            }
            return true;
        }
        if (PointerAfterLayoutChange(event)) {
            Delivered(event);
            return true;
        }
        if (SteerPointer(event)) return true;
        const Uint32 elapsed = SDL_GetTicks() - start;
        const Uint32 left = elapsed >= timeoutMs ? 0 : timeoutMs - elapsed;
        const Uint32 slice = std::min(left, Gamepad_.Steering() ? StickStep : WaitSlice);
        SDL_Event sdlEvent;
        const int got = left == 0 ? SDL_PollEvent(&sdlEvent) : SDL_WaitEventTimeout(&sdlEvent, static_cast<int>(slice));
        if (got != 0) {
            if (Translate(sdlEvent, event)) {
                Delivered(event);
                return true;
            }
            continue;
        }
        if (left == 0) return false;
    }
}
