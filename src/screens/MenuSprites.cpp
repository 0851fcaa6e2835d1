// SPDX-License-Identifier: GPL-3.0-or-later
// Placement shared by the button and panel classes.
#include "MenuSprites.h"

#include "DXDraw.h"
#include "GameContext.h"

void PlaceMenuSprite(TImageSprite& sprite, const TMenuPlace& place)
{
    TGameContext& game = Game();
    TPictureCollectionItem& image = game.Image(place.Image);
    sprite.Image = &image;
    sprite.Width = image.Width();
    sprite.Height = image.Height();
    if (place.Centred) {
        const TPictureCollectionItem& basis =
            place.CentreOn != nullptr ? game.Image(place.CentreOn) : image;
        // Doubles: an odd difference leaves the sprite on a half pixel.
        sprite.X = (game.Display().Display.Width - basis.Width()) / 2.0;
        sprite.Y = (game.Display().Display.Height - basis.Height()) / 2.0;
    } else {
        sprite.X = place.X;
        sprite.Y = place.Y;
    }
    sprite.SetZ(place.Z);
}

TMenuGame::TMenuGame(TSprite* parent, const TMenuPlace& place) : TImageSprite(parent)
{
    PlaceMenuSprite(*this, place);
}

TMenu::TMenu(TSprite* parent, const TMenuPlace& place) : TImageSprite(parent)
{
    PlaceMenuSprite(*this, place);
}
