// SPDX-License-Identifier: GPL-3.0-or-later
// The button table: one row per button, indicator and panel class.
#include "Buttons.h"

#include "Depths.h"

#include <stdexcept>
#include <string>
#include <type_traits>

namespace {

template <class Button>
bool IsA(const TSprite* sprite)
{
    return dynamic_cast<const Button*>(sprite) != nullptr;
}

template <class Button>
TSprite* Make(TSprite* parent)
{
    return new Button(parent);
}

template <class Button>
constexpr TButton Row(TMenuPlace place, std::optional<TScreenRect> hover, std::optional<TScreenRect> click)
{
    const char* base = std::is_base_of_v<TMenuGame, Button> ? "TMenuGame" : "TMenu";
    return {Button::ButtonName, base, place, hover, click, IsA<Button>, Make<Button>};
}

// x from, x to, y from, y to.
constexpr TScreenRect Rect(int left, int right, int top, int bottom)
{
    return {left, right, top, bottom};
}

constexpr std::nullopt_t None = std::nullopt;

constexpr TButton kButtons[] = {
    //                       image, x, y, depth                     lit on                    pressed on
    Row<Start_Game>(         {"Start Game", 215, 32, dpButton},            Rect(215, 540, 32, 89),   Rect(215, 540, 32, 89)),
    Row<Help>(               {"Help", 311, 122, dpButton},                 Rect(311, 441, 122, 179), Rect(311, 441, 122, 179)),
    Row<Options>(            {"Options", 260, 213, dpButton},              Rect(260, 490, 213, 270), Rect(260, 490, 213, 270)),
    Row<High_Score>(         {"High Score", 226, 300, dpButton},           Rect(226, 524, 300, 357), Rect(226, 524, 300, 357)),
    Row<Visit_Web_Site>(     {"Visit Web Site", 171, 389, dpButton},       Rect(171, 576, 389, 446), Rect(171, 576, 389, 446)),
    Row<Exit_>(              {"Exit", 239, 478, dpButton},                 Rect(239, 516, 478, 532), Rect(239, 516, 478, 532)),
    Row<HelpGame_Up>(        {"Help_Up", 246, 451, dpButton},              Rect(243, 297, 451, 520), Rect(246, 297, 453, 521)),
    Row<HelpGame_Back>(      {"Help_Back", 324, 458, dpButton},            Rect(324, 451, 458, 516), Rect(324, 451, 458, 516)),
    Row<HelpGame_Down>(      {"Help_Down", 480, 453, dpButton},            Rect(480, 531, 453, 522), Rect(480, 531, 451, 520)),
    Row<Options_Back>(       {"Options_back", 324, 464, dpButton},         Rect(324, 451, 464, 522), Rect(324, 451, 458, 516)),
    // Indicators light with the setting, not the pointer; a press picks the choice.
    Row<Options_window_mode>({"Options_window_mode", 266, 137, dpButton},  None,                     Rect(266, 432, 137, 184)),
    Row<Options_full_screen>({"Options_full_screen", 455, 137, dpButton},  None,                     Rect(455, 722, 137, 184)),
    Row<Options_music_on>(   {"Options_music_on", 260, 223, dpButton},     None,                     Rect(260, 324, 221, 271)),
    Row<Options_music_off>(  {"Options_music_off", 342, 221, dpButton},    None,                     Rect(342, 431, 221, 271)),
    Row<Options_sound_on>(   {"Options_sound_on", 268, 312, dpButton},     None,                     Rect(268, 330, 311, 361)),
    Row<Options_sound_off>(  {"Options_sound_off", 350, 311, dpButton},    None,                     Rect(350, 439, 311, 361)),
    Row<HighScore_Clear>(    {"HighScore_Clear", 104, 465, dpButton},      Rect(104, 268, 465, 533), Rect(104, 268, 465, 533)),
    Row<HighScore_Back>(     {"High Score_Back", 324, 464, dpButton},      Rect(324, 451, 464, 522), Rect(324, 451, 458, 516)),
    Row<HighScore_View>(     {"HighScore_View", 497, 464, dpButton},       Rect(497, 706, 464, 532), Rect(497, 706, 464, 532)),
    // Positioned with the exit panel's size, so both panels share a corner.
    Row<TClearHighScore>(    {"ClearHighScore", 0, 0, dpOverlay, true, "Exit_Main"},
                                                                    None,                     None),
    Row<TClearHighScore_Yes>({"ClearHighScore_Yes", 254, 315, dpOverlayButton}, Rect(254, 336, 315, 373), Rect(254, 336, 315, 373)),
    Row<TClearHighScore_No>( {"ClearHighScore_No", 427, 315, dpOverlayButton},  Rect(427, 498, 315, 371), Rect(427, 498, 315, 371)),
    Row<ExitGame_Yes>(       {"ExitGame_Yes", 248, 353, dpButton},         Rect(248, 348, 353, 413), Rect(248, 348, 353, 413)),
    Row<ExitGame_No>(        {"ExitGame_No", 410, 351, dpButton},          Rect(410, 490, 351, 411), Rect(410, 490, 351, 411)),
    Row<TPauseWord>(         {"pause", 0, 0, dpOverlay, true},            None,                     None),
    Row<TMainExit>(          {"Exit_Main", 0, 0, dpCaption, true},        None,                     None),
    Row<TMainExit_Yes>(      {"Exit_Main_Yes", 243, 311, dpOverlay},      Rect(243, 371, 311, 387), Rect(243, 371, 311, 387)),
    Row<TMainExit_No>(       {"Exit_Main_No", 422, 310, dpOverlay},       Rect(422, 528, 310, 387), Rect(422, 528, 310, 387)),
    Row<TEnter_Name_Send>(   {"Enter_Name_Send", 150, 377, dpButton},      None,                     None),
};

} // namespace

std::span<const TButton> ButtonTable()
{
    return kButtons;
}

const TButton& FindButton(std::string_view className)
{
    for (const TButton& button : kButtons)
        if (className == button.Name) return button;
    throw std::logic_error("no button row for class " + std::string(className));
}
