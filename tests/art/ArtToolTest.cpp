// SPDX-License-Identifier: GPL-3.0-or-later
// The art tool's own parts: template expansion, the art list, and turning
// soft edges into colour-keyed ones.
#include "ArtBuild.h"
#include "ArtList.h"
#include "ArtTemplate.h"
#include "ColourReduce.h"
#include "Transparency.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <stdexcept>
#include <string>

namespace {

TEST(ArtTemplate, ExpandsNamesAndExpressions)
{
    const TArtVariables vars{{"w", "326"}, {"h", "58"}, {"label", "START GAME"}, {"fs", "40"}};
    struct TCase {
        const char* Text;
        const char* Expected;
    };
    const TCase cases[] = {
        {"${label}", "START GAME"},
        {"x=\"${w/2}\"", "x=\"163\""},
        {"${h/2+fs*0.35+1.5}", "44.5"},
        {"${-(w - 11)}", "-315"},
        {"${min(w, h) * 2}", "116"},
        {"${round(7/2)} ${floor(-0.5)} ${abs(-3)}", "4 -1 3"},
        {"${1/3}", "0.3333"},
        // Angles in degrees, as rotate() takes them.
        {"${sin(30)} ${cos(180)} ${atan2(1, -1)} ${hypot(3, 4)} ${sqrt(6.25)}", "0.5 -1 135 5 2.5"},
        {"$${w} stays", "${w} stays"},
        {"no template", "no template"},
    };
    for (const auto& c : cases) EXPECT_EQ(ExpandTemplate(c.Text, vars), c.Expected) << c.Text;
}

TEST(ArtTemplate, ReportsWhatItCannotRead)
{
    const TArtVariables vars{{"w", "10"}, {"label", "YES"}};
    for (const char* text : {"${nothing}", "${w+}", "${w/0}", "${label*2}", "${(w}", "${tan(w)}", "${sin(1, 2)}", "${sqrt(-w)}", "${w", "${w 2}"}) {
        try {
            ExpandTemplate(text, vars);
            ADD_FAILURE() << text << " was accepted";
        } catch (const std::runtime_error& e) {
            EXPECT_NE(std::string(e.what()).find('$'), std::string::npos) << e.what();
        }
    }
}

TEST(ArtList, ReadsItemsLayersStylesAndLoops)
{
    const TArtList list = ParseArtList(R"(
# comment
font "Bebas Neue" "fonts-bebas-neue"
set edge=#102030 bold=0
style lit face=#f2a22e glowon=1
style big style=lit fs=40
image "Start Game" widgets/plate.svg size=326x58 style=big label="START GAME" fs=44   # trailing comment
+ widgets/arrow.svg at=246,451 size=52x70 dir=-1
foreach d 0 1
image cifra${d} glyphs/glyph.svg size=24x36 text=${d}
end
image menu backdrops/menu.svg transparent=0 centre=393,277
image pricel cursors/pricel.svg size=48x48 frames=3 @r=10..14 @c=a,b,c
image Bukva_A glyphs/glyph.svg trim=1 pad=2 key=#ff00ff
export icon.png icon/zarvenok.svg size=256x256
)",
                                       "/art/art.list");
    ASSERT_EQ(list.Items.size(), 7u);
    EXPECT_EQ(list.Globals.at("bold"), "0");
    ASSERT_EQ(list.Fonts.size(), 1u);
    EXPECT_EQ(list.Fonts[0].Family, "Bebas Neue");
    EXPECT_EQ(list.Fonts[0].Hint, "fonts-bebas-neue");

    const TArtItem& plate = list.Items[0];
    EXPECT_EQ(plate.Name, "Start Game");
    EXPECT_EQ(plate.Base.Source, "/art/widgets/plate.svg");
    EXPECT_EQ(plate.Base.Width, 326);
    EXPECT_EQ(plate.Base.Vars.at("h"), "58");
    EXPECT_EQ(plate.Base.Vars.at("face"), "#f2a22e"); // inherited through style big
    EXPECT_EQ(plate.Base.Vars.at("fs"), "44");        // the line's own value wins
    EXPECT_EQ(plate.Base.Vars.at("label"), "START GAME");
    EXPECT_EQ(plate.Edge, 0x102030u);
    ASSERT_EQ(plate.Layers.size(), 1u);
    EXPECT_EQ(plate.Layers[0].X, 246);
    EXPECT_EQ(plate.Layers[0].Y, 451);
    EXPECT_EQ(plate.Layers[0].Vars.at("dir"), "-1");

