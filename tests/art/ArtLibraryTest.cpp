// SPDX-License-Identifier: GPL-3.0-or-later
// The built image library Data/Graphic.dxg against what the game's screens
// need of it: every name, sizes, pattern counts, highlights over their
// rectangles, text that fits its fields, and keys no real pixel takes.
#include "GraphicLibraryFixture.h"

#include "Colors.h"
#include "PixelFormat.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

const char* const kAllNames[] = {
    "menu", "fon_all", "SceneExit", "bgGameOver", "fon_help", "fon_options", "fon_high_scores",
    "Start Game", "Help", "Options", "High Score", "Visit Web Site", "Exit", "Help_Up", "Help_Back", "Help_Down",
    "Options_back", "HighScore_Clear", "High Score_Back", "HighScore_View", "ExitGame_Yes", "ExitGame_No",
    "Exit_Main_Yes", "Exit_Main_No", "ClearHighScore_Yes", "ClearHighScore_No", "Options_window_mode",
    "Options_full_screen", "Options_music_on", "Options_music_off", "Options_sound_on", "Options_sound_off",
    "Exit_Main", "ClearHighScore", "pause", "Enter_Name", "Enter_Name_Send", "pricel", "pricel_anim",
    "cifra0", "cifra1", "cifra2", "cifra3", "cifra4", "cifra5", "cifra6", "cifra7", "cifra8", "cifra9",
    "cifra_prefix", "Health_0", "Health_1", "Health_2", "Health_3", "Health_4", "Health_5", "Health_6",
    "Health_7", "Health_8", "Health_9", "Health_percent", "Bukva_A", "Bukva_B", "Bukva_C", "Bukva_D", "Bukva_E",
    "Bukva_F", "Bukva_G", "Bukva_H", "Bukva_I", "Bukva_J", "Bukva_K", "Bukva_L", "Bukva_M", "Bukva_N", "Bukva_O",
    "Bukva_P", "Bukva_Q", "Bukva_R", "Bukva_S", "Bukva_T", "Bukva_U", "Bukva_V", "Bukva_W", "Bukva_X", "Bukva_Y",
    "Bukva_Z", "Bukva_0", "Bukva_1", "Bukva_2", "Bukva_3", "Bukva_4", "Bukva_5", "Bukva_6", "Bukva_7", "Bukva_8",
    "Bukva_9", "Bukva_prefix", "Lifes_1", "Lifes_2", "Lifes_3", "odinoch", "ochered", "level",
    "Word_Level_begin", "Fight", "Icon",
    // the battlefield and the help pages
    "Scene1", "Scene2", "Scene3", "Scene4", "Scene1_stone", "Scene1_bochka", "Scene1_kolodez", "Scene1_tank",
    "Scene1_house1", "Scene1_house2", "Scene1_palma", "Scene2_palma", "Scene2_plane", "Scene2_kolodez",
    "Scene2_vert", "Scene2_house1", "Scene2_house2", "Scene3_palma", "Scene3_gruzovic", "Scene3_kolodez",
    "Scene3_bochka", "Scene3_bochki", "Scene3_trava", "Scene3_house1", "Scene4_palma1", "Scene4_tarelka",
    "Scene4_bochka1", "Scene4_bochka2", "Scene4_bochka3", "Scene4_pushka1", "Scene4_pushka2", "Scene4_trava1",
    "Scene4_trava2", "terror1_move", "terror1_move_back", "terror1_fight", "terror1_fight_back", "terror1_dead",
    "terror2_move", "terror2_move_back", "terror2_fight", "terror2_fight_back", "terror2_dead", "terror3_move",
    "terror3_move_back", "terror3_fight", "terror3_fight_back", "terror3_dead", "terror4_move", "terror4_move_back",
    "terror4_fight", "terror4_fight_back", "terror4_dead", "terror5_move", "terror5_move_back", "terror5_fight",
    "terror5_fight_back", "terror5_razvorot", "terror5_razvorot_back", "terror6_move", "terror6_move_back",
    "terror6_fight", "terror6_fight_back", "terror6_razvorot", "terror6_razvorot_back", "terror8_move",
    "terror8_move_back", "terror8_fight", "terror8_fight_back", "terror8_razvorot", "terror8_razvorot_back",
    "terror7_move", "terror7_move_back", "terror7_fight", "terror7_fight_back", "plane", "plane_", "roket",
    "roket_", "popal", "gotov", "Bonus_dead", "bomb", "med", "Life", "dollar", "Cherep", "artobstrel", "ocher",
    "ak47", "Splash_1", "Splash_2", "Splash_3", "Splash_4", "Splash_5", "Splash_6", "help1", "help2", "help3",
    "help4",
};

