// SPDX-License-Identifier: GPL-3.0-or-later
// Image library: the name index, pattern cutting, drawing, the colour
// table, the display's life cycle and the library file round trip.
#include "EngineErrors.h"
#include "PictureCollection.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace {

// A picture whose pixel (x, y) is 0x00xxyy + 1, so every pixel tells where it came from.
TDIB GridPicture(int w, int h)
{
    TDIB dib;
    dib.Width = w;
    dib.Height = h;
    dib.BitCount = 24;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) dib.Pixels.push_back(static_cast<uint32_t>((x << 12) | y) + 1);
    return dib;
}

TPictureCollectionItem& AddItem(TPictureCollection& c, const std::string& name, int w, int h)
{
    auto& item = c.Add();
    item.SetName(name);
    item.Picture.Kind = TPicture::TKind::DIB;
    item.Picture.Graphic = GridPicture(w, h);
    return item;
}

TEST(TPictureCollection, FindIgnoresCaseAndPrefersTheLaterOfEqualNames)
{
    TPictureCollection c;
    auto& scene = AddItem(c, "Scene1", 1, 1);
    auto& first = AddItem(c, "terror", 1, 1);
    auto& second = AddItem(c, "TERROR", 1, 1);
    EXPECT_EQ(&c.Find("SCENE1"), &scene);
    EXPECT_EQ(&c.Find("Terror"), &second);
    EXPECT_NE(&c.Find("terror"), &first);
    second.SetName("other");
    EXPECT_EQ(&c.Find("terror"), &first) << "renaming relinks";
    try {
        c.Find("Scene9");
        FAIL() << "no error";
    } catch (const EPictureCollectionError& e) {
        EXPECT_STREQ(e.what(), "Image 'Scene9' not found");
    }
}

TEST(TPictureCollection, HashBucketsFollowLengthAndTwoCharacters)
{
    EXPECT_EQ(THashCollection::HashName(""), 0);
    EXPECT_EQ(THashCollection::HashName("a"), 16);
    // "Scene1": 6 * 16 + 's' + 'e' = 96 + 115 + 101 = 312 -> 56
    EXPECT_EQ(THashCollection::HashName("Scene1"), 56);
    EXPECT_EQ(THashCollection::HashName("SCENE1"), 56);
}

struct CutCase {
    const char* Label;
    int PictureW, PictureH, PatternW, PatternH, SkipW, SkipH;
    bool SystemMemory;
    int Count;
    int Probe;            // pattern index to inspect
    TRect Rect;           // its rectangle on its surface
    int SurfaceCount;
    int ProbeSurfaceWidth;
};

class PatternCutting : public ::testing::TestWithParam<CutCase> {};