    EXPECT_EQ(list.Items[1].Name, "cifra0");
    EXPECT_EQ(list.Items[2].Name, "cifra1");
    EXPECT_EQ(list.Items[2].Base.Vars.at("text"), "1");

    EXPECT_FALSE(list.Items[3].Transparent);
    ASSERT_TRUE(list.Items[3].Centre.has_value());
    EXPECT_EQ(list.Items[3].Centre->first, 393);

    const TArtItem& pricel = list.Items[4];
    EXPECT_EQ(pricel.Frames, 3);
    ASSERT_EQ(pricel.FrameVars.size(), 2u);
    EXPECT_EQ(pricel.FrameVars[0].second, (std::vector<std::string>{"10", "12", "14"}));
    EXPECT_EQ(pricel.FrameVars[1].second, (std::vector<std::string>{"a", "b", "c"}));

    EXPECT_TRUE(list.Items[5].Trim);
    EXPECT_EQ(list.Items[5].Pad, 2);
    EXPECT_EQ(list.Items[5].Key, "#ff00ff");
    EXPECT_EQ(list.Items[6].Kind, TArtItem::TKind::Export);
}

TEST(ArtList, NamesTheLineOfAMistake)
{
    struct TCase {
        const char* Text;
        const char* Expected;
    };
    const TCase cases[] = {
        {"image a b.svg\nimage c d.svg size=12\n", "x.list:2: expected AxB"},
        {"\n+ a.svg\n", "x.list:2: a layer needs an image above it"},
        {"image a b.svg style=none\n", "x.list:1: unknown style \"none\""},
        {"image a b.svg frames=3 @r=1,2\n", "x.list:1: @r has 2 values for 3 frames"},
        {"image a b.svg frames=2 trim=1\n", "x.list:1: trim works on single pictures only"},
        {"picture a b.svg\n", "x.list:1: unknown line \"picture\""},
        {"image a \"b.svg\n", "x.list:1: unterminated quote"},
        {"foreach d 1 2\nimage a${d} b.svg\n", "x.list: \"foreach\" without \"end\""},
        {"end\n", "x.list:1: \"end\" without \"foreach\""},
        {"image a b.svg edge=red\n", "x.list:1: expected #RRGGBB"},
        {"image a b.svg size=0x5\n", "x.list:1: size out of range"},
        {"image a b.svg colours=300\n", "x.list:1: colours out of range"},
        {"image a b.svg\n+ @c\n", "x.list:2: no picture \"c\" above this line"},
        {"image a b.svg\n+ c.svg pattern=1\n", "x.list:2: pattern= picks a pattern of a picture layer"},
    };
    for (const auto& c : cases) {
        try {
            ParseArtList(c.Text, "x.list");
            ADD_FAILURE() << c.Text << " was accepted";
        } catch (const std::runtime_error& e) {
            EXPECT_NE(std::string(e.what()).find(c.Expected), std::string::npos) << e.what();
        }
    }
}

TEST(ArtList, ReadsColoursGroundAndPictureLayers)
{
    const TArtList list = ParseArtList(R"(
image walker soldier.svg size=70x120 frames=8 ground=1
image page page.svg transparent=0 colours=0
+ @walker pattern=2 at=50,57 size=55x90
image plain plain.svg
)",
                                       "/art/art.list");
    ASSERT_EQ(list.Items.size(), 3u);
    EXPECT_TRUE(list.Items[0].Ground);
    EXPECT_EQ(list.Items[0].Colours, 256); // palette-sized unless told otherwise
    EXPECT_EQ(list.Items[1].Colours, 0);
    ASSERT_EQ(list.Items[1].Layers.size(), 1u);
    const TArtLayer& layer = list.Items[1].Layers[0];
    EXPECT_EQ(layer.Picture, "walker");
    EXPECT_TRUE(layer.Source.empty());
    EXPECT_EQ(layer.Pattern, 2);
    EXPECT_EQ(layer.X, 50);
    EXPECT_EQ(layer.Width, 55);
    EXPECT_FALSE(list.Items[2].Ground);
}

