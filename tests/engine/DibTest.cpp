// SPDX-License-Identifier: GPL-3.0-or-later
// Bitmap reading and writing. Fixtures are assembled byte by byte here, apart
// from the encoder, so a mistake in one cannot hide a mistake in the other.
#include "Dib.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <span>
#include <stdexcept>
#include <string>
#include <vector>

#include "EngineErrors.h"

namespace {

using Bytes = std::vector<uint8_t>;

// Little-endian byte builder for fixtures.
class Builder {
public:
    Builder& U8(std::initializer_list<int> values) {
        for (int v : values) data_.push_back(static_cast<uint8_t>(v));
        return *this;
    }
    Builder& U16(uint32_t v) { return U8({static_cast<int>(v & 0xFF), static_cast<int>((v >> 8) & 0xFF)}); }
    Builder& U32(uint32_t v) { return U16(v & 0xFFFF).U16(v >> 16); }
    Builder& I32(int32_t v) { return U32(static_cast<uint32_t>(v)); }
    Builder& Zeros(size_t n) {
        data_.insert(data_.end(), n, 0);
        return *this;
    }
    // 40-byte information header.
    Builder& Info(int32_t w, int32_t h, int bpp, uint32_t compression = 0, uint32_t colorsUsed = 0) {
        return U32(40).I32(w).I32(h).U16(1).U16(static_cast<uint32_t>(bpp)).U32(compression).U32(0).U32(0).U32(0)
            .U32(colorsUsed).U32(0);
    }
    // A later header of `size` bytes: the 40-byte fields, then masks, then zeros.
    Builder& Later(uint32_t size, int32_t w, int32_t h, int bpp, uint32_t compression, uint32_t r, uint32_t g,
                   uint32_t b) {
        U32(size).I32(w).I32(h).U16(1).U16(static_cast<uint32_t>(bpp)).U32(compression).Zeros(16).U32(0);
        U32(r).U32(g).U32(b);
        return Zeros(size - 52);
    }
    // 12-byte older header.
    Builder& Core(uint16_t w, uint16_t h, int bpp) { return U32(12).U16(w).U16(h).U16(1).U16(static_cast<uint32_t>(bpp)); }
    // Colour table entries: blue, green, red (and a zero byte unless `core`).
    Builder& Colors(std::initializer_list<uint32_t> rgbs, bool core = false) {
        for (uint32_t c : rgbs) {
            U8({static_cast<int>(c & 0xFF), static_cast<int>((c >> 8) & 0xFF), static_cast<int>((c >> 16) & 0xFF)});
            if (!core) U8({0});
        }
        return *this;
    }
    Builder& GreyRamp(int count, bool core = false) {
        for (int i = 0; i < count; ++i) Colors({static_cast<uint32_t>(i) * 0x010101u}, core);
        return *this;
    }
    // One row of pixel bytes, padded to four.
    Builder& Row(std::initializer_list<int> values) {
        U8(values);
        return Zeros((4 - values.size() % 4) % 4);
    }
    // 14-byte file header; the file size field is left 0 as many writers do.
    Builder& FileHeader(uint32_t pixelOffset) { return U8({'B', 'M'}).U32(0).U32(0).U32(pixelOffset); }
    Bytes Done() const { return data_; }

private:
    Bytes data_;
};

constexpr uint32_t R = 0xFF0000, G = 0x00FF00, B = 0x0000FF, W = 0xFFFFFF;

struct DecodeCase {
    std::string name;
    Bytes data;
    bool file;  // whole bitmap file rather than a bare DIB
    int width, height, bitCount;
    size_t paletteSize;
    std::vector<uint32_t> pixels;  // top row first
};

std::vector<DecodeCase> DecodeCases() {
    std::vector<DecodeCase> cases;
    const uint32_t a = 0x102030, c = 0xA0B0C0;
    // Bottom row first; unused low bits of the last byte are set and must be ignored.
    cases.push_back({"OneBit", Builder().Info(10, 2, 1).Colors({a, c}).Row({0xAA, 0xBF}).Row({0xFF, 0xC0}).Done(),
                     false, 10, 2, 1, 2,
                     {c, c, c, c, c, c, c, c, c, c,  //
                      c, a, c, a, c, a, c, a, c, a}});
    cases.push_back({"FourBitShortTableIndexPastEnd",
                     Builder().Info(3, 2, 4, 0, 3).Colors({R, G, B}).Row({0x01, 0x20}).Row({0x25, 0x10}).Done(), false,
                     3, 2, 4, 3, {B, 0, G, R, G, B}});
    cases.push_back({"EightBitFullTable", Builder().Info(2, 2, 8).GreyRamp(256).Row({0x00, 0xFF}).Row({0x80, 0x7F}).Done(),
                     false, 2, 2, 8, 256, {0x808080, 0x7F7F7F, 0x000000, W}});
    cases.push_back({"EightBitTopDown", Builder().Info(2, -2, 8, 0, 4).Colors({R, G, B, W}).Row({0, 1}).Row({2, 3}).Done(),
                     false, 2, 2, 8, 4, {R, G, B, W}});
    // 0x03E1: full green and blue 1 of 31; 0x4210: 16 of 31 on every channel.
    cases.push_back({"SixteenBitDefault555", Builder().Info(3, 1, 16).U16(0x7C00).U16(0x03E1).U16(0x4210).Zeros(2).Done(),
                     false, 3, 1, 16, 0, {R, 0x00FF08, 0x848484}});
    cases.push_back({"SixteenBit555Masks",
                     Builder().Info(2, 1, 16, 3).U32(0x7C00).U32(0x03E0).U32(0x001F).U16(0x7FFF).U16(0xFC00).Done(), false,
                     2, 1, 16, 0, {W, R}});
    // 0x0020: green 1 of 63.
    cases.push_back({"SixteenBit565Masks",
                     Builder().Info(2, 2, 16, 3).U32(0xF800).U32(0x07E0).U32(0x001F).U16(0xF81F).U16(0x0020).U16(0x07E0)
                         .U16(0x0000).Done(),
                     false, 2, 2, 16, 0, {G, 0, 0xFF00FF, 0x000400}});
    cases.push_back({"TwentyFourBit", Builder().Info(2, 2, 24).Row({1, 2, 3, 4, 5, 6}).Row({7, 8, 9, 10, 11, 12}).Done(), false,
                     2, 2, 24, 0, {0x090807, 0x0C0B0A, 0x030201, 0x060504}});
    cases.push_back({"TwentyFourBitSkipsColourTable", Builder().Info(1, 1, 24, 0, 2).Colors({R, G}).Row({1, 2, 3}).Done(),
                     false, 1, 1, 24, 0, {0x030201}});
    cases.push_back({"ThirtyTwoBitBgrx", Builder().Info(2, 1, 32).U8({1, 2, 3, 0xFF, 0x10, 0x20, 0x30, 0}).Done(), false, 2, 1,
                     32, 0, {0x030201, 0x302010}});
    // Ten bits a channel: 0x200 of 0x3FF rounds to 0x80; the top two bits are not colour.
    cases.push_back({"ThirtyTwoBitTenBitMasks",
                     Builder().Info(2, 1, 32, 3).U32(0x3FF00000).U32(0x000FFC00).U32(0x000003FF).U32(0x3FF80000)
                         .U32(0xC00003FF).Done(),
                     false, 2, 1, 32, 0, {0xFF8000, B}});
    // Runs, an absolute run with its pad byte, a delta, a run cut at the
    // right edge; untouched pixels show entry 0.
    {
        const uint32_t bg = 0x111111;
        cases.push_back({"Rle8",
                         Builder().Info(6, 4, 8, 1, 4).Colors({bg, R, G, B})
                             .U8({3, 1, 0, 3, 2, 3, 2, 0, 0, 0})  // row 0: R R R G B G
                             .U8({2, 3, 0, 2, 2, 1, 2, 1, 0, 0})  // row 1: B B, jump to row 2 x 4: R R
                             .U8({7, 3, 0, 1})                    // row 3: blue cut at 6, end
                             .Done(),
                         false, 6, 4, 8, 4,
                         {B, B, B, B, B, B,         //
                          bg, bg, bg, bg, R, R,     //
                          B, B, bg, bg, bg, bg,     //
                          R, R, R, G, B, G}});
    }
    cases.push_back({"Rle4",
                     Builder().Info(5, 3, 4, 2).GreyRamp(16)
                         .U8({5, 0x12, 0, 0})                    // row 0: 1 2 1 2 1
                         .U8({0, 3, 0x34, 0x50, 0, 2, 1, 0, 1, 0xF0, 0, 0})  // row 1: 3 4 5, skip, F
                         .U8({0, 5, 0x67, 0x89, 0xA0, 0, 0, 1})  // row 2: 6 7 8 9 A (padded), end
                         .Done(),
                     false, 5, 3, 4, 16, {}});
    {
        auto& rle4 = cases.back();
        for (int i : {6, 7, 8, 9, 10, 3, 4, 5, 0, 15, 1, 2, 1, 2, 1}) rle4.pixels.push_back(static_cast<uint32_t>(i) * 0x010101u);
    }
    cases.push_back({"CoreHeaderFourBit", Builder().Core(3, 1, 4).GreyRamp(16, true).Row({0x1F, 0x80}).Done(), false, 3, 1, 4,
                     16, {0x010101, 0x0F0F0F, 0x080808}});
    cases.push_back({"CoreHeaderTwentyFourBit", Builder().Core(1, 2, 24).Row({1, 2, 3}).Row({4, 5, 6}).Done(), false, 1, 2,
                     24, 0, {0x060504, 0x030201}});

    // Whole files.
    cases.push_back({"FileGapBeforePixels",
                     Builder().FileHeader(14 + 40 + 8 + 6).Info(2, 1, 8, 0, 2).Colors({a, c}).Zeros(6).Row({1, 0}).Done(),
                     true, 2, 1, 8, 2, {c, a}});
    cases.push_back({"File40BitFields",
                     Builder().FileHeader(14 + 40 + 12).Info(1, 1, 32, 3).U32(0xFF).U32(0xFF00).U32(0xFF0000)
                         .U8({0x11, 0x22, 0x33, 0}).Done(),
                     true, 1, 1, 32, 0, {0x112233}});
    cases.push_back({"File124BitFields565",
                     Builder().FileHeader(14 + 124).Later(124, 2, 1, 16, 3, 0xF800, 0x07E0, 0x001F).U16(0xF800).U16(0x001F)
                         .Done(),
                     true, 2, 1, 16, 0, {R, B}});
    cases.push_back({"File108BitFields32",
                     Builder().FileHeader(14 + 108).Later(108, 1, 1, 32, 3, 0xFF, 0xFF00, 0xFF0000).U32(0x00332211).Done(),
                     true, 1, 1, 32, 0, {0x112233}});
    // Masks in the header only count with bit-field compression.
    cases.push_back({"File56MasksUnusedWithoutBitFields",
                     Builder().FileHeader(14 + 56).Later(56, 1, 1, 16, 0, 0xF800, 0x07E0, 0x001F).Row({0xE0, 0x03}).Done(),
                     true, 1, 1, 16, 0, {G}});
    cases.push_back({"File52", Builder().FileHeader(14 + 52).Later(52, 1, 1, 24, 0, 0, 0, 0).Row({1, 2, 3}).Done(), true, 1, 1,
                     24, 0, {0x030201}});
    cases.push_back({"FileCoreHeader", Builder().FileHeader(14 + 12 + 6).Core(1, 1, 1).Colors({a, c}, true).Row({0x80}).Done(),
                     true, 1, 1, 1, 2, {c}});
    // A table that claims to run into the pixels is cut at the pixel offset.
    cases.push_back({"FileOffsetCutsTable",
                     Builder().FileHeader(14 + 40 + 8).Info(2, 1, 8).Colors({a, c}).Row({1, 0}).Done(), true, 2, 1, 8, 2,
                     {c, a}});
    return cases;
}

TDIB Load(const DecodeCase& c, size_t length) {
    const std::span<const uint8_t> data(c.data.data(), length);
    return c.file ? TDIB::LoadFromBitmapFile(data) : TDIB::LoadFromDIB(data);
}

TEST(TDIB, DecodesEveryForm) {
    for (const auto& c : DecodeCases()) {
        SCOPED_TRACE(c.name);
        const TDIB dib = Load(c, c.data.size());
        EXPECT_EQ(dib.Width, c.width);
        EXPECT_EQ(dib.Height, c.height);
        EXPECT_EQ(dib.BitCount, c.bitCount);
        EXPECT_EQ(dib.Palette.size(), c.paletteSize);
        EXPECT_EQ(dib.Pixels, c.pixels);
    }
}

TEST(TDIB, PaletteKeepsTheColoursAsRead) {
    const TDIB dib = TDIB::LoadFromDIB(Builder().Info(1, 1, 4, 0, 3).Colors({0x123456, 0xABCDEF, 0x00FF00}).Row({0}).Done());
    EXPECT_EQ(dib.Palette, (std::vector<uint32_t>{0x123456, 0xABCDEF, 0x00FF00}));
    EXPECT_EQ(dib.Pixel(0, 0), 0x123456u);
}

TEST(TDIB, EveryTruncationFailsOrLosesNothing) {
    // Only the last row's padding may be cut; any other cut is invalid.
    for (const auto& c : DecodeCases()) {
        SCOPED_TRACE(c.name);
        for (size_t length = 0; length < c.data.size(); ++length) {
            SCOPED_TRACE(length);
            try {
                const TDIB dib = Load(c, length);
                EXPECT_EQ(dib.Pixels, c.pixels);
                EXPECT_GT(length + 4, c.data.size()) << "more than a row's padding was cut";
            } catch (const EInvalidGraphic&) {
            }
        }
        EXPECT_THROW(Load(c, c.data.size() / 2), EInvalidGraphic);
    }
}

TEST(TDIB, LastRowMayLackItsPadding) {
    const TDIB dib = TDIB::LoadFromDIB(Builder().Info(1, 2, 24).Row({1, 2, 3}).U8({4, 5, 6}).Done());
    EXPECT_EQ(dib.Pixels, (std::vector<uint32_t>{0x060504, 0x030201}));
}

TEST(TDIB, DamagedInputsAreInvalid) {
    auto dib = [&](Builder b) { return b.Row({1, 2, 3}).Done(); };
    struct Damaged {
        std::string name;
        Bytes data;
        bool file = false;
    };
    const std::vector<Damaged> cases = {
        {"Empty", {}},
        {"HeaderSizeZero", dib(Builder().U32(0).Zeros(36))},
        {"HeaderSize41", dib(Builder().U32(41).Zeros(37))},
        {"LaterHeaderInDibForm", dib(Builder().Later(108, 1, 1, 24, 0, 0, 0, 0))},
        {"WidthZero", dib(Builder().Info(0, 1, 24))},
        {"WidthNegative", dib(Builder().Info(-1, 1, 24))},
        {"HeightZero", dib(Builder().Info(1, 0, 24))},
        {"WidthTooWide", dib(Builder().Info(kMaxDibSide + 1, 1, 24))},
        {"HeightTooTall", dib(Builder().Info(1, kMaxDibSide + 1, 24))},
        {"TopDownTooTall", dib(Builder().Info(1, -kMaxDibSide - 1, 24))},
        {"HeightMostNegative", dib(Builder().Info(1, INT_MIN, 24))},
        {"TooManyPixels", dib(Builder().Info(8192, 8192, 1))},
        {"LargeButDataTooShort", dib(Builder().Info(30000, 1000, 24))},
        {"RleLargeButNoData", Builder().Info(30000, 1000, 8, 1, 1).Colors({R}).Done()},
        {"BitCountZero", dib(Builder().Info(1, 1, 0))},
        {"BitCountTwo", dib(Builder().Info(1, 1, 2))},
        {"BitCount64", dib(Builder().Info(1, 1, 64))},
        {"Compression4", dib(Builder().Info(1, 1, 24, 4))},
        {"Compression6", dib(Builder().Info(1, 1, 32, 6).U32(0xFF).U32(0xFF00).U32(0xFF0000).U32(0))},
        {"Rle8WithFourBits", Builder().Info(1, 1, 4, 1, 1).Colors({R}).U8({1, 0, 0, 1}).Done()},
        {"Rle4WithEightBits", Builder().Info(1, 1, 8, 2, 1).Colors({R}).U8({1, 0, 0, 1}).Done()},
        {"BitFieldsWith24Bits", dib(Builder().Info(1, 1, 24, 3).U32(0xFF0000).U32(0xFF00).U32(0xFF))},
        {"BitFieldsWith8Bits", dib(Builder().Info(1, 1, 8, 3, 1).U32(0xE0).U32(0x1C).U32(0x03).Colors({R}))},
        {"RleTopDown", Builder().Info(1, -1, 8, 1, 1).Colors({R}).U8({1, 0, 0, 1}).Done()},
        {"CoreHeader32Bits", Builder().Core(1, 1, 32).U32(0).Done()},
        {"CoreHeader16Bits", Builder().Core(1, 1, 16).U32(0).Done()},
        {"ColoursUsed257", Builder().Info(1, 1, 8, 0, 257).GreyRamp(257).Row({0}).Done()},
        {"DeepTableBeyondData", dib(Builder().Info(1, 1, 24, 0, 0x40000000))},
        {"MaskNotContiguous", Builder().Info(1, 1, 16, 3).U32(0x7C01).U32(0x03E0).U32(0x001C).U32(0).Done()},
        {"MaskWiderThanPixel", Builder().Info(1, 1, 16, 3).U32(0x1F0000).U32(0x03E0).U32(0x001F).U32(0).Done()},
        {"RleDeltaAboveTop", Builder().Info(2, 1, 8, 1, 1).Colors({R}).U8({0, 2, 0, 2, 0, 1}).Done()},
        {"RleRunAboveTop", Builder().Info(2, 1, 8, 1, 1).Colors({R}).U8({0, 0, 1, 0, 0, 1}).Done()},
        {"RleAbsoluteAboveTop", Builder().Info(4, 1, 8, 1, 1).Colors({R}).U8({0, 0, 0, 3, 0, 0, 0, 0, 0, 1}).Done()},
        {"RleWithoutEnd", Builder().Info(2, 1, 8, 1, 1).Colors({R}).U8({2, 0}).Done()},
        {"RleAbsoluteRunsOut", Builder().Info(8, 1, 8, 1, 1).Colors({R}).U8({0, 5, 0, 0, 0}).Done()},
        {"FileBadMagic", Builder().U8({'B', 'A'}).U32(0).U32(0).U32(54).Info(1, 1, 24).Row({1, 2, 3}).Done(), true},
        {"FileOffsetPastEnd", Builder().FileHeader(59).Info(1, 1, 24).Row({1, 2, 3}).Done(), true},
        {"FileOffsetInsideHeader", Builder().FileHeader(30).Info(1, 1, 24).Row({1, 2, 3}).Done(), true},
        {"FileOffsetInsideMasks",
         Builder().FileHeader(54).Info(1, 1, 32, 3).U32(0xFF).U32(0xFF00).U32(0xFF0000).U32(0).Done(), true},
        {"FileHeaderSize41", Builder().FileHeader(14 + 41).U32(41).Zeros(37).Row({1, 2, 3}).Done(), true},
        {"FileDibWithoutFileHeader", dib(Builder().Info(1, 1, 24)), true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        try {
            if (c.file) {
                TDIB::LoadFromBitmapFile(c.data);
            } else {
                TDIB::LoadFromDIB(c.data);
            }
            ADD_FAILURE() << "accepted";
        } catch (const EInvalidGraphic& e) {
            EXPECT_STREQ(e.what(), "DIB is invalid");
        }
    }
}

// ---- Encoder ----

uint32_t U32At(const Bytes& d, size_t at) {
    return static_cast<uint32_t>(d[at]) | (static_cast<uint32_t>(d[at + 1]) << 8) | (static_cast<uint32_t>(d[at + 2]) << 16) |
           (static_cast<uint32_t>(d[at + 3]) << 24);
}
uint32_t U16At(const Bytes& d, size_t at) { return static_cast<uint32_t>(d[at]) | (static_cast<uint32_t>(d[at + 1]) << 8); }

std::vector<uint32_t> FirstAppearance(const std::vector<uint32_t>& pixels) {
    std::vector<uint32_t> order;
    for (uint32_t p : pixels)
        if (std::find(order.begin(), order.end(), p) == order.end()) order.push_back(p);
    return order;
}

// A strict RLE8 reader: every row written in full by runs of 1..255 and
// absolute runs of 3..255 padded to even length, ended by end-of-line, the
// last by end-of-bitmap. Returns colour indices, top row first.
std::vector<uint8_t> StrictRle8(const Bytes& s, size_t w, size_t h) {
    std::vector<uint8_t> out(w * h);
    size_t i = 0;
    auto next = [&]() -> uint8_t {
        if (i >= s.size()) throw std::runtime_error("stream runs out");
        return s[i++];
    };
    for (size_t row = 0; row < h; ++row) {
        uint8_t* line = out.data() + (h - 1 - row) * w;
        size_t x = 0;
        for (;;) {
            const uint8_t n = next(), v = next();
            if (n > 0) {
                if (x + n > w) throw std::runtime_error("run passes the row end");
                std::fill_n(line + x, n, v);
                x += n;
            } else if (v >= 3) {
                if (x + v > w) throw std::runtime_error("absolute run passes the row end");
                for (int k = 0; k < v; ++k) line[x++] = next();
                if (v % 2 != 0 && next() != 0) throw std::runtime_error("pad byte not zero");
            } else if (v == 2) {
                throw std::runtime_error("unexpected delta");
            } else {
                if (x != w) throw std::runtime_error("row not filled");
                if ((v == 1) != (row + 1 == h)) throw std::runtime_error("misplaced end marker");
                break;
            }
        }
    }
    if (i != s.size()) throw std::runtime_error("bytes after end of bitmap");
    return out;
}

TEST(TDIB, EncodesFewColoursAsRle8) {
    const uint32_t A = 0x336699, Bc = 0xCC0000, C = 0x00AA00;
    const int w = 600, h = 6;
    std::vector<uint32_t> px;
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            uint32_t c = A;
            switch (y) {
            case 0: c = A; break;                                   // runs longer than 255
            case 1: c = x < 300 ? A : C; break;
            case 2: c = x % 2 == 0 ? A : Bc; break;                 // absolute runs at the 255 limit
            case 3: c = (x * x / 7) % 3 == 0 ? A : ((x * x / 7) % 3 == 1 ? Bc : C); break;  // mixed short runs
            case 4: c = x < 597 ? C : (x == 597 ? A : Bc); break;   // short literal at the row end
            default: c = x % 9 < 4 ? Bc : C; break;
            }
            px.push_back(c);
        }
    }
    const Bytes enc = TDIB::EncodeDIB(w, h, px);
    ASSERT_GE(enc.size(), 40u);
    EXPECT_EQ(U32At(enc, 0), 40u);
    EXPECT_EQ(static_cast<int32_t>(U32At(enc, 8)), h);  // bottom-up
    EXPECT_EQ(U16At(enc, 14), 8u);
    EXPECT_EQ(U32At(enc, 16), 1u);
    EXPECT_EQ(U32At(enc, 32), 3u);
    const size_t tableEnd = 40 + 3 * 4;
    EXPECT_EQ(U32At(enc, 20), enc.size() - tableEnd);
    EXPECT_LT(enc.size() - tableEnd, static_cast<size_t>(w * h));