const std::string kLetters = "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";

TEST_F(GraphicLibrary, HoldsEveryNameExactlyOnce)
{
    for (const char* name : kAllNames) {
        int count = 0;
        for (int i = 0; i < Library_->Count(); ++i)
            if (Library_->Items(i).Name() == name) ++count;
        EXPECT_EQ(count, 1) << name;
        EXPECT_TRUE(Item(name).Picture.HasGraphic()) << name;
    }
}

TEST_F(GraphicLibrary, BackdropsFillTheScreenOpaquely)
{
    for (const char* name : {"menu", "fon_all", "SceneExit", "bgGameOver"}) {
        const auto& item = Item(name);
        EXPECT_EQ(item.Picture.Width(), 800) << name;
        EXPECT_EQ(item.Picture.Height(), 600) << name;
        EXPECT_EQ(item.PatternCount(), 1) << name;
        EXPECT_FALSE(item.Transparent) << name;
    }
}

// A highlight (or option indicator) drawn at its place must cover the
// rectangle that lights it, give or take the few pixels the positions and
// rectangles themselves disagree by.
struct THighlight {
    const char* Name;
    int X, Y;         // where the game draws it
    int X1, X2, Y1, Y2; // the rectangle, inclusive
};

const THighlight kHighlights[] = {
    {"Start Game", 215, 32, 215, 540, 32, 89},
    {"Help", 311, 122, 311, 441, 122, 179},
    {"Options", 260, 213, 260, 490, 213, 270},
    {"High Score", 226, 300, 226, 524, 300, 357},
    {"Visit Web Site", 171, 389, 171, 576, 389, 446},
    {"Exit", 239, 478, 239, 516, 478, 532},
    {"Help_Up", 246, 451, 243, 297, 451, 520},
    {"Help_Back", 324, 458, 324, 451, 458, 516},
    {"Help_Down", 480, 453, 480, 531, 453, 522},
    {"Options_back", 324, 464, 324, 451, 464, 522},
    {"HighScore_Clear", 104, 465, 104, 268, 465, 533},
    {"High Score_Back", 324, 464, 324, 451, 464, 522},
    {"HighScore_View", 497, 464, 497, 706, 464, 532},
    {"ExitGame_Yes", 248, 353, 248, 348, 353, 413},
    {"ExitGame_No", 410, 351, 410, 490, 351, 411},
    {"Exit_Main_Yes", 243, 311, 243, 371, 311, 387},
    {"Exit_Main_No", 422, 310, 422, 528, 310, 387},
    {"ClearHighScore_Yes", 254, 315, 254, 336, 315, 373},
    {"ClearHighScore_No", 427, 315, 427, 498, 315, 371},
    // option indicators over their click rectangles
    {"Options_window_mode", 266, 137, 266, 432, 137, 184},
    {"Options_full_screen", 455, 137, 455, 722, 137, 184},
    {"Options_music_on", 260, 223, 260, 324, 221, 271},
    {"Options_music_off", 342, 221, 342, 431, 221, 271},
    {"Options_sound_on", 268, 312, 268, 330, 311, 361},
    {"Options_sound_off", 350, 311, 350, 439, 311, 361},
};