// A picture of w x h with every pixel from f(x, y).
template <class F>
TRgbaImage Picture(int w, int h, F f)
{
    TRgbaImage image{w, h, {}};
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) image.Pixels.push_back(f(x, y));
    return image;
}

TEST(ColourReduce, KeepsFlatFillsExactAndMovesBlendsToTheNearest)
{
    // Four big fills and, along their borders, 400 one-pixel blends.
    const uint32_t fills[4] = {0xFF3D7FC1u, 0xFFECC985u, 0xFF2A1C12u, 0xFF7B7D49u};
    TRgbaImage image = Picture(200, 100, [&](int x, int y) {
        if (y == 50 && x % 2 == 0) return 0xFF000000u | static_cast<uint32_t>(x * 0x010101 + 0x200000); // blends
        if (y == 51) return 0xFF000000u | static_cast<uint32_t>((x * 7) << 8 | 0x40);
        if (x < 10 && y < 10) return 0u; // clear
        return fills[(x / 100) + 2 * (y / 52)];
    });
    ASSERT_GT(CountColours(image), 256);
    TRgbaImage before = image;
    ReduceColours(image, 32);
    EXPECT_LE(CountColours(image), 32);
    std::set<uint32_t> kept(image.Pixels.begin(), image.Pixels.end());
    for (uint32_t fill : fills) EXPECT_TRUE(kept.count(fill)) << std::hex << fill;
    for (size_t i = 0; i < image.Pixels.size(); ++i) {
        if ((before.Pixels[i] >> 24) == 0) {
            EXPECT_EQ(image.Pixels[i], 0u) << "clear pixels stay clear";
            continue;
        }
        if (std::find(std::begin(fills), std::end(fills), before.Pixels[i]) != std::end(fills)) {
            EXPECT_EQ(image.Pixels[i], before.Pixels[i]);
        }
        // Nothing moves far: every channel within an eighth of its range.
        for (int shift : {0, 8, 16}) {
            const int a = static_cast<int>((before.Pixels[i] >> shift) & 0xFF);
            const int b = static_cast<int>((image.Pixels[i] >> shift) & 0xFF);
            EXPECT_LE(std::abs(a - b), 32) << i;
        }
    }
    // The same picture always gives the same result.
    TRgbaImage again = before;
    ReduceColours(again, 32);
    EXPECT_EQ(again.Pixels, image.Pixels);
    // A picture that already fits is left alone.
    TRgbaImage few = Picture(4, 1, [&](int x, int) { return fills[x]; });
    ReduceColours(few, 4);
    EXPECT_EQ(few.Pixels, (std::vector<uint32_t>{fills[0], fills[1], fills[2], fills[3]}));
}

TEST(Transparency, SetOnGroundMovesTheLowestPixelToTheBottomRow)
{
    TRgbaImage image{3, 5, std::vector<uint32_t>(15, 0)};
    image.Pixels[1 * 3 + 1] = 0xFF112233u; // (1, 1)
    image.Pixels[2 * 3 + 0] = 0xFF445566u; // (0, 2), the lowest
    SetOnGround(image);
    EXPECT_EQ(image.Pixels[4 * 3 + 0], 0xFF445566u);
    EXPECT_EQ(image.Pixels[3 * 3 + 1], 0xFF112233u);
    for (int i = 0; i < 9; ++i) EXPECT_EQ(image.Pixels[static_cast<size_t>(i)], 0u) << i;
    TRgbaImage empty{2, 2, {0, 0, 0, 0}};
    SetOnGround(empty);
    EXPECT_EQ(empty.Pixels, (std::vector<uint32_t>{0, 0, 0, 0}));
}