TEST_P(PatternCutting, CutsThePictureIntoPatternsAndBlocks)
{
    const CutCase& c = GetParam();
    TOffscreenDXDraw display;
    display.Initialize();
    TPictureCollection collection;
    auto& item = AddItem(collection, "x", c.PictureW, c.PictureH);
    item.PatternWidth = c.PatternW;
    item.PatternHeight = c.PatternH;
    item.SkipWidth = c.SkipW;
    item.SkipHeight = c.SkipH;
    item.SystemMemory = c.SystemMemory;
    EXPECT_EQ(item.PatternCount(), c.Count) << "computed from the picture";
    collection.Initialize(display);
    collection.Restore();
    ASSERT_EQ(item.PatternCount(), c.Count) << "built";
    EXPECT_EQ(item.PatternRect(c.Probe), c.Rect);
    EXPECT_EQ(static_cast<int>(item.Surfaces().size()), c.SurfaceCount);
    ASSERT_NE(item.PatternSurface(c.Probe), nullptr);
    EXPECT_EQ(item.PatternSurface(c.Probe)->Width(), c.ProbeSurfaceWidth);
    EXPECT_EQ(item.PatternRect(c.Count), TRect{}) << "past the end";
    EXPECT_EQ(item.PatternSurface(-1), nullptr);

    // The pattern's first pixel is the picture pixel where the pattern starts.
    const int column = c.Probe % ((c.PictureW + c.SkipW) / (item.Width() + c.SkipW));
    const int row = c.Probe / ((c.PictureW + c.SkipW) / (item.Width() + c.SkipW));
    const int px = column * (item.Width() + c.SkipW), py = row * (item.Height() + c.SkipH);
    EXPECT_EQ(item.PatternSurface(c.Probe)->GetPixel(c.Rect.Left, c.Rect.Top),
              TPixelFormat::XRGB8888().RGBToPixel(static_cast<uint32_t>((px << 12) | py) + 1));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PatternCutting,
    ::testing::Values(
        CutCase{"SkipBetweenColumns", 130, 20, 20, 20, 2, 0, false, 6, 5, Bounds(110, 0, 20, 20), 1, 130},
        CutCase{"WholePicture", 50, 40, 0, 0, 0, 0, false, 1, 0, Bounds(0, 0, 50, 40), 1, 50},
        CutCase{"WideStripInBlocks", 1000, 10, 100, 10, 0, 0, false, 10, 9, Bounds(300, 0, 100, 10), 2, 400},
        CutCase{"WideStripFirstBlock", 1000, 10, 100, 10, 0, 0, false, 10, 5, Bounds(500, 0, 100, 10), 2, 600},
        CutCase{"WideStripKeptWhole", 1000, 10, 100, 10, 0, 0, true, 10, 9, Bounds(900, 0, 100, 10), 1, 1000},
        CutCase{"GridRowByRow", 90, 60, 30, 20, 0, 0, false, 9, 4, Bounds(30, 20, 30, 20), 1, 90},
        CutCase{"TallGridInBlocks", 10, 1200, 10, 100, 0, 0, false, 12, 7, Bounds(0, 100, 10, 100), 2, 10}),
    [](const auto& p) { return std::string(p.param.Label); });

TEST(TPictureCollectionItem, DrawsWithTheKeyInTheDisplayFormat)
{
    for (const TPixelFormat format : {TPixelFormat::XRGB8888(), TPixelFormat::RGB565()}) {
        TOffscreenDXDraw display(format, 8, 8);
        TDXImageList list;
        auto& item = list.Items.Add();
        item.Picture.Kind = TPicture::TKind::DIB;
        item.Picture.Graphic = GridPicture(2, 1);
        item.Picture.Graphic.Pixels = {0xFF00FF, 0x00FF00}; // fuchsia key, then green
        item.TransparentColor = 0x00FF00FF;
        list.SetDXDraw(&display);
        TDirectDrawSurface scratch(8, 8, format);
        item.Draw(scratch, 0, 0, 0);
        EXPECT_EQ(scratch.GetPixel(1, 0), 0u) << "nothing drawn before the display initialises";

        display.Initialize();
        ASSERT_TRUE(item.Initialized);
        display.Surface()->Fill(format.RGBToPixel(0x0000FF));
        item.Draw(*display.Surface(), 3, 3, 0);
        EXPECT_EQ(display.Surface()->GetPixel(3, 3), format.RGBToPixel(0x0000FF)) << "key skipped";
        EXPECT_EQ(display.Surface()->GetPixel(4, 3), format.RGBToPixel(0x00FF00));
        item.Transparent = false;
        item.Draw(*display.Surface(), 3, 3, 0);
        EXPECT_EQ(display.Surface()->GetPixel(3, 3), format.RGBToPixel(0xFF00FF)) << "opaque copy";
        item.Draw(*display.Surface(), 5, 5, 1);
        EXPECT_EQ(display.Surface()->GetPixel(5, 5), format.RGBToPixel(0x0000FF)) << "index out of range";

        display.Finalize();
        EXPECT_FALSE(item.Initialized);
        EXPECT_TRUE(item.Surfaces().empty()) << "finalising frees the pattern surfaces";
        EXPECT_EQ(item.PatternCount(), 1) << "still computed from the picture";
    }
}