TEST_F(GraphicLibrary, HighlightsCoverTheirRectangles)
{
    constexpr int kSlack = 4;
    for (const auto& h : kHighlights) {
        const auto& item = Item(h.Name);
        ASSERT_EQ(item.PatternCount(), 1) << h.Name;
        const TBounds b = OpaqueBounds(item);
        EXPECT_LE(std::abs(h.X + b.Left - h.X1), kSlack) << h.Name << " left";
        EXPECT_LE(std::abs(h.X + b.Right - h.X2), kSlack) << h.Name << " right";
        EXPECT_LE(std::abs(h.Y + b.Top - h.Y1), kSlack) << h.Name << " top";
        EXPECT_LE(std::abs(h.Y + b.Bottom - h.Y2), kSlack) << h.Name << " bottom";
        // Solid, not a ring: the rectangle is nearly all lit.
        long inside = 0;
        for (int y = h.Y1; y <= h.Y2; ++y)
            for (int x = h.X1; x <= h.X2; ++x) {
                const int px = x - h.X, py = y - h.Y;
                if (px >= 0 && py >= 0 && px < item.Width() && py < item.Height() &&
                    !Clear(item, PatternPixel(item, 0, px, py)))
                    ++inside;
            }
        const long area = static_cast<long>(h.X2 - h.X1 + 1) * (h.Y2 - h.Y1 + 1);
        EXPECT_GE(inside * 100, area * 90) << h.Name;
    }
}

TEST_F(GraphicLibrary, FramesAndPanelsStayOnTheScreen)
{
    // Frames are drawn centred on (393, 277) by the size-0 sprite rule.
    for (const char* name : {"fon_help", "fon_options", "fon_high_scores"}) {
        const auto& item = Item(name);
        const int left = 393 + (0 - item.Width()) / 2, top = 277 + (0 - item.Height()) / 2;
        EXPECT_GE(left, 0) << name;
        EXPECT_GE(top, 0) << name;
        EXPECT_LE(left + item.Width(), 800) << name;
        EXPECT_LE(top + item.Height(), 600) << name;
    }
    for (const char* name : {"Exit_Main", "pause", "Enter_Name"}) {
        const auto& item = Item(name);
        EXPECT_LE(item.Width(), 800) << name;
        EXPECT_LE(item.Height(), 600) << name;
        EXPECT_EQ(item.Width() % 2, 0) << name << ": an odd size centres on a half pixel";
        EXPECT_EQ(item.Height() % 2, 0) << name;
    }
    EXPECT_EQ(Item("ClearHighScore").Width(), Item("Exit_Main").Width());
    EXPECT_EQ(Item("ClearHighScore").Height(), Item("Exit_Main").Height());
}

TEST_F(GraphicLibrary, HelpFrameLeavesThePageAreaPlain)
{
    // Page pictures sit centred on (391, 279) above y = 445; the frame under
    // them is one flat colour there.
    const auto& item = Item("fon_help");
    const int left = 393 - item.Width() / 2, top = 277 - item.Height() / 2;
    const uint32_t plain = item.Picture.Graphic.Pixel(391 - left, 279 - top);
    for (int y = 113; y <= 445; ++y)
        for (int x = 70; x <= 712; ++x)
            ASSERT_EQ(item.Picture.Graphic.Pixel(x - left, y - top), plain) << "at " << x << ", " << y;
}

TEST_F(GraphicLibrary, PanelNameFieldAndSendBoxLieInside)
{
    const auto& panel = Item("Enter_Name");
    const int left = (800 - panel.Width()) / 2, top = (600 - panel.Height()) / 2;
    EXPECT_LE(left, 150 - 4);
    EXPECT_LE(top, 197 - 8);
    EXPECT_GE(left + panel.Width(), 620 + 4);
    EXPECT_GE(top + panel.Height(), 420 + 4);
    const auto& tick = Item("Enter_Name_Send");
    EXPECT_LE(tick.Width(), 216 - 150 + 1);
    EXPECT_LE(tick.Height(), 420 - 377 + 1);
}