    const Bytes stream(enc.begin() + static_cast<std::ptrdiff_t>(tableEnd), enc.end());
    std::vector<uint8_t> indices;
    ASSERT_NO_THROW(indices = StrictRle8(stream, w, h));
    const std::vector<uint32_t> order{A, C, Bc};  // first appearance, top row first
    for (size_t i = 0; i < px.size(); ++i) ASSERT_EQ(order.at(indices[i]), px[i]) << i;

    const TDIB dib = TDIB::LoadFromDIB(enc);
    EXPECT_EQ(dib.Palette, order);
    EXPECT_EQ(dib.Width, w);
    EXPECT_EQ(dib.Height, h);
    EXPECT_EQ(dib.Pixels, px);
}

TEST(TDIB, EncodesNoisyPaletteAsPlainRows) {
    const int w = 37, h = 13;
    std::vector<uint32_t> px;
    uint32_t seed = 12345;
    for (int i = 0; i < w * h; ++i) {
        seed = seed * 1103515245u + 12345u;
        px.push_back(((seed >> 16) % 200) * 0x010307u);
    }
    const Bytes enc = TDIB::EncodeDIB(w, h, px);
    const auto order = FirstAppearance(px);
    EXPECT_EQ(U16At(enc, 14), 8u);
    EXPECT_EQ(U32At(enc, 16), 0u);
    EXPECT_EQ(U32At(enc, 32), order.size());
    EXPECT_EQ(enc.size(), 40 + order.size() * 4 + 40u * h);  // rows padded from 37 to 40
    const TDIB dib = TDIB::LoadFromDIB(enc);
    EXPECT_EQ(dib.BitCount, 8);
    EXPECT_EQ(dib.Palette, order);
    EXPECT_EQ(dib.Pixels, px);
}

