// SPDX-License-Identifier: GPL-3.0-or-later
// The plain pictures the screens are made of: the tiled backdrop behind a
// screen, and pictures drawn centred on a point.
#pragma once

class TBackgroundSprite;
class TImageSprite;
class TPictureCollectionItem;
class TSprite;

// A 1 x 1 tiled backdrop at depth -1 that covers the surface.
TBackgroundSprite* CreateBackdrop(TSprite& root, TPictureCollectionItem& image);
// A picture with no size of its own, so it is painted centred on (x, y).
TImageSprite* CreateCentredPicture(TSprite& root, TPictureCollectionItem& image, double x, double y, int z);
