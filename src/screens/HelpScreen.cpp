// SPDX-License-Identifier: GPL-3.0-or-later
// The help screen: one of four pages in a common frame.
#include "HelpScreen.h"

#include "Depths.h"
#include "Images.h"
#include "Pricel.h"
#include "ScreenSprites.h"
#include "SpriteEngine.h"

namespace {

struct THelpPage {
    const char* Image;
    int X;
    int Y;
};

// Centred on these points; the second page's picture sits a little right.
constexpr THelpPage kPages[] = {
    {"help1", 391, 279},
    {"help2", 402, 279},
    {"help3", 391, 279},
    {"help4", 391, 279},
};
constexpr int kPageCount = 4;

} // namespace

std::span<const char* const> HelpPageImages()
{
    static const std::array<const char*, kPageCount> names{kPages[0].Image, kPages[1].Image, kPages[2].Image,
                                                           kPages[3].Image};
    return names;
}

void THelpScreen::Build()
{
    const int page = Game.Menus.HelpPage;
    if (page >= 1 && page <= kPageCount) {
        const THelpPage& row = kPages[page - 1];
        Game.Root().Clear();
        new Pricel(&Game.Root());
        CreateCentredPicture(Game.Root(), Game.Image(row.Image), row.X, row.Y, dpScreen);
    }
    CreateBackdrop(Game.Root(), Game.Image(Images::ScreenFrame));
    // Created after the page at the same depth, so painted beneath it.
    CreateCentredPicture(Game.Root(), Game.Image(Images::HelpFrame), 393, 277, dpScreen);
}

void THelpScreen::KeyDown(int key, bool /*alt*/)
{
    if (key == VirtualKey::Escape) Game.GoToState(gsMenu);
}

void THelpScreen::MouseDown(TMouseButton button, int /*x*/, int /*y*/)
{
    if (button != TMouseButton::Left) return;
    TMenuState& menus = Game.Menus;
    if (Pressed<HelpGame_Up>(Game)) {
        if (menus.HelpPage > 1) {
            --menus.HelpPage;
            Game.GoToState(gsHelp);
            Click();
        }
    } else if (Pressed<HelpGame_Back>(Game)) {
        Game.GoToState(gsMenu);
        Click();
    } else if (Pressed<HelpGame_Down>(Game)) {
        if (menus.HelpPage < kPageCount) {
            ++menus.HelpPage;
            Game.GoToState(gsHelp);
            Click();
        }
    }
}

void THelpScreen::PointerMoved(int /*x*/, int /*y*/)
{
    Hover(ScreenButtons<HelpGame_Up, HelpGame_Back, HelpGame_Down>());
}
