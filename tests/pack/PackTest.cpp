// SPDX-License-Identifier: GPL-3.0-or-later
// zarvenok-pack against libraries written byte by byte here, independently
// of the engine's own writer, and the build command's round trip.
#include "PackCommands.h"
#include "PngFile.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <sstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<uint8_t>;

// --- a tiny object stream writer of its own
struct Stream {
    Bytes b;
    void U8(uint8_t v) { b.push_back(v); }
    void U16(uint16_t v) { U8(static_cast<uint8_t>(v)); U8(static_cast<uint8_t>(v >> 8)); }
    void U32(uint32_t v) { U16(static_cast<uint16_t>(v)); U16(static_cast<uint16_t>(v >> 16)); }
    void Raw(const Bytes& v) { b.insert(b.end(), v.begin(), v.end()); }
    void Short(const std::string& s) { U8(static_cast<uint8_t>(s.size())); b.insert(b.end(), s.begin(), s.end()); }
    void Prop(const std::string& name) { Short(name); }
    void Int8(int8_t v) { U8(2); U8(static_cast<uint8_t>(v)); }
    void Int16(int16_t v) { U8(3); U16(static_cast<uint16_t>(v)); }
    void Int32(int32_t v) { U8(4); U32(static_cast<uint32_t>(v)); }
    void Str(const std::string& s) { U8(6); Short(s); }
    void LStr(const std::string& s) { U8(12); U32(static_cast<uint32_t>(s.size())); b.insert(b.end(), s.begin(), s.end()); }
    void Ident(const std::string& s) { U8(7); Short(s); }
    void Bool(bool v) { U8(v ? 9 : 8); }
    void Binary(const Bytes& v) { U8(10); U32(static_cast<uint32_t>(v.size())); Raw(v); }
};

Bytes Library(const std::function<void(Stream&)>& items, bool colorTable = true)
{
    Stream s;
    s.U8(0xFF);
    s.U16(10);
    for (char c : std::string("LIB")) s.U8(static_cast<uint8_t>(c));
    s.U8(0);
    s.U16(0x1030);
    s.U32(0); // size, not checked
    for (char c : std::string("TPF0")) s.U8(static_cast<uint8_t>(c));
    s.Short("TSomeHolder");
    s.Short("Holder1");
    if (colorTable) {
        s.Prop("List.ColorTable");
        s.Binary(Bytes(1024, 0));
    }
    s.Prop("List");
    s.U8(14);
    items(s);
    s.U8(0); // end of collection
    s.U8(0); // end of holder properties
    s.U8(0); // no children
    return s.b;
}

Bytes Le32(uint32_t v) { return {static_cast<uint8_t>(v), static_cast<uint8_t>(v >> 8), static_cast<uint8_t>(v >> 16), static_cast<uint8_t>(v >> 24)}; }
Bytes Le16(uint16_t v) { return {static_cast<uint8_t>(v), static_cast<uint8_t>(v >> 8)}; }
Bytes Cat(std::initializer_list<Bytes> parts)
{
    Bytes out;
    for (const auto& p : parts) out.insert(out.end(), p.begin(), p.end());
    return out;
}

Bytes InfoHeader(int32_t w, int32_t h, uint16_t bits, uint32_t compression, uint32_t used = 0)
{
    return Cat({Le32(40), Le32(static_cast<uint32_t>(w)), Le32(static_cast<uint32_t>(h)), Le16(1), Le16(bits),
                Le32(compression), Le32(0), Le32(0), Le32(0), Le32(used), Le32(0)});
}

Bytes PictureData(const std::string& graphicClass, const Bytes& data)
{
    Bytes out{static_cast<uint8_t>(graphicClass.size())};
    out.insert(out.end(), graphicClass.begin(), graphicClass.end());
    out.insert(out.end(), data.begin(), data.end());
    return out;
}