TEST(TPictureCollection, ColorTableTakesFixedEntriesThenPaletteColoursInOrder)
{
    TPictureCollection c;
    auto& a = AddItem(c, "a", 1, 1);
    a.Picture.Graphic.BitCount = 8;
    a.Picture.Graphic.Palette = {0x000000, 0x102030, 0xFFFFFF, 0x405060};
    auto& b = AddItem(c, "b", 1, 1);
    b.Picture.Kind = TPicture::TKind::Bitmap;
    b.Picture.Graphic.BitCount = 24;
    b.Picture.Graphic.Palette = {0x405060, 0x708090};
    c.Add(); // no picture
    c.BuildColorTable();
    EXPECT_EQ(c.ColorTable[0], 0x000000u);
    EXPECT_EQ(c.ColorTable[1], 0x800000u) << "entry 1 is (128, 0, 0)";
    EXPECT_EQ(c.ColorTable[7], 0xC0C0C0u);
    EXPECT_EQ(c.ColorTable[8], 0x102030u) << "lowest free entry";
    EXPECT_EQ(c.ColorTable[9], 0x405060u) << "black and white were already there";
    EXPECT_EQ(c.ColorTable[10], 0x708090u) << "a bitmap adds its own palette";
    EXPECT_EQ(c.ColorTable[11], 0u);
    EXPECT_EQ(c.ColorTable[249], 0xFF0000u);
    EXPECT_EQ(c.ColorTable[255], 0xFFFFFFu);
}

TEST(TPictureCollection, InitialisingOnADisplayThatIsNotInitialisedFails)
{
    TOffscreenDXDraw display;
    TPictureCollection c;
    try {
        c.Initialize(display);
        FAIL() << "no error";
    } catch (const EPictureCollectionError& e) {
        EXPECT_STREQ(e.what(), "TPictureCollection cannot be initialized");
    }
}

TEST(TPictureCollection, WrittenLibraryReadsBackExactly)
{
    std::vector<TPictureLibraryEntry> records(3);
    records[0].Name = "digits";
    records[0].PatternWidth = 3;
    records[0].PatternHeight = 2;
    records[0].SkipWidth = 1;
    records[0].SystemMemory = true;
    records[0].TransparentColor = 0x00FF00FF;
    records[0].PictureWidth = 11;
    records[0].PictureHeight = 2;
    for (int i = 0; i < 22; ++i) records[0].Pixels.push_back(i % 3 == 0 ? 0xFF00FF : static_cast<uint32_t>(i * 0x010203));
    records[1].Name = "empty";
    records[1].Transparent = false;
    records[2].Name = "Digits"; // same name in other letters: the later one is found
    records[2].PictureWidth = 300;
    records[2].PictureHeight = 2;
    for (int i = 0; i < 600; ++i) records[2].Pixels.push_back(static_cast<uint32_t>(i * 7919));

    const auto bytes = WritePictureLibrary(records);
    TPictureCollection c;
    c.LoadFromStream(bytes);
    ASSERT_EQ(c.Count(), 3);
    for (int i = 0; i < 3; ++i) {
        const auto& item = c.Items(i);
        const auto& record = records[static_cast<size_t>(i)];
        EXPECT_EQ(item.Name(), record.Name);
        EXPECT_EQ(item.PatternWidth, record.PatternWidth);
        EXPECT_EQ(item.PatternHeight, record.PatternHeight);
        EXPECT_EQ(item.SkipWidth, record.SkipWidth);
        EXPECT_EQ(item.SkipHeight, record.SkipHeight);
        EXPECT_EQ(item.SystemMemory, record.SystemMemory);
        EXPECT_EQ(item.Transparent, record.Transparent);
        EXPECT_EQ(item.TransparentColor, record.TransparentColor);
        EXPECT_EQ(item.Picture.Width(), record.PictureWidth);
        EXPECT_EQ(item.Picture.Height(), record.PictureHeight);
        EXPECT_EQ(item.Picture.Graphic.Pixels, record.Pixels);
    }
    EXPECT_EQ(c.Items(0).Picture.Graphic.BitCount, 8);
    EXPECT_EQ(c.Items(2).Picture.Graphic.BitCount, 24) << "more than 256 colours";
    EXPECT_EQ(c.Items(0).PatternCount(), 3);
    EXPECT_EQ(&c.Find("DIGITS"), &c.Items(2));
    EXPECT_EQ(c.ColorTable[255], 0xFFFFFFu) << "the colour table is written too";
}

