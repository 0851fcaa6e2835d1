// SPDX-License-Identifier: GPL-3.0-or-later
// Image sprites: animation steps, painting the current pattern, tiled
// rectangles and the pixel-exact collision test in every surface depth.
#include "ImageSprite.h"
#include "SpriteScene.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

using Rows = std::vector<std::string>;

TEST(TImageSprite, AnimationLoopsOrStopsOnItsLastFrame)
{
    struct Case {
        bool looped;
        int count;
        double pos, speed;
        int moveCount;
        double wantPos, wantSpeed;
    };
    const Case cases[] = {
        {false, 4, 3.5, 0.1, 16, 3.0, 0.0},   // one-shot ends on its last frame
        {true, 4, 3.5, 0.1, 16, 1.1, 0.1},    // 3.5 + 1.6 - 4
        {true, 4, 0.5, -0.1, 16, 2.9, -0.1},  // backwards through 0
        {true, 4, 1.0, 1.0, 16, 1.0, 1.0},    // whole turns
        {true, 0, 3.0, 0.5, 16, 0.0, 0.5},
        {false, 0, 0.0, 0.5, 16, 0.0, 0.0},
        {false, 4, 0.5, -0.1, 16, 0.0, 0.0},  // ran off the front
        {false, 4, 1.0, 0.1, 16, 2.6, 0.1},
    };
    TSpriteEngine root;
    for (const Case& c : cases) {
        auto* s = new TImageSprite(&root);
        s->AnimLooped = c.looped;
        s->AnimCount = c.count;
        s->AnimPos = c.pos;
        s->AnimSpeed = c.speed;
        s->Move(c.moveCount);
        EXPECT_NEAR(s->AnimPos, c.wantPos, 1e-9) << c.looped << " " << c.count << " " << c.pos << " " << c.speed;
        EXPECT_DOUBLE_EQ(s->AnimSpeed, c.wantSpeed);
        EXPECT_GE(s->AnimPos, 0.0);
    }
}

// Draws a pattern's non-key pixels over rows, as the expected picture.
Rows Overlay(Rows base, const Rows& pattern, int dx, int dy)
{
    for (int r = 0; r < static_cast<int>(pattern.size()); ++r)
        for (int c = 0; c < static_cast<int>(pattern[0].size()); ++c) {
            const int x = dx + c, y = dy + r;
            if (y < 0 || y >= static_cast<int>(base.size()) || x < 0 || x >= static_cast<int>(base[0].size())) continue;
            if (pattern[r][c] != '.') base[y][x] = pattern[r][c];
        }
    return base;
}

TEST(TImageSprite, PaintsTheCurrentPatternCentredOnItsRectangle)
{
    const Rows pattern0 = {"R.R", ".R.", "R.R"};
    const Rows pattern1 = {"GGG", "G.G", "GGG"};
    struct Case {
        const char* name;
        double x, y;
        int w, h;
        int animStart;
        double animPos;
        bool withImage;
        const Rows* want;  // nullptr: nothing painted
        int dx, dy;        // where the pattern lands, from the sprite's position
    };
    const Case cases[] = {
        {"pattern 0", 10, 20, 3, 3, 0, 0.9, true, &pattern0, 0, 0},
        {"frame 1 from AnimPos", 10, 20, 3, 3, 0, 1.7, true, &pattern1, 0, 0},
        {"frame 0 after AnimStart 1", 10.9, 20.9, 3, 3, 1, 0.2, true, &pattern1, 0, 0},
        {"centred on a larger sprite", 10, 20, 7, 6, 0, 0, true, &pattern0, 2, 1},
        {"centred on a point", 12, 22, 0, 0, 1, 0, true, &pattern1, -1, -1},
        {"index past the patterns", 10, 20, 3, 3, 0, 2.0, true, nullptr, 0, 0},
        {"negative index", 10, 20, 3, 3, -1, 0.5, true, nullptr, 0, 0},
        {"no image", 10, 20, 3, 3, 0, 0, false, nullptr, 0, 0},
    };
    for (const Case& c : cases) {
        TSpriteScene scene;
        TPictureCollectionItem& image =
            scene.AddImage("cells", {"R.RGGG", ".R.G.G", "R.RGGG"}, 3, 3);
        ASSERT_EQ(image.PatternCount(), 2);
        auto* s = new TImageSprite(&scene.Root());
        s->X = c.x;
        s->Y = c.y;
        s->Width = c.w;
        s->Height = c.h;
        s->AnimStart = c.animStart;
        s->AnimPos = c.animPos;
        s->Image = c.withImage ? &image : nullptr;

        scene.Surface().Fill(scene.Surface().PixelFormat().RGBToPixel(kSceneColors.at('B')));
        scene.Sprites.Draw();
        const Rows background(12, std::string(12, 'B'));
        const Rows want = c.want ? Overlay(background, *c.want, 4 + c.dx, 4 + c.dy) : background;
        // The window starts 4 pixels above and left of the sprite's whole position.
        EXPECT_EQ(scene.Snapshot(static_cast<int>(c.x) - 4, static_cast<int>(c.y) - 4, 12, 12), want) << c.name;
        EXPECT_EQ(scene.Root().DrawCount(), 1) << c.name;
    }
}