TEST(ArtBuild, PictureLayersCopyTheChosenPattern)
{
    namespace fs = std::filesystem;
    const fs::path dir = fs::temp_directory_path() / "zarvenok-art-picture-layer";
    fs::create_directories(dir);
    {
        std::ofstream svg(dir / "blank.svg");
        svg << R"(<svg xmlns="http://www.w3.org/2000/svg" width="${w}" height="${h}"/>)";
    }
    const TArtList list = ParseArtList("image strip blank.svg size=2x2 frames=2\n"
                                       "image page blank.svg size=8x8 colours=0\n+ @strip pattern=1 at=3,4\n",
                                       (dir / "art.list").string());
    // Two 2 x 2 patterns: red, then a green and blue checker.
    TArtPictures pictures;
    pictures["strip"] = {TRgbaImage{4, 2, {0xFFFF0000u, 0xFFFF0000u, 0xFF00FF00u, 0xFF0000FFu,
                                           0xFFFF0000u, 0xFFFF0000u, 0xFF0000FFu, 0xFF00FF00u}},
                         2};
    const TRgbaImage page = RenderArtItem(list, list.Items[1], &pictures);
    ASSERT_EQ(page.Width, 8);
    auto at = [&](int x, int y) { return page.Pixels[static_cast<size_t>(y) * 8 + static_cast<size_t>(x)]; };
    EXPECT_EQ(at(3, 4), 0xFF00FF00u);
    EXPECT_EQ(at(4, 4), 0xFF0000FFu);
    EXPECT_EQ(at(3, 5), 0xFF0000FFu);
    EXPECT_EQ(at(4, 5), 0xFF00FF00u);
    EXPECT_EQ(at(2, 4), 0u);
    EXPECT_EQ(at(5, 5), 0u);
    // A pattern the picture does not have is an error naming it.
    const TArtList bad = ParseArtList("image strip blank.svg size=2x2 frames=2\n"
                                      "image page blank.svg size=8x8\n+ @strip pattern=2\n",
                                      (dir / "art.list").string());
    try {
        RenderArtItem(bad, bad.Items[1], &pictures);
        ADD_FAILURE() << "pattern 2 was drawn";
    } catch (const std::runtime_error& e) {
        EXPECT_NE(std::string(e.what()).find("no pattern 2"), std::string::npos) << e.what();
    }
    fs::remove_all(dir);
}

TEST(Transparency, HalfCoveredPixelsDarkenTowardsTheOutline)
{
    // Straight alpha: white at 255, 128, 127 and 0; amber fully covered.
    TRgbaImage image{5, 1, {0xFFFFFFFFu, 0x80FFFFFFu, 0x7FFFFFFFu, 0x00FFFFFFu, 0xFFF2A22Eu}};
    FlattenEdges(image, 0x2A1C12);
    EXPECT_EQ(image.Pixels[0], 0xFFFFFFFFu);
    // 128/255 white over the outline colour, each channel rounded.
    EXPECT_EQ(image.Pixels[1], 0xFF000000u | ((255 * 128 + 0x2A * 127 + 127) / 255) << 16 |
                                   ((255 * 128 + 0x1C * 127 + 127) / 255) << 8 | ((255 * 128 + 0x12 * 127 + 127) / 255));
    EXPECT_EQ(image.Pixels[2], 0u);
    EXPECT_EQ(image.Pixels[3], 0u);
    EXPECT_EQ(image.Pixels[4], 0xFFF2A22Eu);
}

TEST(Transparency, OpaquePicturesAreLaidOverTheirBackground)
{
    TRgbaImage image{2, 1, {0x00FFFFFFu, 0x80FF0000u}};
    FlattenOpaque(image, 0x000000);
    EXPECT_EQ(image.Pixels[0], 0xFF000000u);
    EXPECT_EQ(image.Pixels[1], 0xFF800000u);
}

TEST(Transparency, TrimKeepsThePaddingItHas)
{
    // Opaque columns 3 and 4 of 8.
    TRgbaImage image{8, 2, std::vector<uint32_t>(16, 0)};
    image.Pixels[3] = image.Pixels[8 + 4] = 0xFF123456u;
    const TRgbaImage one = TrimColumns(image, 1);
    EXPECT_EQ(one.Width, 4); // columns 2 to 5
    EXPECT_EQ(one.Height, 2);
    EXPECT_EQ(one.Pixels[1], 0xFF123456u);
    EXPECT_EQ(one.Pixels[4 + 2], 0xFF123456u);
    EXPECT_EQ(TrimColumns(image, 5).Width, 8); // padding runs out at the edges
    const TRgbaImage empty{3, 1, {0, 0, 0}};
    EXPECT_EQ(TrimColumns(empty, 0).Width, 3);
}

} // namespace