TEST(TPictureCollection, DamagedLibraryKeepsTheItemsReadBeforeTheDamage)
{
    std::vector<TPictureLibraryEntry> records(2);
    records[0].Name = "first";
    records[1].Name = "second";
    records[1].PictureWidth = 4;
    records[1].PictureHeight = 4;
    records[1].Pixels.assign(16, 0x123456);
    auto bytes = WritePictureLibrary(records);
    // Cut the file inside the second item's picture.
    bytes.resize(bytes.size() - 20);
    TPictureCollection c;
    EXPECT_THROW(c.LoadFromStream(bytes), EEngineError);
    ASSERT_EQ(c.Count(), 1);
    EXPECT_EQ(c.Items(0).Name(), "first");
}

TEST(TPictureCollection, FileThatCannotBeOpenedChangesNothing)
{
    TPictureCollection c;
    AddItem(c, "kept", 1, 1);
    try {
        c.LoadFromFile("/nonexistent/Graphic.dxg");
        FAIL() << "no error";
    } catch (const EFOpenError& e) {
        EXPECT_EQ(std::string(e.what()).rfind("Cannot open file \"/nonexistent/Graphic.dxg\". ", 0), 0u) << e.what();
    }
    EXPECT_EQ(c.Count(), 1);
}

TEST(TPictureCollection, LoadingWhileInitialisedBuildsPatternsAtOnceAndSwitchingDepthRebuildsThem)
{
    std::vector<TPictureLibraryEntry> records(1);
    records[0].Name = "dot";
    records[0].PictureWidth = 3;
    records[0].PictureHeight = 1;
    records[0].Pixels = {0xFFFFFF, 0x000000, 0x00FF00};  // black is the key
    const auto bytes = WritePictureLibrary(records);

    TOffscreenDXDraw display(TPixelFormat::XRGB8888(), 4, 4);
    TDXImageList list;
    list.SetDXDraw(&display);
    display.Initialize();
    list.Items.LoadFromStream(bytes);
    EXPECT_EQ(list.Items.Find("dot").Picture.Graphic.Pixels, records[0].Pixels) << "kept unless the owner says";
    list.Items.KeepDecodedPixels = false;
    list.Items.LoadFromStream(bytes);
    auto& dot = list.Items.Find("dot");
    ASSERT_EQ(dot.Surfaces().size(), 1u);
    EXPECT_EQ(dot.PatternSurface(0)->BitCount(), 32);
    // The patterns hold the picture now: the decoded copy is let go, and
    // comes back only for whoever asks.
    EXPECT_TRUE(dot.Picture.Graphic.Pixels.empty());
    EXPECT_EQ(dot.Picture.Width(), 3);
    EXPECT_EQ(dot.Picture.Decoded().Pixels, records[0].Pixels);

    display.Finalize();
    display.SetPixelFormat(TPixelFormat::RGB565());
    display.Initialize();
    ASSERT_NE(dot.PatternSurface(0), nullptr);
    EXPECT_EQ(dot.PatternSurface(0)->BitCount(), 16);
    display.Surface()->Fill(0x1234);
    dot.Draw(*display.Surface(), 1, 1, 0);
    EXPECT_EQ(display.Surface()->GetPixel(1, 1), 0xFFFFu);
    EXPECT_EQ(display.Surface()->GetPixel(2, 1), 0x1234u) << "the key shows what lay beneath";
    EXPECT_EQ(display.Surface()->GetPixel(3, 1), 0x07E0u);
    EXPECT_TRUE(dot.Picture.Graphic.Pixels.empty());

    // Pictures made in code have nothing to decode again from: they stay.
    auto& made = list.Items.Add();
    made.Picture.Kind = TPicture::TKind::DIB;
    made.Picture.Graphic.Width = 1;
    made.Picture.Graphic.Height = 1;
    made.Picture.Graphic.Pixels = {0x00FF00};
    made.Initialize();
    made.Restore();
    ASSERT_EQ(made.PatternCount(), 1);
    EXPECT_EQ(made.Picture.Graphic.Pixels.size(), 1u);
}

