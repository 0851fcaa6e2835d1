// SPDX-License-Identifier: GPL-3.0-or-later
// One screen state: its build and teardown, its frame, and what it does
// with keys, presses, pointer moves, Timer1 and the application's focus.
// The form holds one of each in a table indexed by GameState.
#pragma once

#include "Buttons.h"
#include "GameContext.h"
#include "Platform.h"

#include <array>
#include <span>
#include <string>

class TScreen {
public:
    explicit TScreen(TGameContext& game) : Game(game) {}
    virtual ~TScreen() = default;
    TScreen(const TScreen&) = delete;
    TScreen& operator=(const TScreen&) = delete;

    // Entering the state; the sprite tree has just been emptied.
    virtual void Build() = 0;
    // Leaving the state, after its sprites have gone.
    virtual void Teardown() {}
    // The frame hook: move, free the dead, clear, paint.
    virtual void Frame() { PlainFrame(true); }
    // After the frame hook of whatever screen ran it, before presenting.
    virtual void AfterFrame() {}
    virtual void KeyDown(int /*key*/, bool /*alt*/) {}
    // (x, y) is the event's own place; buttons answer to the last pointer
    // move, as the pointer sprite shows it.
    virtual void MouseDown(TMouseButton /*button*/, int /*x*/, int /*y*/) {}
    // After the pointer's place was taken: lights the button under it.
    virtual void PointerMoved(int /*x*/, int /*y*/) {}
    virtual void Timer1Step() {}
    // The application lost or regained activation.
    virtual void FocusLost();
    virtual void FocusRegained();
    // The window's close button.
    virtual void CloseRequested() { Game.GoToState(gsExitScene); }
    // Pause and the in-game exit question, which only the game has.
    virtual void PauseClick() {}
    virtual void MainExitClick() {}
    // The track the music continuation starts again when it runs out.
    virtual const char* MusicTrack() const { return "1"; }

protected:
    // Move with a move count of 16, free the dead, clear unless a backdrop
    // covers the surface, paint.
    void PlainFrame(bool fill);
    // Lights the first of the buttons under the pointer (on the menu the
    // row band is tested first), with the hover sound once per arrival.
    void Hover(std::span<const TButton* const> buttons, bool rowsFirst = false);
    // A letter or Backspace into a text buffer while typing is on.
    void TypeInto(std::string& buffer, int key);
    // The press sound of every button.
    void Click() { Game.PlaySound(TSound::ButtonDown); }

    TGameContext& Game;
};

// Whether the last pointer place is on the button's press rectangle.
template <class Button>
bool Pressed(const TGameContext& game)
{
    return ButtonOf<Button>().Click.value().Contains(game.Input.MouseX, game.Input.MouseY);
}

// The buttons a screen lights, in the order they are tested.
template <class... Button>
std::span<const TButton* const> ScreenButtons()
{
    static const std::array<const TButton*, sizeof...(Button)> rows{&ButtonOf<Button>()...};
    return rows;
}

// Fills the back surface with 0 unless a backdrop will paint over it all.
void ClearBackSurface(TGameContext& game);
