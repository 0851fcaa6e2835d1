// Placement shared by the button and panel classes.
#include "MenuSprites.h"

#include "Unit1.h"

void PlaceMenuSprite(TImageSprite& sprite, const TMenuPlace& place)
{
    TPictureCollectionItem& image = MainForm->ImageList.Items.Find(place.Image);
    sprite.Image = &image;
    sprite.Width = image.Width();
    sprite.Height = image.Height();
    if (place.Centred) {
        const TPictureCollectionItem& basis =
            place.CentreOn != nullptr ? MainForm->ImageList.Items.Find(place.CentreOn) : image;
        // Doubles: an odd difference leaves the sprite on a half pixel.
        sprite.X = (MainForm->DXDraw.Display.Width - basis.Width()) / 2.0;
        sprite.Y = (MainForm->DXDraw.Display.Height - basis.Height()) / 2.0;
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