TEST_F(GraphicLibrary, CrosshairsAnimateAroundAClearCentre)
{
    struct TCase {
        const char* Name;
        int MinPatterns, MaxPatterns;
    };
    for (const TCase& c : {TCase{"pricel", 2, 10}, TCase{"pricel_anim", 2, 16}}) {
        const auto& item = Item(c.Name);
        EXPECT_GE(item.PatternCount(), c.MinPatterns) << c.Name;
        EXPECT_LE(item.PatternCount(), c.MaxPatterns) << c.Name;
        EXPECT_EQ(item.Width(), item.Height()) << c.Name;
        EXPECT_EQ(item.Picture.Width(), item.Width() * item.PatternCount()) << c.Name;
        // The game centres the pattern on the mouse: round(MouseX - W / 2).
        for (int p = 0; p < item.PatternCount(); ++p) {
            EXPECT_TRUE(Clear(item, PatternPixel(item, p, item.Width() / 2, item.Height() / 2))) << c.Name << " " << p;
            EXPECT_GT(OpaqueBounds(item, p).Opaque, 100) << c.Name << " " << p;
        }
    }
    // Each pattern differs from the one before, or there is nothing to see move.
    for (const char* name : {"pricel", "pricel_anim"}) {
        const auto& item = Item(name);
        for (int p = 1; p < item.PatternCount(); ++p) {
            int changed = 0;
            for (int y = 0; y < item.Height(); ++y)
                for (int x = 0; x < item.Width(); ++x)
                    changed += PatternPixel(item, p, x, y) != PatternPixel(item, p - 1, x, y);
            EXPECT_GT(changed, 20) << name << " " << p;
        }
    }
}

TEST_F(GraphicLibrary, FightPlaysAtLeastSixPatternsAndEndsSettled)
{
    const auto& item = Item("Fight");
    EXPECT_GE(item.PatternCount(), 6);
    EXPECT_EQ(item.Picture.Width(), item.Width() * item.PatternCount());
    EXPECT_LE(item.Width(), 800);
    // Grows from small to its full size.
    EXPECT_LT(OpaqueBounds(item, 0).Opaque * 2, OpaqueBounds(item, item.PatternCount() - 1).Opaque);
}

TEST_F(GraphicLibrary, DigitFamiliesHaveOneSizeEach)
{
    struct TFamily {
        std::string Prefix;
        int W, H;
    };
    for (const TFamily& f : {TFamily{"cifra", 24, 36}, TFamily{"Health_", 30, 42}}) {
        const auto& zero = Item(f.Prefix + "0");
        EXPECT_NEAR(zero.Width(), f.W, 4) << f.Prefix;
        EXPECT_NEAR(zero.Height(), f.H, 4) << f.Prefix;
        for (char d = '0'; d <= '9'; ++d) {
            const auto& item = Item(f.Prefix + d);
            EXPECT_EQ(item.Width(), zero.Width()) << f.Prefix << d;
            EXPECT_EQ(item.Height(), zero.Height()) << f.Prefix << d;
            EXPECT_EQ(item.PatternCount(), 1) << f.Prefix << d;
        }
    }
    EXPECT_EQ(Item("Health_percent").Height(), Item("Health_0").Height());
    // The colon sits between minutes ending at x = 90 and seconds from 110.
    EXPECT_LE(Item("cifra_prefix").Width(), 20);
}

