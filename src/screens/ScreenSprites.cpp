// SPDX-License-Identifier: GPL-3.0-or-later
// Backdrops and centred pictures of the screens.
#include "ScreenSprites.h"

#include "BackgroundSprite.h"
#include "Depths.h"
#include "ImageSprite.h"

TBackgroundSprite* CreateBackdrop(TSprite& root, TPictureCollectionItem& image)
{
    auto* backdrop = new TBackgroundSprite(&root);
    backdrop->SetMapSize(1, 1);
    backdrop->Image = &image;
    backdrop->SetZ(dpBackdrop);
    backdrop->Tile = true;
    return backdrop;
}

TImageSprite* CreateCentredPicture(TSprite& root, TPictureCollectionItem& image, double x, double y, int z)
{
    auto* picture = new TImageSprite(&root);
    picture->Image = &image;
    picture->X = x;
    picture->Y = y;
    picture->SetZ(z);
    return picture;
}
