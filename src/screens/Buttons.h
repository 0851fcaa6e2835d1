// Every button highlight, option indicator and panel of the game's screens:
// each a class of its own so that the game can find and remove it by class.
#pragma once

#include "MenuSprites.h"

#define ZARVENOK_MENU_CLASS(Name, Base)                                                                      \
    class Name : public Base {                                                                               \
    public:                                                                                                  \
        explicit Name(TSprite* parent);                                                                      \
        const char* ClassName() const override { return #Name; }                                             \
    }

// Main menu highlights.
ZARVENOK_MENU_CLASS(Start_Game, TMenuGame);
ZARVENOK_MENU_CLASS(Help, TMenuGame);
ZARVENOK_MENU_CLASS(Options, TMenuGame);
ZARVENOK_MENU_CLASS(High_Score, TMenuGame);
ZARVENOK_MENU_CLASS(Visit_Web_Site, TMenuGame);
ZARVENOK_MENU_CLASS(Exit_, TMenuGame);
// Help screen.
ZARVENOK_MENU_CLASS(HelpGame_Up, TMenuGame);
ZARVENOK_MENU_CLASS(HelpGame_Back, TMenuGame);
ZARVENOK_MENU_CLASS(HelpGame_Down, TMenuGame);
// Options screen.
ZARVENOK_MENU_CLASS(Options_Back, TMenuGame);
ZARVENOK_MENU_CLASS(Options_window_mode, TMenu);
ZARVENOK_MENU_CLASS(Options_full_screen, TMenu);
ZARVENOK_MENU_CLASS(Options_music_on, TMenu);
ZARVENOK_MENU_CLASS(Options_music_off, TMenu);
ZARVENOK_MENU_CLASS(Options_sound_on, TMenu);
ZARVENOK_MENU_CLASS(Options_sound_off, TMenu);
// High-score screen and its clear panel.
ZARVENOK_MENU_CLASS(HighScore_Clear, TMenuGame);
ZARVENOK_MENU_CLASS(HighScore_Back, TMenuGame);
ZARVENOK_MENU_CLASS(HighScore_View, TMenuGame);
ZARVENOK_MENU_CLASS(TClearHighScore, TMenu);
ZARVENOK_MENU_CLASS(TClearHighScore_Yes, TMenuGame);
ZARVENOK_MENU_CLASS(TClearHighScore_No, TMenuGame);
// Exit scene.
ZARVENOK_MENU_CLASS(ExitGame_Yes, TMenuGame);
ZARVENOK_MENU_CLASS(ExitGame_No, TMenuGame);
// In-game overlays: pause caption and exit panel.
ZARVENOK_MENU_CLASS(TPauseWord, TMenuGame);
ZARVENOK_MENU_CLASS(TMainExit, TMenu);
ZARVENOK_MENU_CLASS(TMainExit_Yes, TMenuGame);
ZARVENOK_MENU_CLASS(TMainExit_No, TMenuGame);
// Game-over name entry: the tick of the send box.
ZARVENOK_MENU_CLASS(TEnter_Name_Send, TMenu);

#undef ZARVENOK_MENU_CLASS