TEST(TImageSprite, PaintingClipsAtTheSurfaceEdge)
{
    TSpriteScene scene(TPixelFormat::RGB565(), 40, 30);
    auto* s = new TImageSprite(&scene.Root());
    s->Image = &scene.AddImage("dot", {"RG", "BY"});
    s->Width = 2;
    s->Height = 2;
    s->X = 39;
    s->Y = -1;
    scene.Sprites.Draw();
    EXPECT_EQ(scene.Snapshot(37, 0, 3, 2), (Rows{"..B", "..."}));
    EXPECT_EQ(scene.Root().DrawCount(), 1);
}

TEST(TImageSprite, TiledRectangleWrapsAroundTheSurface)
{
    struct Case {
        double x, y;
        TRect want;
    };
    // 800 x 600 surface, 10 x 20 sprite: the period is 810 across and 620 down.
    const Case cases[] = {
        {0, 0, {0, 0, 10, 20}},
        {800, 600, {800, 600, 810, 620}},
        {805, 0, {-5, 0, 5, 20}},
        {-5, -15, {-5, -15, 5, 5}},
        {-20, -30, {790, 590, 800, 610}},
        {1620 + 7, 620 * 3 + 1, {7, 1, 17, 21}},
        {-1e12, 0, {502, 0, 512, 20}},  // saturated at INT_MIN, still wrapped into the period
    };
    TSpriteScene scene;
    auto* plain = new TImageSprite(&scene.Root());
    plain->X = 805;
    plain->Width = 10;
    EXPECT_EQ(plain->BoundsRect(), (TRect{805, 0, 815, 0}));
    for (const Case& c : cases) {
        auto* s = new TImageSprite(&scene.Root());
        s->Width = 10;
        s->Height = 20;
        s->X = c.x;
        s->Y = c.y;
        s->Tile = true;
        EXPECT_EQ(s->BoundsRect(), c.want) << c.x << "," << c.y;
    }
}

// Two 4 x 4 images, solid only in their left or right half.
struct TPixelScene : TSpriteScene {
    explicit TPixelScene(const TPixelFormat& format) : TSpriteScene(format)
    {
        Left = &AddImage("left", {"RR..", "RR..", "RR..", "RR.."});
        Right = &AddImage("right", {"..GG", "..GG", "..GG", "..GG"});
    }
    TImageSprite* Place(TPictureCollectionItem* image, double x, double y, bool pixelCheck)
    {
        auto* s = new TImageSprite(&Root());
        s->Image = image;
        s->X = x;
        s->Y = y;
        s->Width = 4;
        s->Height = 4;
        s->PixelCheck = pixelCheck;
        return s;
    }
    TPictureCollectionItem* Left = nullptr;
    TPictureCollectionItem* Right = nullptr;
};

