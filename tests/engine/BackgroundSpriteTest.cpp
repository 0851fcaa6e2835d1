// SPDX-License-Identifier: GPL-3.0-or-later
// Backdrops: the cell map, its rectangle, painting once or tiled, and the
// cell-wise collision test.
#include "BackgroundSprite.h"
#include "EngineErrors.h"
#include "SpriteScene.h"

#include <gtest/gtest.h>

namespace {

using Rows = std::vector<std::string>;

TEST(TBackgroundSprite, MapSizeStartsAFreshMapAndReadsOutsideAreEmpty)
{
    TSpriteEngine root;
    auto* bg = new TBackgroundSprite(&root);
    EXPECT_FALSE(bg->Collisioned);
    EXPECT_EQ(bg->MapWidth(), 0);
    EXPECT_EQ(bg->Cells(0, 0), -1);
    EXPECT_FALSE(bg->CollisionMap(0, 0));

    bg->SetMapSize(3, 2);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x) {
            EXPECT_EQ(bg->Cells(x, y), 0);
            EXPECT_TRUE(bg->CollisionMap(x, y));
        }
    for (const auto& [x, y] : {std::pair{-1, 0}, {3, 0}, {0, 2}, {0, -1}, {INT_MAX, INT_MAX}}) {
        EXPECT_EQ(bg->Cells(x, y), -1) << x << "," << y;
        EXPECT_FALSE(bg->CollisionMap(x, y));
        bg->SetCells(x, y, 5);  // ignored
    }

    bg->SetCells(2, 1, 7);
    bg->SetCollisionMap(2, 1, false);
    bg->SetMapSize(3, 2);  // same size: kept
    EXPECT_EQ(bg->Cells(2, 1), 7);
    EXPECT_FALSE(bg->CollisionMap(2, 1));
    bg->SetMapSize(2, 3);  // new size: fresh
    EXPECT_EQ(bg->Cells(1, 2), 0);
    EXPECT_TRUE(bg->CollisionMap(1, 2));

    for (const auto& [w, h] : {std::pair{-1, 5}, {5, 0}}) {
        bg->SetMapSize(w, h);
        EXPECT_EQ(bg->MapWidth(), 0);
        EXPECT_EQ(bg->MapHeight(), 0);
        EXPECT_EQ(bg->Cells(0, 0), -1);
    }

    bg->SetMapSize(1, 1);
    try {
        bg->SetMapSize(1 << 16, 1 << 16);
        ADD_FAILURE() << "a map of 2^32 cells was accepted";
    } catch (const ESpriteError& e) {
        EXPECT_STREQ(e.what(), "Map size too large (65536x65536)");
    }
    EXPECT_EQ(bg->MapWidth(), 1);
    EXPECT_EQ(bg->Cells(0, 0), 0);
}

TEST(TBackgroundSprite, RectangleIsTheSurfaceWhenTiledElseTheMap)
{
    TSpriteScene scene(TPixelFormat::XRGB8888(), 320, 200);
    TPictureCollectionItem& image = scene.AddSolidImage("cell", 8, 6, 'G');
    struct Case {
        bool tile, withImage;
        double x, y;
        TRect want;
    };
    const Case cases[] = {
        {true, true, 50, 60, {0, 0, 320, 200}},
        {true, false, 50, 60, {0, 0, 320, 200}},
        {false, true, 50.7, -60.7, {50, -60, 50 + 8 * 3, -60 + 6 * 2}},
        {false, false, 50, 60, {0, 0, 0, 0}},
    };
    for (const Case& c : cases) {
        auto* bg = new TBackgroundSprite(&scene.Root());
        bg->SetMapSize(3, 2);
        bg->Tile = c.tile;
        bg->Image = c.withImage ? &image : nullptr;
        bg->X = c.x;
        bg->Y = c.y;
        EXPECT_EQ(bg->BoundsRect(), c.want) << c.tile << c.withImage;
    }
}

