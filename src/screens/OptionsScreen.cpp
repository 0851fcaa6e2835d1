// The options screen: window or full screen, music, sound, and a line of
// text, with the lit choices and the text rebuilt every frame.
#include "Buttons.h"
#include "Pricel.h"
#include "ScreenSprites.h"
#include "SpriteText.h"
#include "Unit1.h"

void TMainForm::BuildOptions()
{
    new Pricel(&Root());
    CreateBackdrop(Root(), Image("fon_all"));
    CreateCentredPicture(Root(), Image("fon_options"), 393, 277, 0);
    // The screen opens with the cursor only when there is no text yet.
    GamegoEdit = false;
    if (Edit1.empty()) GamegoEditClick();
    AddText = Edit1;
    DrawWord(AddText, 390, 410, 1.0);
}

void TMainForm::OptionsFrame()
{
    PlainFrame(true);
    AddText = Edit1;
    KillAll<Bukva>(Root());
    DrawWord(AddText, 390, 410, 1.0);
    KillAll<TMenu>(Root());
    if (GameFullScreen)
        new Options_full_screen(&Root());
    else
        new Options_window_mode(&Root());
    if (GameSound)
        new Options_sound_on(&Root());
    else
        new Options_sound_off(&Root());
    if (GameMusic)
        new Options_music_on(&Root());
    else
        new Options_music_off(&Root());
}
