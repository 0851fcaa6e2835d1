// The help screen: one of four pages in a common frame.
#include "BackgroundSprite.h"
#include "Pricel.h"
#include "ScreenSprites.h"
#include "Unit1.h"

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

} // namespace

void TMainForm::BuildHelp()
{
    if (Menus.HelpPage >= 1 && Menus.HelpPage <= 4) {
        const THelpPage& page = kPages[Menus.HelpPage - 1];
        Root().Clear();
        new Pricel(&Root());
        CreateCentredPicture(Root(), Image(page.Image), page.X, page.Y, 0);
    }
    CreateBackdrop(Root(), Image("fon_all"));
    // Created after the page at the same depth, so painted beneath it.
    CreateCentredPicture(Root(), Image("fon_help"), 393, 277, 0);
}