TEST(TImageSprite, PixelCheckCountsOnlyWhereSolidPixelsMeet)
{
    struct Case {
        const char* name;
        bool queryRight;  // query shows "right", the other "left"; else the reverse
        double x, y;      // the other sprite's position; the query stands at (0, 0)
        bool checkQuery, checkOther;
        int size;  // the other sprite's width and height
        double animPos;
        int hits;
    };
    const Case cases[] = {
        {"rectangles overlap, solids apart", false, 0, 0, true, false, 4, 0, 0},
        {"no pixel check: rectangles decide", false, 0, 0, false, false, 4, 0, 1},
        {"the other's check runs the other way", false, 0, 0, false, true, 4, 0, 0},
        {"solids meet in one column", false, -1, 0, true, true, 4, 0, 1},
        {"solids meet diagonally", false, -3, 3, true, false, 4, 0, 1},
        {"corner pixels only touch", false, -4, 3, true, false, 4, 0, 0},
        {"right meets left", true, 1, 0, true, true, 4, 0, 1},
        {"left below right, apart", true, 0, 1, true, false, 4, 0, 0},
        {"pattern index out of range", false, -1, 0, true, false, 4, 1.0, 0},
        {"centred image: drawn at (0, 0)", false, -2, -2, true, false, 8, 0, 0},
    };
    const TPixelFormat formats[] = {TPixelFormat::XRGB8888(), TPixelFormat::RGB565(), TPixelFormat::RGB888()};
    for (const TPixelFormat& format : formats) {
        for (const Case& c : cases) {
            TPixelScene scene(format);
            TImageSprite* query = scene.Place(c.queryRight ? scene.Right : scene.Left, 0, 0, c.checkQuery);
            TImageSprite* other = scene.Place(c.queryRight ? scene.Left : scene.Right, c.x, c.y, c.checkOther);
            other->Width = other->Height = c.size;
            other->AnimPos = c.animPos;
            EXPECT_EQ(query->Collision(), c.hits) << c.name << " at " << format.BitCount << " bits";
            for (const auto* image : {scene.Left, scene.Right})
                for (const auto& surface : image->Surfaces()) EXPECT_EQ(surface->LockCount(), 0) << c.name;
        }
    }
}

TEST(TImageSprite, PixelCheckAgainstAPlainSpriteUsesTheRectangle)
{
    TPixelScene scene(TPixelFormat::XRGB8888());
    TImageSprite* query = scene.Place(scene.Left, 0, 0, true);
    auto* plain = new TSprite(&scene.Root());
    plain->X = 3;
    plain->Width = plain->Height = 1;  // over a key pixel of the query
    EXPECT_EQ(query->Collision(), 1);
}

TEST(TImageSprite, PixelCheckComparesTheLow24BitsOfA32BitPixel)
{
    TPixelScene scene(TPixelFormat::XRGB8888());
    TImageSprite* query = scene.Place(scene.Left, 0, 0, true);
    scene.Place(scene.Right, 0, 0, false);
    TDirectDrawSurface& surface = *scene.Left->PatternSurface(0);
    const TRect r = scene.Left->PatternRect(0);
    for (int y = 0; y < 4; ++y) surface.SetPixel(r.Left + 2, r.Top + y, 0xFF000000);  // key colour, high byte set
    EXPECT_EQ(query->Collision(), 0);
    surface.SetPixel(r.Left + 3, r.Top + 1, 0x00000001);
    EXPECT_EQ(query->Collision(), 1);
}