// 4 x 2, 8 bits, RLE8: top row red red blue key, bottom row key x4. Bottom-up.
Bytes Rle8Dib()
{
    const Bytes palette = Cat({Le32(0x00FF00FF), Le32(0x00FF0000), Le32(0x000000FF)}); // key, red, blue
    const Bytes rows = {4, 0, 0, 0,              // bottom row: four key pixels, end of line
                        2, 1, 1, 2, 1, 0, 0, 1}; // top row: red, red, blue, key, end of bitmap
    return Cat({InfoHeader(4, 2, 8, 1, 3), palette, rows});
}

// 3 x 2, 16 bits 5-6-5 bit fields, top-down.
Bytes BitFields565Dib()
{
    const Bytes masks = Cat({Le32(0xF800), Le32(0x07E0), Le32(0x001F)});
    const Bytes rows = Cat({Le16(0xF800), Le16(0x07E0), Le16(0x001F), Le16(0), // row 0 + padding
                            Le16(0xFFFF), Le16(0xF81F), Le16(0x0000), Le16(0)});
    return Cat({InfoHeader(3, -2, 16, 3), masks, rows});
}

// 2 x 2, 1 bit, 12-byte header with 3-byte colour entries.
Bytes CoreHeader1BitDib()
{
    const Bytes header = Cat({Le32(12), Le16(2), Le16(2), Le16(1), Le16(1)});
    const Bytes palette = {0x00, 0x00, 0x00, 0xFF, 0xFF, 0xFF}; // black, white (B, G, R)
    const Bytes rows = {0x40, 0, 0, 0, 0x80, 0, 0, 0};           // bottom row 01, top row 10
    return Cat({header, palette, rows});
}

// 2 x 1, 32 bits, as a whole bitmap file with a gap before the pixels.
Bytes BitmapFile32()
{
    const Bytes info = InfoHeader(2, 1, 32, 0);
    const uint32_t offset = 14 + 40 + 6;
    const Bytes file = Cat({{'B', 'M'}, Le32(offset + 8), Le32(0), Le32(offset), info, Bytes(6, 0xEE),
                            Le32(0x00102030), Le32(0x00405060)});
    return Cat({Le32(static_cast<uint32_t>(file.size())), file});
}

