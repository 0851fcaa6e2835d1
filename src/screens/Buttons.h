// SPDX-License-Identifier: GPL-3.0-or-later
// Every button highlight, option indicator and panel of the game's screens:
// each a class of its own, so that the game can find and remove it by
// class, and each one row of the button table: its image and place, where
// the pointer lights it and where a press works it.
#pragma once

#include "MenuSprites.h"

#include <optional>
#include <span>
#include <string_view>

// A rectangle of the screen, inclusive on every side.
struct TScreenRect {
    int Left, Right, Top, Bottom;

    constexpr bool Contains(int x, int y) const { return x >= Left && x <= Right && y >= Top && y <= Bottom; }
};

struct TButton {
    // The class's name, and the name of the class it derives from.
    const char* Name;
    const char* Base;
    TMenuPlace Place;
    // Where the pointer lights it: none for panels and indicators.
    std::optional<TScreenRect> Hover;
    // Where a press works it: none where a press does nothing. The two
    // rectangles of a button need not be the same.
    std::optional<TScreenRect> Click;
    bool (*IsA)(const TSprite* sprite);
    TSprite* (*Create)(TSprite* parent);
};

// Every row, in the order the classes are declared below.
std::span<const TButton> ButtonTable();
// The row of a class; throws std::logic_error for a class without one.
const TButton& FindButton(std::string_view className);

template <class Button>
const TButton& ButtonOf()
{
    static const TButton& row = FindButton(Button::ButtonName);
    return row;
}

#define ZARVENOK_BUTTON_CLASS(Name, Base)                                                                    \
    class Name : public Base {                                                                               \
    public:                                                                                                  \
        static constexpr const char* ButtonName = #Name;                                                     \
        explicit Name(TSprite* parent) : Base(parent, ButtonOf<Name>().Place) {}                             \
        const char* ClassName() const override { return ButtonName; }                                        \
    }

// Main menu highlights.
ZARVENOK_BUTTON_CLASS(Start_Game, TMenuGame);
ZARVENOK_BUTTON_CLASS(Help, TMenuGame);
ZARVENOK_BUTTON_CLASS(Options, TMenuGame);
ZARVENOK_BUTTON_CLASS(High_Score, TMenuGame);
ZARVENOK_BUTTON_CLASS(Visit_Web_Site, TMenuGame);
ZARVENOK_BUTTON_CLASS(Exit_, TMenuGame);
// Help screen.
ZARVENOK_BUTTON_CLASS(HelpGame_Up, TMenuGame);
ZARVENOK_BUTTON_CLASS(HelpGame_Back, TMenuGame);
ZARVENOK_BUTTON_CLASS(HelpGame_Down, TMenuGame);
// Options screen.
ZARVENOK_BUTTON_CLASS(Options_Back, TMenuGame);
ZARVENOK_BUTTON_CLASS(Options_window_mode, TMenu);
ZARVENOK_BUTTON_CLASS(Options_full_screen, TMenu);
ZARVENOK_BUTTON_CLASS(Options_music_on, TMenu);
ZARVENOK_BUTTON_CLASS(Options_music_off, TMenu);
ZARVENOK_BUTTON_CLASS(Options_sound_on, TMenu);
ZARVENOK_BUTTON_CLASS(Options_sound_off, TMenu);
// High-score screen and its clear panel.
ZARVENOK_BUTTON_CLASS(HighScore_Clear, TMenuGame);
ZARVENOK_BUTTON_CLASS(HighScore_Back, TMenuGame);
ZARVENOK_BUTTON_CLASS(HighScore_View, TMenuGame);
ZARVENOK_BUTTON_CLASS(TClearHighScore, TMenu);
ZARVENOK_BUTTON_CLASS(TClearHighScore_Yes, TMenuGame);
ZARVENOK_BUTTON_CLASS(TClearHighScore_No, TMenuGame);
// Exit scene.
ZARVENOK_BUTTON_CLASS(ExitGame_Yes, TMenuGame);
ZARVENOK_BUTTON_CLASS(ExitGame_No, TMenuGame);
// In-game overlays: pause caption and exit panel.
ZARVENOK_BUTTON_CLASS(TPauseWord, TMenuGame);
ZARVENOK_BUTTON_CLASS(TMainExit, TMenu);
ZARVENOK_BUTTON_CLASS(TMainExit_Yes, TMenuGame);
ZARVENOK_BUTTON_CLASS(TMainExit_No, TMenuGame);
// Game-over name entry: the tick of the send box.
ZARVENOK_BUTTON_CLASS(TEnter_Name_Send, TMenu);

#undef ZARVENOK_BUTTON_CLASS
