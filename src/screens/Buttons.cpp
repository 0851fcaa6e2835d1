// Image, place and depth of every button and panel class.
#include "Buttons.h"

#define ZARVENOK_MENU_PLACE(Name, Base, ...)                                                                 \
    Name::Name(TSprite* parent) : Base(parent, TMenuPlace{__VA_ARGS__}) {}

ZARVENOK_MENU_PLACE(Start_Game, TMenuGame, "Start Game", 215, 32, 1)
ZARVENOK_MENU_PLACE(Help, TMenuGame, "Help", 311, 122, 1)
ZARVENOK_MENU_PLACE(Options, TMenuGame, "Options", 260, 213, 1)
ZARVENOK_MENU_PLACE(High_Score, TMenuGame, "High Score", 226, 300, 1)
ZARVENOK_MENU_PLACE(Visit_Web_Site, TMenuGame, "Visit Web Site", 171, 389, 1)
ZARVENOK_MENU_PLACE(Exit_, TMenuGame, "Exit", 239, 478, 1)
ZARVENOK_MENU_PLACE(HelpGame_Up, TMenuGame, "Help_Up", 246, 451, 1)
ZARVENOK_MENU_PLACE(HelpGame_Back, TMenuGame, "Help_Back", 324, 458, 1)
ZARVENOK_MENU_PLACE(HelpGame_Down, TMenuGame, "Help_Down", 480, 453, 1)
ZARVENOK_MENU_PLACE(Options_Back, TMenuGame, "Options_back", 324, 464, 1)
ZARVENOK_MENU_PLACE(Options_window_mode, TMenu, "Options_window_mode", 266, 137, 1)
ZARVENOK_MENU_PLACE(Options_full_screen, TMenu, "Options_full_screen", 455, 137, 1)
ZARVENOK_MENU_PLACE(Options_music_on, TMenu, "Options_music_on", 260, 223, 1)
ZARVENOK_MENU_PLACE(Options_music_off, TMenu, "Options_music_off", 342, 221, 1)
ZARVENOK_MENU_PLACE(Options_sound_on, TMenu, "Options_sound_on", 268, 312, 1)
ZARVENOK_MENU_PLACE(Options_sound_off, TMenu, "Options_sound_off", 350, 311, 1)
ZARVENOK_MENU_PLACE(HighScore_Clear, TMenuGame, "HighScore_Clear", 104, 465, 1)
ZARVENOK_MENU_PLACE(HighScore_Back, TMenuGame, "High Score_Back", 324, 464, 1)
ZARVENOK_MENU_PLACE(HighScore_View, TMenuGame, "HighScore_View", 497, 464, 1)
// Positioned with the exit panel's size, so both panels share a corner.
ZARVENOK_MENU_PLACE(TClearHighScore, TMenu, "ClearHighScore", 0, 0, 801, true, "Exit_Main")
ZARVENOK_MENU_PLACE(TClearHighScore_Yes, TMenuGame, "ClearHighScore_Yes", 254, 315, 802)
ZARVENOK_MENU_PLACE(TClearHighScore_No, TMenuGame, "ClearHighScore_No", 427, 315, 802)
ZARVENOK_MENU_PLACE(ExitGame_Yes, TMenuGame, "ExitGame_Yes", 248, 353, 1)
ZARVENOK_MENU_PLACE(ExitGame_No, TMenuGame, "ExitGame_No", 410, 351, 1)
ZARVENOK_MENU_PLACE(TPauseWord, TMenuGame, "pause", 0, 0, 801, true)
ZARVENOK_MENU_PLACE(TMainExit, TMenu, "Exit_Main", 0, 0, 800, true)
ZARVENOK_MENU_PLACE(TMainExit_Yes, TMenuGame, "Exit_Main_Yes", 243, 311, 801)
ZARVENOK_MENU_PLACE(TMainExit_No, TMenuGame, "Exit_Main_No", 422, 310, 801)
ZARVENOK_MENU_PLACE(TEnter_Name_Send, TMenu, "Enter_Name_Send", 150, 377, 1)