struct TempDir {
    fs::path Path;
    TempDir()
    {
        Path = fs::temp_directory_path() / ("zarvenok-pack-test-" + std::to_string(::getpid()) + "-" +
                                            ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(Path);
    }
    ~TempDir() { fs::remove_all(Path); }
    std::string Write(const std::string& name, const Bytes& data) const
    {
        const auto file = Path / name;
        std::ofstream(file, std::ios::binary).write(reinterpret_cast<const char*>(data.data()), static_cast<std::streamsize>(data.size()));
        return file.string();
    }
    std::string operator/(const std::string& name) const { return (Path / name).string(); }
};

struct PackRun {
    int Status;
    std::string Out, Err;
};

PackRun Pack(std::vector<std::string> args)
{
    std::ostringstream out, err;
    const int status = RunPack(args, out, err);
    return {status, out.str(), err.str()};
}

Bytes ImageLibrary()
{
    return Library([](Stream& s) {
        // 0: 8-bit RLE, fuchsia key by identifier, position integer first.
        s.Int8(0);
        s.U8(1);
        s.Prop("Name"); s.Str("Sprite");
        s.Prop("PatternWidth"); s.Int8(2);
        s.Prop("PatternHeight"); s.Int16(2);
        s.Prop("TransparentColor"); s.Ident("clFuchsia");
        s.Prop("Picture.Data"); s.Binary(PictureData("TDIB", Rle8Dib()));
        s.U8(0);
        // 1: 16-bit bit fields, skips, system memory, not transparent, long string name.
        s.U8(1);
        s.Prop("Name"); s.LStr("sprite");
        s.Prop("SkipWidth"); s.Int32(-1);
        s.Prop("SkipHeight"); s.Int8(3);
        s.Prop("SystemMemory"); s.Bool(true);
        s.Prop("Transparent"); s.Bool(false);
        s.Prop("TransparentColor"); s.Int32(0x00123456);
        s.Prop("Picture.Data"); s.Binary(PictureData("TDIB", BitFields565Dib()));
        s.U8(0);
        // 2: no picture at all, a system colour.
        s.U8(1);
        s.Prop("Name"); s.Str("nothing");
        s.Prop("PatternWidth"); s.Int8(32);
        s.Prop("TransparentColor"); s.Ident("clBtnFace");
        s.U8(0);
        // 3: 1-bit picture with the old header.
        s.U8(1);
        s.Prop("Name"); s.Str("mono");
        s.Prop("TransparentColor"); s.Int32(0);
        s.Prop("Picture.Data"); s.Binary(PictureData("TDIB", CoreHeader1BitDib()));
        s.U8(0);
        // 4: a whole bitmap file, and an unknown property that is skipped.
        s.U8(1);
        s.Prop("Tag"); s.Int32(77);
        s.Prop("Name"); s.Str("file");
        s.Prop("Picture.Data"); s.Binary(PictureData("TBitmap", BitmapFile32()));
        s.U8(0);
        // 5: a graphic class we do not read.
        s.U8(1);
        s.Prop("Name"); s.Str("photo");
        s.Prop("Picture.Data"); s.Binary(PictureData("TJPEGImage", Bytes{1, 2, 3}));
        s.U8(0);
    });
}

TEST(ZarvenokPack, ListsEveryImageFieldExactly)
{
    TempDir dir;
    const auto file = dir.Write("lib.dxg", ImageLibrary());
    const PackRun run = Pack({"list", file});
    ASSERT_EQ(run.Status, 0) << run.Err;
    EXPECT_EQ(run.Out,
              "0\tSprite\t4\t2\t2\t2\t2\t0\t0\t1\t0\t0x00FF00FF\t8\n"
              "1\tsprite\t3\t2\t3\t2\t1\t-1\t3\t0\t1\t0x00123456\t16\n"
              "2\tnothing\t0\t0\t32\t0\t0\t0\t0\t1\t0\t0xFF00000F\t0\n"
              "3\tmono\t2\t2\t2\t2\t1\t0\t0\t1\t0\t0x00000000\t1\n"
              "4\tfile\t2\t1\t2\t1\t1\t0\t0\t1\t0\t0x00000000\t32\n"
              "5\tphoto\t0\t0\t0\t0\t1\t0\t0\t1\t0\t0x00000000\t0\n");
}

uint32_t At(const TRgbaImage& image, int x, int y)
{
    return image.Pixels[static_cast<size_t>(y * image.Width + x)];
}

TEST(ZarvenokPack, ExtractsPicturesAndPatternsWithTheGamesTransparency)
{
    TempDir dir;
    const auto file = dir.Write("lib.dxg", ImageLibrary());

    // "SPRITE" finds the later of the two equal names: the 16-bit, opaque one.
    ASSERT_EQ(Pack({"extract", file, "SPRITE", dir / "a.png"}).Status, 0);
    const TRgbaImage later = ReadPng(dir / "a.png");
    ASSERT_EQ(later.Width, 3);
    EXPECT_EQ(At(later, 0, 0), 0xFFFF0000u);
    EXPECT_EQ(At(later, 2, 0), 0xFF0000FFu);
    EXPECT_EQ(At(later, 1, 1), 0xFFFF00FFu) << "opaque item: fuchsia stays";

    // The RLE picture on its own, where its name is not shadowed.
    const auto single = dir.Write("one.dxg", Library([](Stream& s) {
        s.U8(1);
        s.Prop("Name"); s.Str("Sprite");
        s.Prop("PatternWidth"); s.Int8(2);
        s.Prop("PatternHeight"); s.Int8(2);
        s.Prop("TransparentColor"); s.Ident("clFuchsia");
        s.Prop("Picture.Data"); s.Binary(PictureData("TDIB", Rle8Dib()));
        s.U8(0);
    }));
    ASSERT_EQ(Pack({"extract", single, "sprite", dir / "whole.png"}).Status, 0);
    const TRgbaImage whole = ReadPng(dir / "whole.png");
    ASSERT_EQ(whole.Width, 4);
    ASSERT_EQ(whole.Height, 2);
    const uint32_t top[4] = {0xFFFF0000, 0xFFFF0000, 0xFF0000FF, 0x00FF00FF};
    for (int x = 0; x < 4; ++x) EXPECT_EQ(At(whole, x, 0), top[x]) << x;
    for (int x = 0; x < 4; ++x) EXPECT_EQ(At(whole, x, 1), 0x00FF00FFu) << "key pixels are clear";

    const PackRun pattern = Pack({"extract", single, "Sprite", dir / "p1.png", "--pattern", "1"});
    ASSERT_EQ(pattern.Status, 0) << pattern.Err;
    const TRgbaImage p1 = ReadPng(dir / "p1.png");
    ASSERT_EQ(p1.Width, 2);
    EXPECT_EQ(At(p1, 0, 0), 0xFF0000FFu);
    EXPECT_EQ(At(p1, 1, 0), 0x00FF00FFu);

    const PackRun past = Pack({"extract", single, "Sprite", dir / "p9.png", "--pattern", "9"});
    EXPECT_EQ(past.Status, 1);
}

TEST(ZarvenokPack, ReportsTheLibrarysErrorsAndUsage)
{
    TempDir dir;
    const auto file = dir.Write("lib.dxg", ImageLibrary());
    struct Case {
        std::vector<std::string> Args;
        int Status;
        std::string Err;
    };
    const Case cases[] = {
        {{"extract", file, "Missing", dir / "x.png"}, 1, "Image 'Missing' not found\n"},
        {{"list", dir.Write("bad.dxg", Bytes{0xFF, 11, 0})}, 1, "Invalid stream format\n"},
        {{"list", dir.Write("dib.dxg", Library([](Stream& s) {
              s.U8(1);
              s.Prop("Name"); s.Str("broken");
              s.Prop("Picture.Data"); s.Binary(PictureData("TDIB", Cat({Le32(41), Bytes(60, 0)})));
              s.U8(0);
          }))},
         1, "DIB is invalid\n"},
        {{"list"}, 2, ""},
        {{"frobnicate", file}, 2, ""},
        {{"extract", file, "Sprite", dir / "x.png", "--pattern", "z"}, 2, ""},
    };
    for (const auto& c : cases) {
        const PackRun run = Pack(c.Args);
        EXPECT_EQ(run.Status, c.Status) << c.Args[0] << " " << run.Err;
        if (!c.Err.empty()) {
            EXPECT_EQ(run.Err, c.Err);
        }
    }
    const PackRun missing = Pack({"list", dir / "none.dxg"});
    EXPECT_EQ(missing.Status, 1);
    EXPECT_EQ(missing.Err.rfind("Cannot open file \"", 0), 0u) << missing.Err;
}

Bytes PcmWave(const Bytes& samples, bool dataFirst)
{
    const Bytes fmt = Cat({{'f', 'm', 't', ' '}, Le32(16), Le16(1), Le16(1), Le32(22050), Le32(44100), Le16(2), Le16(16)});
    const Bytes data = Cat({{'d', 'a', 't', 'a'}, Le32(static_cast<uint32_t>(samples.size())), samples});
    const Bytes junk = Cat({{'L', 'I', 'S', 'T'}, Le32(3), Bytes{1, 2, 3}});
    const Bytes body = dataFirst ? Cat({data, junk, fmt}) : Cat({fmt, data});
    return Cat({{'R', 'I', 'F', 'F'}, Le32(static_cast<uint32_t>(body.size() + 4)), {'W', 'A', 'V', 'E'}, body});
}

TEST(ZarvenokPack, ListsAndExtractsWaves)
{
    TempDir dir;
    const Bytes samples{1, 0, 2, 0, 3, 0};
    const auto file = dir.Write("lib.dxw", Library(
                                               [&](Stream& s) {
                                                   s.U8(1);
                                                   s.Prop("Name"); s.Str("tank_move");
                                                   s.Prop("Looped"); s.Bool(true);
                                                   s.Prop("MaxPlayingCount"); s.Int8(-3);
                                                   s.Prop("Wave.WAVE"); s.Binary(PcmWave(samples, true));
                                                   s.U8(0);
                                                   s.U8(1);
                                                   s.Prop("Name"); s.Str("silent");
                                                   s.U8(0);
                                               },
                                               false));
    const PackRun list = Pack({"list", file});
    ASSERT_EQ(list.Status, 0) << list.Err;
    EXPECT_EQ(list.Out, "0\ttank_move\t1\t0\t1\t1\t22050\t16\t6\n1\tsilent\t0\t0\t0\t0\t0\t0\t0\n");

    ASSERT_EQ(Pack({"extract", file, "TANK_MOVE", dir / "t.wav"}).Status, 0);
    std::ifstream in(dir / "t.wav", std::ios::binary);
    const Bytes written((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(written, PcmWave(samples, false)) << "a plain RIFF file: fmt, then data";
}

TEST(ZarvenokPack, BuildsLibrariesFromAManifest)
{
    TempDir dir;
    // A 4 x 2 picture: the left half clear, the right half two colours.
    TRgbaImage png{4, 2, {0x00000000, 0x10FFFFFF, 0xFFFF00FF, 0xFF102030, 0x00000000, 0x00000000, 0xFFFF00FF, 0xFF102030}};
    WritePng(dir / "pic.png", png);
    std::ofstream(dir / "images.txt") << "# test\n"
                                         "image \"two words\" pic.png pattern=2x2 skip=0x0\n"
                                         "image keyed pic.png key=clBlack systemmemory=1\n"
                                         "image none -   # no picture\n";
    const PackRun build = Pack({"build", dir / "images.txt", dir / "out.dxg"});
    ASSERT_EQ(build.Status, 0) << build.Err;
    const PackRun list = Pack({"list", dir / "out.dxg"});
    ASSERT_EQ(list.Status, 0) << list.Err;
    // Fuchsia is in use, so the automatic key moves on to green.
    EXPECT_EQ(list.Out, "0\ttwo words\t4\t2\t2\t2\t2\t0\t0\t1\t0\t0x0000FF00\t8\n"
                        "1\tkeyed\t4\t2\t4\t2\t1\t0\t0\t1\t1\t0x00000000\t8\n"
                        "2\tnone\t0\t0\t0\t0\t1\t0\t0\t1\t0\t0x00000000\t0\n");
    ASSERT_EQ(Pack({"extract", dir / "out.dxg", "two words", dir / "back.png"}).Status, 0);
    const TRgbaImage back = ReadPng(dir / "back.png");
    EXPECT_EQ(At(back, 0, 0) >> 24, 0u);
    EXPECT_EQ(At(back, 1, 0) >> 24, 0u) << "alpha below 128 is clear";
    EXPECT_EQ(At(back, 2, 0), 0xFFFF00FFu);
    EXPECT_EQ(At(back, 3, 1), 0xFF102030u);

    // Waves, and the manifest's own errors.
    std::ofstream(dir / "w.wav", std::ios::binary) << std::string(reinterpret_cast<const char*>(PcmWave({9, 0}, false).data()), 46);
    std::ofstream(dir / "waves.txt") << "wave shot w.wav max=3\nwave loop w.wav looped=1\n";
    ASSERT_EQ(Pack({"build", dir / "waves.txt", dir / "out.dxw"}).Status, 0);
    EXPECT_EQ(Pack({"list", dir / "out.dxw"}).Out, "0\tshot\t0\t3\t1\t1\t22050\t16\t2\n1\tloop\t1\t0\t1\t1\t22050\t16\t2\n");

    std::ofstream(dir / "mixed.txt") << "image a pic.png\nwave b w.wav\n";
    const PackRun mixed = Pack({"build", dir / "mixed.txt", dir / "m.dxg"});
    EXPECT_EQ(mixed.Status, 1);
    EXPECT_NE(mixed.Err.find("mixed.txt:2"), std::string::npos) << mixed.Err;
    EXPECT_FALSE(fs::exists(dir / "m.dxg")) << "nothing is written on an error";
}

} // namespace
