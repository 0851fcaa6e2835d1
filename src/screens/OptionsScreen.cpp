// SPDX-License-Identifier: GPL-3.0-or-later
// The options screen: window or full screen, music, sound, and a line of
// text, with the lit choices and the text rebuilt every frame.
#include "OptionsScreen.h"

#include "Depths.h"
#include "Images.h"
#include "Pricel.h"
#include "ScreenSprites.h"
#include "SpriteText.h"
#include "SpriteWalks.h"

namespace {

// The text field has no button of its own.
constexpr TScreenRect kTextField{340, 720, 400, 450};

} // namespace

void TOptionsScreen::Build()
{
    new Pricel(&Game.Root());
    CreateBackdrop(Game.Root(), Game.Image(Images::ScreenFrame));
    CreateCentredPicture(Game.Root(), Game.Image(Images::OptionsFrame), 393, 277, dpScreen);
    // The screen opens with the cursor only when there is no text yet.
    Game.GamegoEdit = false;
    if (Game.Edit1.empty()) Game.GamegoEditClick();
    Game.AddText = Game.Edit1;
    DrawWord(Game, Game.AddText, 390, 410, 1.0);
}

void TOptionsScreen::Teardown()
{
    Game.GamegoEdit = false;
    Game.SaveSettings();
}

void TOptionsScreen::Frame()
{
    PlainFrame(true);
    TSpriteEngine& root = Game.Root();
    Game.AddText = Game.Edit1;
    KillAll<Bukva>(root);
    DrawWord(Game, Game.AddText, 390, 410, 1.0);
    KillAll<TMenu>(root);
    if (Game.GameFullScreen)
        new Options_full_screen(&root);
    else
        new Options_window_mode(&root);
    if (Game.GameSound)
        new Options_sound_on(&root);
    else
        new Options_sound_off(&root);
    if (Game.GameMusic)
        new Options_music_on(&root);
    else
        new Options_music_off(&root);
}

void TOptionsScreen::KeyDown(int key, bool /*alt*/)
{
    if (key == VirtualKey::Escape) Game.GoToState(gsMenu);
    TypeInto(Game.Edit1, key);
}

void TOptionsScreen::MouseDown(TMouseButton button, int /*x*/, int /*y*/)
{
    if (button != TMouseButton::Left) return;
    if (!Game.Edit1.empty()) Game.GamegoEdit = false;
    // Only the choice that is off can be picked. The rows lie apart, so a
    // press is on one of them at most.
    if (Pressed<Options_window_mode>(Game) && Game.GameFullScreen) {
        Game.GameFullScreenClick();
        Click();
    } else if (Pressed<Options_full_screen>(Game) && !Game.GameFullScreen) {
        Game.GameFullScreenClick();
        Click();
    } else if (Pressed<Options_music_on>(Game) && !Game.GameMusic) {
        Game.GameMusicClick();
        Click();
        Game.PlayMusic("1");
    } else if (Pressed<Options_music_off>(Game) && Game.GameMusic) {
        Game.GameMusicClick();
        Click();
        Game.StopMusic();
    } else if (Pressed<Options_sound_on>(Game) && !Game.GameSound) {
        // The click is heard with the new setting.
        Game.GameSoundClick();
        Click();
    } else if (Pressed<Options_sound_off>(Game) && Game.GameSound) {
        Game.GameSoundClick();
        Click();
    } else if (kTextField.Contains(Game.Input.MouseX, Game.Input.MouseY)) {
        Game.GamegoEditClick();
        Click();
    } else if (Pressed<Options_Back>(Game)) {
        Game.GoToState(gsMenu);
        Click();
    }
}

void TOptionsScreen::PointerMoved(int /*x*/, int /*y*/)
{
    Hover(ScreenButtons<Options_Back>());
}