TEST(TPictureCollection, PatternsBuiltOnFirstUseAreTheOnesARestoreBuilds)
{
    std::vector<TPictureLibraryEntry> records(1);
    records[0].Name = "strip";
    records[0].PatternWidth = 2;
    records[0].PatternHeight = 2;
    records[0].PictureWidth = 6;
    records[0].PictureHeight = 2;
    records[0].Pixels = {0xFF0000, 0x000000, 0x00FF00, 0x0000FF, 0x000000, 0xFFFFFF,
                         0x000000, 0x808080, 0x000000, 0x102030, 0x405060, 0x000000};
    const auto bytes = WritePictureLibrary(records);

    TOffscreenDXDraw eagerDisplay(TPixelFormat::XRGB8888(), 8, 4), lazyDisplay(TPixelFormat::XRGB8888(), 8, 4);
    TDXImageList eager, lazy;
    eager.SetDXDraw(&eagerDisplay);
    lazy.SetDXDraw(&lazyDisplay);
    lazy.Items.KeepDecodedPixels = false;
    lazy.Items.BuildPatternsOnFirstUse = true;
    eager.Items.LoadFromStream(bytes);
    lazy.Items.LoadFromStream(bytes);

    for (const auto& format : {TPixelFormat::XRGB8888(), TPixelFormat::RGB565()}) {
        for (auto* display : {&eagerDisplay, &lazyDisplay}) {
            display->Finalize();
            display->SetPixelFormat(format);
            display->Initialize();
        }
        auto& a = eager.Items.Find("strip");
        auto& b = lazy.Items.Find("strip");
        EXPECT_TRUE(a.PatternsBuilt());
        EXPECT_FALSE(b.PatternsBuilt()) << "nothing built before the first use";
        EXPECT_TRUE(b.Picture.Graphic.Pixels.empty());
        for (auto* display : {&eagerDisplay, &lazyDisplay}) display->Surface()->Fill(0x1234);
        for (int pattern = 0; pattern < 3; ++pattern) {
            a.Draw(*eagerDisplay.Surface(), pattern * 2, 0, pattern);
            b.Draw(*lazyDisplay.Surface(), pattern * 2, 0, pattern);
            a.StretchDraw(*eagerDisplay.Surface(), Bounds(pattern * 2, 2, 1, 2), pattern);
            b.StretchDraw(*lazyDisplay.Surface(), Bounds(pattern * 2, 2, 1, 2), pattern);
        }
        EXPECT_TRUE(b.PatternsBuilt());
        EXPECT_TRUE(b.Picture.Graphic.Pixels.empty()) << "decoded only while building";
        EXPECT_EQ(b.PatternCount(), a.PatternCount());
        for (int y = 0; y < 4; ++y)
            for (int x = 0; x < 8; ++x)
                EXPECT_EQ(lazyDisplay.Surface()->GetPixel(x, y), eagerDisplay.Surface()->GetPixel(x, y)) << x << "," << y;
    }
}

} // namespace
