// SPDX-License-Identifier: GPL-3.0-or-later
// The exit scene: Yes ends the program, No or Esc go back to the menu.
#include "ExitScreen.h"

#include "Images.h"
#include "Pricel.h"
#include "ScreenSprites.h"

void TExitScreen::Build()
{
    new Pricel(&Game.Root());
    CreateBackdrop(Game.Root(), Game.Image(Images::ExitScene));
    Game.PlaySound(TSound::Pause);
}

void TExitScreen::Teardown()
{
    Game.PlaySound(TSound::AfterPause);
    Game.SaveSettings();
}

void TExitScreen::KeyDown(int key, bool /*alt*/)
{
    if (key == VirtualKey::Escape) Game.GoToState(gsMenu);
}

void TExitScreen::MouseDown(TMouseButton button, int /*x*/, int /*y*/)
{
    if (button != TMouseButton::Left) return;
    if (Pressed<ExitGame_Yes>(Game)) {
        Click();
        Game.Quit();
    } else if (Pressed<ExitGame_No>(Game)) {
        Click();
        Game.GoToState(gsMenu);
    }
}

void TExitScreen::PointerMoved(int /*x*/, int /*y*/)
{
    Hover(ScreenButtons<ExitGame_Yes, ExitGame_No>());
}