TEST_F(GraphicLibrary, LettersFitTheirFields)
{
    int widest = 0;
    for (char c : kLetters) {
        const auto& item = Item(std::string("Bukva_") + c);
        EXPECT_EQ(item.Height(), Item("Bukva_A").Height()) << c;
        widest = std::max(widest, item.Width());
    }
    // Ten letters in the name field (x 180-620) and the options box (text
    // from x = 390, box to x = 720); a whole line no taller than the field.
    EXPECT_LE(10 * widest, 440);
    EXPECT_LE(390 + 10 * widest, 720);
    EXPECT_LE(Item("Bukva_A").Height(), 370 - 330);
    // At two thirds size, a name from x = 225 ends before the scores at 545,
    // and a row is no taller than the 28 pixels between the last two rows.
    EXPECT_LE(225 + 10 * widest / 1.5, 545);
    EXPECT_LE(Item("Bukva_A").Height() / 1.5, 28);
    EXPECT_LE(Item("Health_0").Height() / 1.5, 28);
    // The cursor, drawn at H(A) - 10 below the text's top, stays in the field.
    EXPECT_LE(Item("Bukva_A").Height() - 10 + Item("Bukva_prefix").Height(), 370 - 330);
}

TEST_F(GraphicLibrary, HudPicturesFitTheirCorners)
{
    for (const char* name : {"Lifes_1", "Lifes_2", "Lifes_3"}) {
        const auto& item = Item(name);
        // Centred on x = 43 from y = 538, clear of the health digits at x = 90.
        EXPECT_GE(43 - item.Width() / 2.0, 0) << name;
        EXPECT_LE(43 + item.Width() / 2.0, 90) << name;
        EXPECT_LE(538 + item.Height(), 600) << name;
    }
    EXPECT_LT(Item("Lifes_1").Width(), Item("Lifes_2").Width());
    EXPECT_LT(Item("Lifes_2").Width(), Item("Lifes_3").Width());
    for (const char* name : {"odinoch", "ochered"}) {
        EXPECT_LE(735 + Item(name).Width(), 800) << name;
        EXPECT_LE(543 + Item(name).Height(), 600) << name;
    }
    // "level" and the level digits, centred together on x = 700.
    EXPECT_LE(700 + (Item("level").Width() + 10 + 3 * Item("cifra0").Width()) / 2.0, 800);
    EXPECT_LE(12 + Item("level").Height(), 6 + Item("cifra0").Height() + 2);
    // The caption stops with its right edge at 390, before the number at 450.
    EXPECT_LT(Item("Word_Level_begin").Width(), 390);
}

TEST_F(GraphicLibrary, EveryPictureIsStoredWithAPalette)
{
    // The art tool keeps every picture to 256 colours (the key included), so
    // the library stays small: 8 bits a pixel, run-length coded.
    for (int i = 0; i < Library_->Count(); ++i) {
        const auto& item = Library_->Items(i);
        if (!item.Picture.HasGraphic()) continue;
        EXPECT_EQ(item.Picture.Graphic.BitCount, 8) << item.Name();
        EXPECT_LE(item.Picture.Graphic.Palette.size(), 256u) << item.Name();
    }
}

TEST_F(GraphicLibrary, NoOpaquePixelTakesTheKeyEvenAtSixteenBits)
{
    const TPixelFormat f565 = TPixelFormat::RGB565();
    for (int i = 0; i < Library_->Count(); ++i) {
        const auto& item = Library_->Items(i);
        if (!item.Transparent || !item.Picture.HasGraphic()) continue;
        const uint32_t key = ColorRefToRGB(item.TransparentColor) & 0x00FFFFFF;
        const uint32_t key565 = f565.RGBToPixel(key);
        long clear = 0;
        for (uint32_t p : item.Picture.Graphic.Pixels) {
            const uint32_t rgb = p & 0x00FFFFFF;
            if (rgb == key) {
                ++clear;
                continue;
            }
            ASSERT_NE(f565.RGBToPixel(rgb), key565) << item.Name() << ": an opaque pixel turns into the key";
        }
        EXPECT_GT(clear, 0) << item.Name() << " is transparent but has no clear pixel";
    }
}

} // namespace