TEST(TDIB, EncodesTrueColourBeyond256Colours) {
    struct Case {
        int w, h;
        uint32_t colours;
        uint32_t bitCount;
    };
    for (const Case c : {Case{16, 16, 256, 8}, Case{17, 17, 257, 24}, Case{21, 20, 420, 24}}) {
        SCOPED_TRACE(c.colours);
        std::vector<uint32_t> px;
        for (int i = 0; i < c.w * c.h; ++i) px.push_back(((static_cast<uint32_t>(i) % c.colours) << 4) | 0x5A0000u);
        const Bytes enc = TDIB::EncodeDIB(c.w, c.h, px);
        EXPECT_EQ(U16At(enc, 14), c.bitCount);
        const TDIB dib = TDIB::LoadFromDIB(enc);
        EXPECT_EQ(dib.Width, c.w);
        EXPECT_EQ(dib.Height, c.h);
        EXPECT_EQ(dib.Pixels, px);
        if (c.bitCount == 24) {
            EXPECT_EQ(U32At(enc, 16), 0u);
            EXPECT_EQ(enc.size(), 40u + static_cast<size_t>((c.w * 3 + 3) / 4 * 4 * c.h));
        }
    }
}

TEST(TDIB, EncodeRejectsBadSizes) {
    EXPECT_THROW(TDIB::EncodeDIB(0, 1, {}), EInvalidGraphic);
    EXPECT_THROW(TDIB::EncodeDIB(2, 2, {1, 2, 3}), EInvalidGraphic);
    EXPECT_THROW(TDIB::EncodeDIB(kMaxDibSide + 1, 1, std::vector<uint32_t>(kMaxDibSide + 1)), EInvalidGraphic);
}

}  // namespace
