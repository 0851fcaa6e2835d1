// SPDX-License-Identifier: GPL-3.0-or-later
// What the screens share: the plain frame, button hover, text entry and
// the focus handling of every screen but the game.
#include "Screen.h"

#include "BackgroundSprite.h"
#include "DXDraw.h"
#include "DXSpriteEngine.h"
#include "SpriteWalks.h"

namespace {

const char* const kPausedCaption = "Zarvenok [Pause]";
const char* const kCaption = "Zarvenok";

// Inclusive on both ends.
bool InRange(int v, int from, int to)
{
    return v >= from && v <= to;
}

bool IsLetter(int key)
{
    return key >= 'A' && key <= 'Z';
}

// The button under the pointer; on the menu the vertical band is tested first.
const TButton* FindHover(std::span<const TButton* const> buttons, int x, int y, bool rowsFirst)
{
    for (const TButton* button : buttons) {
        const TScreenRect& h = button->Hover.value();
        const bool band = rowsFirst ? InRange(y, h.Top, h.Bottom) : InRange(x, h.Left, h.Right);
        if (!band) continue;
        const bool other = rowsFirst ? InRange(x, h.Left, h.Right) : InRange(y, h.Top, h.Bottom);
        // In the band but beside the button: nothing else is tested.
        return other ? button : nullptr;
    }
    return nullptr;
}

} // namespace

void ClearBackSurface(TGameContext& game)
{
    TDirectDrawSurface* surface = game.Display().Surface();
    if (surface == nullptr || game.Display().DrawingSkipped) return;
    // A backdrop that paints every pixel hides the fill completely: the
    // frame is the same without it, and a full-screen fill is not cheap.
    bool covered = false;
    ForEachChild<TBackgroundSprite>(game.Root(), [&covered](const TBackgroundSprite& backdrop) {
        covered = covered || backdrop.CoversSurface();
    });
    if (!covered) surface->Fill(0);
}

void TScreen::PlainFrame(bool fill)
{
    TDXSpriteEngine& sprites = Game.Sprites();
    sprites.Move(16);
    sprites.Dead();
    if (fill) ClearBackSurface(Game);
    sprites.Draw();
}

void TScreen::Hover(std::span<const TButton* const> buttons, bool rowsFirst)
{
    if (const TButton* hit = FindHover(buttons, Game.Input.MouseX, Game.Input.MouseY, rowsFirst)) {
        hit->Create(&Game.Root());
        if (Game.Menus.HoverArmed) {
            Game.StopSound(TSound::ButtonUp);
            Game.PlaySound(TSound::ButtonUp);
        }
        Game.Menus.HoverArmed = false;
    } else {
        Game.Menus.HoverArmed = true;
    }
}

void TScreen::TypeInto(std::string& buffer, int key)
{
    if (!Game.GamegoEdit) return;
    if (key == VirtualKey::Backspace && !buffer.empty()) buffer.pop_back();
    if (buffer.size() < 10 && IsLetter(key)) buffer += static_cast<char>(key);
}

void TScreen::FocusLost()
{
    Game.Activation.FocusLost = true;
    Game.SetCaption(kPausedCaption);
}

void TScreen::FocusRegained()
{
    Game.SetCaption(kCaption);
}