TEST(TBackgroundSprite, PaintsItsCellsOnceOrTiledOverTheSurface)
{
    struct Case {
        const char* name;
        bool tile;
        double x, y;
        std::vector<int> cells;  // one row
        Rows want;
    };
    const Case cases[] = {
        {"once", false, 3, 1, {0, 1},
         {"..........", "...R.GG...", "...RRGG...", "..........", "..........", ".........."}},
        {"once, partly left of the surface", false, -3, 4, {0, 1},
         {"..........", "..........", "..........", "..........", "G.........", "G........."}},
        {"once, empty cell", false, 3, 1, {-1, 1},
         {"..........", ".....GG...", ".....GG...", "..........", "..........", ".........."}},
        // Three cells, so that a wrong start cell shows.
        {"tiled", true, 1, 0, {0, 1, -1},
         {".R.GG..R.G", ".RRGG..RRG", ".R.GG..R.G", ".RRGG..RRG", ".R.GG..R.G", ".RRGG..RRG"}},
        {"tiled from a negative position", true, -3, -1, {0, 1, -1},
         {"G..RRGG..R", "G..R.GG..R", "G..RRGG..R", "G..R.GG..R", "G..RRGG..R", "G..R.GG..R"}},
        {"tiled from beyond the first cells", true, 5, 0, {0, 1, -1},
         {".GG..R.GG.", "RGG..RRGG.", ".GG..R.GG.", "RGG..RRGG.", ".GG..R.GG.", "RGG..RRGG."}},
    };
    for (const Case& c : cases) {
        TSpriteScene scene(TPixelFormat::RGB565(), 10, 6);
        TPictureCollectionItem& image = scene.AddImage("cells", {"R.GG", "RRGG"}, 2, 2);
        auto* bg = new TBackgroundSprite(&scene.Root());
        bg->Image = &image;
        bg->SetMapSize(static_cast<int>(c.cells.size()), 1);
        for (size_t i = 0; i < c.cells.size(); ++i) bg->SetCells(static_cast<int>(i), 0, c.cells[i]);
        bg->Tile = c.tile;
        bg->X = c.x;
        bg->Y = c.y;
        scene.Sprites.Draw();
        EXPECT_EQ(scene.Snapshot(0, 0, 10, 6), c.want) << c.name;
        EXPECT_EQ(scene.Root().DrawCount(), 1) << c.name;
    }
}

TEST(TBackgroundSprite, FullSurfaceBackdropCoversTheSurfaceExactly)
{
    TSpriteScene scene;
    Rows picture(600, std::string(800, 'G'));
    picture[0][0] = 'R';
    picture[599][799] = 'Y';
    picture[0][799] = 'B';
    TPictureCollectionItem& image = scene.AddImage("backdrop", picture);
    for (bool tile : {true, false}) {
        scene.Root().Clear();
        scene.ClearSurface();
        auto* bg = new TBackgroundSprite(&scene.Root());
        bg->Image = &image;
        bg->SetMapSize(1, 1);
        bg->Tile = tile;
        bg->SetZ(-1);
        scene.Sprites.Draw();
        EXPECT_EQ(scene.Root().DrawCount(), 1);
        EXPECT_EQ(scene.Snapshot(0, 0, 2, 2), (Rows{"RG", "GG"})) << tile;
        EXPECT_EQ(scene.Snapshot(798, 598, 2, 2), (Rows{"GG", "GY"})) << tile;
        EXPECT_EQ(scene.Snapshot(799, 0, 1, 1), (Rows{"B"})) << tile;
    }
}

TEST(TBackgroundSprite, CoversTheSurfaceOnlyWhenEveryPixelIsPainted)
{
    TSpriteScene scene(TPixelFormat::XRGB8888(), 10, 6);
    // Two patterns of 2 x 2: the first solid, the second with a key pixel.
    TPictureCollectionItem& image = scene.AddImage("cells", {"RRG.", "RRGG"}, 2, 2);
    auto* bg = new TBackgroundSprite(&scene.Root());
    bg->Image = &image;
    bg->SetMapSize(2, 1);
    EXPECT_FALSE(bg->CoversSurface()) << "painted once, not tiled";
    bg->Tile = true;
    EXPECT_TRUE(bg->CoversSurface());
    bg->SetCells(1, 0, 1);
    EXPECT_FALSE(bg->CoversSurface()) << "a key pixel shows through";
    image.Transparent = false;
    EXPECT_TRUE(bg->CoversSurface()) << "drawn without its key";
    bg->SetCells(1, 0, -1);
    EXPECT_FALSE(bg->CoversSurface()) << "an empty cell";
    bg->SetCells(1, 0, 5);
    EXPECT_FALSE(bg->CoversSurface()) << "a pattern that does not exist";
    bg->SetCells(1, 0, 0);
    bg->Visible = false;
    EXPECT_FALSE(bg->CoversSurface()) << "hidden";
}