TEST(TImageSprite, PixelCheckAt24BitsKnowsAKeyWhoseBlueAndRedDiffer)
{
    TSpriteScene scene(TPixelFormat::RGB888());
    TImageSprite* sprites[2];
    const std::vector<std::string> pictures[2] = {{"GGRR", "GGRR"}, {"RRGG", "RRGG"}};
    for (int i = 0; i < 2; ++i) {
        auto& image = scene.AddImage(i == 0 ? "a" : "b", pictures[i]);
        image.TransparentColor = 0x000000FF; // red is the key
        image.Restore();
        sprites[i] = new TImageSprite(&scene.Root());
        sprites[i]->Image = &image;
        sprites[i]->Width = 4;
        sprites[i]->Height = 2;
        sprites[i]->PixelCheck = true;
    }
    EXPECT_EQ(sprites[0]->Collision(), 0) << "the green halves stand apart";
    sprites[1]->X = -1;
    EXPECT_EQ(sprites[0]->Collision(), 1);
}

TEST(TImageSprite, PixelCheckBetweenSurfacesOfDifferentDepthsIsAHit)
{
    TPixelScene scene(TPixelFormat::XRGB8888());
    TPixelScene other(TPixelFormat::RGB565());
    TImageSprite* query = scene.Place(scene.Left, 0, 0, true);
    scene.Place(other.Right, 0, 0, false);  // solids apart, but nothing to compare
    EXPECT_EQ(query->Collision(), 1);
    EXPECT_EQ(other.Right->PatternSurface(0)->LockCount(), 0);
    EXPECT_EQ(scene.Left->PatternSurface(0)->LockCount(), 0);
}

TEST(TImageSprite, PixelCheckFailsWhenAPatternSurfaceCannotBeLocked)
{
    TPixelScene scene(TPixelFormat::RGB565());
    TImageSprite* query = scene.Place(scene.Left, 0, 0, true);
    scene.Place(scene.Right, -1, 0, false);
    ASSERT_EQ(query->Collision(), 1);
    scene.Right->PatternSurface(0)->MarkLost();
    EXPECT_EQ(query->Collision(), 0);
    scene.Right->PatternSurface(0)->Restore();
    scene.Left->PatternSurface(0)->MarkLost();
    EXPECT_EQ(query->Collision(), 0);
    EXPECT_EQ(scene.Right->PatternSurface(0)->LockCount(), 0);
    EXPECT_EQ(scene.Left->PatternSurface(0)->LockCount(), 0);
}

TEST(TImageSprite, PixelCheckNeverReadsPastAPatternSurface)
{
    // Patterns 10 wide on a pitch of 5 overlap, so a pattern near the end of
    // a 515-pixel block reaches 5 pixels past it.
    TPixelScene scene(TPixelFormat::XRGB8888());
    std::string row(520, '.');
    row[514] = 'G';
    std::fill(row.begin() + 515, row.end(), 'R');  // on the next block
    TPictureCollectionItem& strip = scene.AddImage("strip", {row}, 10, 1, -5);
    const TRect r = strip.PatternRect(102);
    ASSERT_EQ(r, (TRect{510, 0, 520, 1}));
    ASSERT_EQ(strip.PatternSurface(102)->Width(), 515);

    struct Case {
        double otherX;
        int otherWidth;
        int hits;
    };
    const Case cases[] = {{4, 6, 1}, {5, 5, 0}, {9, 1, 0}};
    for (const Case& c : cases) {
        auto* query = new TImageSprite(&scene.Root());
        query->Image = &strip;
        query->AnimStart = 102;
        query->Width = 10;
        query->Height = 1;
        query->PixelCheck = true;
        auto* other = new TImageSprite(&scene.Root());
        other->Image = &scene.AddSolidImage("bar" + std::to_string(c.otherWidth), c.otherWidth, 1, 'W');
        other->X = c.otherX;
        other->Width = c.otherWidth;
        other->Height = 1;
        other->PixelCheck = true;
        EXPECT_EQ(query->Collision(), c.hits) << c.otherX;
        EXPECT_EQ(other->Collision(), c.hits) << c.otherX;
        scene.Root().Clear();
    }
}

} // namespace