TEST(TBackgroundSprite, PaintsNothingWithoutAUsablePattern)
{
    TSpriteScene scene(TPixelFormat::XRGB8888(), 16, 16);
    TPictureCollectionItem& blank = scene.Images.Items.Add();  // no picture at all
    TPictureCollectionItem& cell = scene.AddSolidImage("cell", 4, 4, 'W');
    struct Case {
        TPictureCollectionItem* image;
        int mapWidth;
    };
    for (const Case& c : {Case{nullptr, 1}, Case{&blank, 1}, Case{&cell, 0}}) {
        scene.Root().Clear();
        auto* bg = new TBackgroundSprite(&scene.Root());
        bg->Image = c.image;
        bg->SetMapSize(c.mapWidth, 1);
        bg->Tile = true;
        scene.Sprites.Draw();
        EXPECT_EQ(scene.Root().DrawCount(), 1);
        EXPECT_EQ(scene.Snapshot(0, 0, 16, 16), Rows(16, std::string(16, '.')));
    }
}

TEST(TBackgroundSprite, FineTestLooksAtTheCollidingCellsUnderTheOtherSprite)
{
    TSpriteScene scene;
    TPictureCollectionItem& cell = scene.AddSolidImage("cell", 4, 4, 'W');
    struct Case {
        const char* name;
        bool tile;
        int otherX, otherY, otherW, otherH;
        bool want;
    };
    // Map of 3 x 2 cells of 4 x 4 at (10, 20); only (1, 0) and (2, 1) collide.
    const Case cases[] = {
        {"on cell (1, 0)", false, 14, 20, 4, 4, true},
        {"on cell (0, 0)", false, 10, 20, 4, 4, false},
        {"touching (1, 0) from the left", false, 12, 20, 2, 4, false},
        {"one pixel into (1, 0)", false, 12, 20, 3, 1, true},
        {"across four cells", false, 17, 23, 2, 2, true},
        {"on cell (2, 0)", false, 18, 20, 4, 4, false},
        {"on cell (2, 1)", false, 18, 24, 4, 4, true},
        {"past the map, untiled", false, 26, 20, 4, 4, false},
        {"past the map, tiled: wraps to (1, 0)", true, 26, 20, 4, 4, true},
        {"left of the map, tiled: wraps to (2, 1)", true, 6, 24, 4, 4, true},
    };
    for (const Case& c : cases) {
        scene.Root().Clear();
        auto* bg = new TBackgroundSprite(&scene.Root());
        bg->Image = &cell;
        bg->X = 10;
        bg->Y = 20;
        bg->Tile = c.tile;
        bg->SetMapSize(3, 2);
        for (int y = 0; y < 2; ++y)
            for (int x = 0; x < 3; ++x) bg->SetCollisionMap(x, y, (x == 1 && y == 0) || (x == 2 && y == 1));
        auto* other = new TSprite(&scene.Root());
        other->X = c.otherX;
        other->Y = c.otherY;
        other->Width = c.otherW;
        other->Height = c.otherH;
        EXPECT_EQ(bg->TestCollision(other), c.want) << c.name;

        bg->Collisioned = true;
        EXPECT_EQ(other->Collision(), c.want ? 1 : 0) << c.name;
    }

    // Nothing to look at: the rectangles decide.
    scene.Root().Clear();
    auto* bg = new TBackgroundSprite(&scene.Root());
    auto* other = new TSprite(&scene.Root());
    bg->SetMapSize(1, 1);
    EXPECT_TRUE(bg->TestCollision(other));
    bg->Image = &cell;
    bg->SetMapSize(0, 0);
    EXPECT_TRUE(bg->TestCollision(other));
}

} // namespace
