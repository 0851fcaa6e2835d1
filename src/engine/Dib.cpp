// SPDX-License-Identifier: GPL-3.0-or-later
// Device-independent bitmap reader and writer. Every length and index comes
// from the data, so each read goes through a bounds-checked cursor and every
// size is checked against the limits before anything is allocated.
#include "Dib.h"

#include <algorithm>
#include <array>
#include <bit>
#include <optional>
#include <unordered_map>

#include "EngineErrors.h"

namespace {

[[noreturn]] void Invalid() { throw EInvalidGraphic("DIB is invalid"); }

// Little-endian reader that throws instead of running past its data.
class Cursor {
public:
    explicit Cursor(std::span<const uint8_t> data, size_t pos = 0) : data_(data), pos_(pos) {
        if (pos > data.size()) Invalid();
    }

    size_t Pos() const { return pos_; }
    size_t Remaining() const { return data_.size() - pos_; }

    std::span<const uint8_t> Take(uint64_t count) {
        if (count > Remaining()) Invalid();
        auto part = data_.subspan(pos_, static_cast<size_t>(count));
        pos_ += static_cast<size_t>(count);
        return part;
    }
    void Skip(uint64_t count) { Take(count); }
    uint8_t U8() { return Take(1)[0]; }
    uint16_t U16() {
        auto b = Take(2);
        return static_cast<uint16_t>(b[0] | (b[1] << 8));
    }
    uint32_t U32() {
        auto b = Take(4);
        return static_cast<uint32_t>(b[0]) | (static_cast<uint32_t>(b[1]) << 8) | (static_cast<uint32_t>(b[2]) << 16) |
               (static_cast<uint32_t>(b[3]) << 24);
    }
    int32_t I32() { return static_cast<int32_t>(U32()); }

private:
    std::span<const uint8_t> data_;
    size_t pos_;
};

constexpr uint32_t kCompressNone = 0;
constexpr uint32_t kCompressRle8 = 1;
constexpr uint32_t kCompressRle4 = 2;
constexpr uint32_t kCompressBitFields = 3;

constexpr uint32_t kCoreHeaderSize = 12;
constexpr uint32_t kInfoHeaderSize = 40;

// One colour channel of a 16- or 32-bit pixel, scaled to 8 bits.
class Channel {
public:
    Channel() = default;
    // Masks must be one contiguous run of bits inside the pixel; an empty mask
    // gives a channel that always reads 0.
    Channel(uint32_t mask, int bitCount) : mask_(mask) {
        if (mask == 0) return;
        if (bitCount < 32 && (mask >> bitCount) != 0) Invalid();
        shift_ = std::countr_zero(mask);
        const uint64_t bits = mask >> shift_;
        if ((bits & (bits + 1)) != 0) Invalid();
        max_ = bits;
    }
    uint32_t Read(uint32_t value) const {
        if (max_ == 0) return 0;
        const uint64_t v = (value & mask_) >> shift_;
        return static_cast<uint32_t>((v * 255 + max_ / 2) / max_);
    }

private:
    uint32_t mask_ = 0;
    int shift_ = 0;
    uint64_t max_ = 0;
};

struct DibHeader {
    uint32_t size = 0;
    int64_t width = 0;
    int64_t height = 0;  // negative for top-down rows
    int bitCount = 0;
    uint32_t compression = kCompressNone;
    uint32_t colorsUsed = 0;
    std::optional<std::array<uint32_t, 3>> masks;  // only from the later headers
};

DibHeader ReadHeader(Cursor& in, bool laterHeaders) {
    const size_t start = in.Pos();
    DibHeader h;
    h.size = in.U32();
    const bool later = h.size == 52 || h.size == 56 || h.size == 108 || h.size == 124;
    if (h.size != kCoreHeaderSize && h.size != kInfoHeaderSize && !(laterHeaders && later)) Invalid();
    if (h.size == kCoreHeaderSize) {
        // The older header has unsigned 16-bit sizes and always stores rows bottom-up.
        h.width = in.U16();
        h.height = in.U16();
        in.U16();  // planes
        h.bitCount = in.U16();
    } else {
        h.width = in.I32();
        h.height = in.I32();
        in.U16();  // planes
        h.bitCount = in.U16();
        h.compression = in.U32();
        in.U32();  // image size: recomputed from the rows, often 0 or wrong
        in.U32();  // horizontal resolution
        in.U32();  // vertical resolution
        h.colorsUsed = in.U32();
        in.U32();  // important colours
        if (h.size > kInfoHeaderSize) h.masks = std::array<uint32_t, 3>{in.U32(), in.U32(), in.U32()};
    }
    in.Skip(start + h.size - in.Pos());
    return h;
}

void CheckHeader(const DibHeader& h) {
    if (h.width <= 0 || h.width > kMaxDibSide) Invalid();
    if (h.height == 0 || h.height < -kMaxDibSide || h.height > kMaxDibSide) Invalid();
    const int64_t rows = h.height < 0 ? -h.height : h.height;
    if (h.width * rows > kMaxDibPixels) Invalid();

    const int b = h.bitCount;
    if (h.size == kCoreHeaderSize) {
        if (b != 1 && b != 4 && b != 8 && b != 24) Invalid();
    } else if (b != 1 && b != 4 && b != 8 && b != 16 && b != 24 && b != 32) {
        Invalid();
    }
    switch (h.compression) {
    case kCompressNone: break;
    case kCompressRle8:
        if (b != 8) Invalid();
        break;
    case kCompressRle4:
        if (b != 4) Invalid();
        break;
    case kCompressBitFields:
        if (b != 16 && b != 32) Invalid();
        break;
    default: Invalid();
    }
    // Run-length data is always written from the bottom row up.
    const bool rle = h.compression == kCompressRle8 || h.compression == kCompressRle4;
    if (rle && h.height < 0) Invalid();
}

uint32_t PaletteColor(const std::vector<uint32_t>& palette, uint32_t index) {
    // An index past the table shows black rather than failing the picture.
    return index < palette.size() ? palette[index] : 0;
}

void DecodeRows(TDIB& dib, const DibHeader& h, const std::array<Channel, 3>& channels, std::span<const uint8_t> rows) {
    const uint64_t width = static_cast<uint64_t>(dib.Width);
    const uint64_t height = static_cast<uint64_t>(dib.Height);
    const uint64_t stride = (width * static_cast<uint64_t>(h.bitCount) + 31) / 32 * 4;
    // The last row's padding may be missing; its pixels may not.
    const uint64_t lastRow = (width * static_cast<uint64_t>(h.bitCount) + 7) / 8;
    if (stride * (height - 1) + lastRow > rows.size()) Invalid();
    dib.Pixels.assign(width * height, 0);

    for (uint64_t fileRow = 0; fileRow < height; ++fileRow) {
        const uint64_t y = h.height < 0 ? fileRow : height - 1 - fileRow;
        const uint8_t* src = rows.data() + fileRow * stride;
        uint32_t* dst = dib.Pixels.data() + y * width;
        for (uint64_t x = 0; x < width; ++x) {
            switch (h.bitCount) {
            case 1: dst[x] = PaletteColor(dib.Palette, (src[x / 8] >> (7 - x % 8)) & 1u); break;
            case 4: dst[x] = PaletteColor(dib.Palette, (src[x / 2] >> (x % 2 == 0 ? 4 : 0)) & 0xFu); break;
            case 8: dst[x] = PaletteColor(dib.Palette, src[x]); break;
            case 24: {
                const uint8_t* p = src + x * 3;
                dst[x] = (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[1]) << 8) | p[0];
                break;
            }
            default: {
                uint32_t v = 0;
                if (h.bitCount == 16) {
                    const uint8_t* p = src + x * 2;
                    v = static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8);
                } else {
                    const uint8_t* p = src + x * 4;
                    v = static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
                        (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
                }
                dst[x] = (channels[0].Read(v) << 16) | (channels[1].Read(v) << 8) | channels[2].Read(v);
                break;
            }
            }
        }
    }
}

// Walks run-length data, handing each pixel that lands inside the picture to
// put(x, rowFromBottom, index). Runs reaching past the right edge are cut
// there; pixels above the top row, a jump above it and data ending without
// the end-of-bitmap mark are damage.
template <typename Put>
void WalkRle(std::span<const uint8_t> data, bool rle4, int64_t width, int64_t height, Put put) {
    Cursor in(data);
    int64_t x = 0;
    int64_t y = 0;  // counted from the bottom row
    for (;;) {
        const uint8_t count = in.U8();
        const uint8_t value = in.U8();
        if (count > 0) {
            if (y >= height) Invalid();
            for (int i = 0; i < count && x + i < width; ++i) {
                put(x + i, y, rle4 ? (i % 2 == 0 ? value >> 4 : value & 0xFu) : value);
            }
            x += count;
        } else if (value == 0) {
            x = 0;
            ++y;
        } else if (value == 1) {
            return;
        } else if (value == 2) {
            x += in.U8();
            y += in.U8();
            if (y > height) Invalid();
        } else {
            if (y >= height) Invalid();
            const uint32_t byteCount = rle4 ? (value + 1u) / 2 : value;
            const auto bytes = in.Take(byteCount);
            for (int i = 0; i < value && x + i < width; ++i) {
                const uint8_t b = bytes[static_cast<size_t>(rle4 ? i / 2 : i)];
                put(x + i, y, rle4 ? (i % 2 == 0 ? b >> 4 : b & 0xFu) : b);
            }
            x += value;
            if (byteCount % 2 != 0) in.Skip(1);  // absolute runs end on a 16-bit boundary
        }
    }
}

// Pixels the runs never reach keep the colour of palette entry 0, as a
// cleared index buffer would show them. The data is checked in a first walk
// so that a damaged stream never gets its picture allocated.
void DecodeRle(TDIB& dib, bool rle4, std::span<const uint8_t> data) {
    const int64_t width = dib.Width;
    const int64_t height = dib.Height;
    WalkRle(data, rle4, width, height, [](int64_t, int64_t, uint32_t) {});
    dib.Pixels.assign(static_cast<size_t>(width * height), PaletteColor(dib.Palette, 0));
    WalkRle(data, rle4, width, height, [&](int64_t x, int64_t y, uint32_t index) {
        dib.Pixels[static_cast<size_t>((height - 1 - y) * width + x)] = PaletteColor(dib.Palette, index);
    });
}

// Shared by both forms: the information header starts at headerPos; the rows
// follow the colour table, or start at pixelOffset in a whole file.
TDIB Decode(std::span<const uint8_t> data, size_t headerPos, std::optional<uint64_t> pixelOffset) {
    Cursor in(data, headerPos);
    const DibHeader h = ReadHeader(in, pixelOffset.has_value());
    CheckHeader(h);

    TDIB dib;
    dib.Width = static_cast<int>(h.width);
    dib.Height = static_cast<int>(h.height < 0 ? -h.height : h.height);
    dib.BitCount = h.bitCount;

    std::array<Channel, 3> channels;
    if (h.compression == kCompressBitFields) {
        std::array<uint32_t, 3> masks{};
        if (h.masks) {
            masks = *h.masks;
        } else {
            masks = {in.U32(), in.U32(), in.U32()};
        }
        for (size_t i = 0; i < 3; ++i) channels[i] = Channel(masks[i], h.bitCount);
    } else if (h.bitCount == 16) {
        channels = {Channel(0x7C00, 16), Channel(0x03E0, 16), Channel(0x001F, 16)};
    } else if (h.bitCount == 32) {
        channels = {Channel(0x00FF0000, 32), Channel(0x0000FF00, 32), Channel(0x000000FF, 32)};
    }

    if (pixelOffset && (*pixelOffset < in.Pos() || *pixelOffset > data.size())) Invalid();

    const uint64_t entrySize = h.size == kCoreHeaderSize ? 3 : 4;
    if (h.bitCount <= 8) {
        uint64_t count = h.colorsUsed != 0 ? h.colorsUsed : uint64_t{1} << h.bitCount;
        if (count > 256) Invalid();
        // In a whole file the rows' offset wins over a table that claims to run into them.
        if (pixelOffset) count = std::min(count, (*pixelOffset - in.Pos()) / entrySize);
        const auto table = in.Take(count * entrySize);
        dib.Palette.reserve(static_cast<size_t>(count));
        for (uint64_t i = 0; i < count; ++i) {
            const uint8_t* e = table.data() + i * entrySize;
            dib.Palette.push_back((static_cast<uint32_t>(e[2]) << 16) | (static_cast<uint32_t>(e[1]) << 8) | e[0]);
        }
    } else if (!pixelOffset) {
        // Deeper pictures may carry a table for palette displays; the pixels never use it.
        in.Skip(uint64_t{h.colorsUsed} * entrySize);
    }

    const auto rows = pixelOffset ? data.subspan(static_cast<size_t>(*pixelOffset)) : data.subspan(in.Pos());
    if (h.compression == kCompressRle8 || h.compression == kCompressRle4) {
        DecodeRle(dib, h.compression == kCompressRle4, rows);
    } else {
        DecodeRows(dib, h, channels, rows);
    }
    return dib;
}

class Writer {
public:
    std::vector<uint8_t> Bytes;
    void U8(uint32_t v) { Bytes.push_back(static_cast<uint8_t>(v)); }
    void U16(uint32_t v) {
        U8(v);
        U8(v >> 8);
    }
    void U32(uint32_t v) {
        U16(v);
        U16(v >> 16);
    }
};

// Length of the run of equal bytes starting at row[i], at most 255.
size_t RunLength(std::span<const uint8_t> row, size_t i) {
    size_t n = 1;
    while (i + n < row.size() && n < 255 && row[i + n] == row[i]) ++n;
    return n;
}

// Run-length codes 8-bit rows (bottom row first): runs of three or more
// equal pixels are encoded, everything between them goes out in absolute
// mode (or as single-pixel runs when shorter than three).
std::vector<uint8_t> EncodeRle8(const std::vector<uint8_t>& indices, size_t width, size_t height) {
    Writer out;
    for (size_t fileRow = 0; fileRow < height; ++fileRow) {
        const std::span<const uint8_t> row(indices.data() + (height - 1 - fileRow) * width, width);
        size_t i = 0;
        while (i < width) {
            const size_t run = RunLength(row, i);
            if (run >= 3) {
                out.U8(static_cast<uint32_t>(run));
                out.U8(row[i]);
                i += run;
                continue;
            }
            size_t end = i;
            while (end < width && end - i < 255 && RunLength(row, end) < 3) ++end;
            const size_t literal = end - i;
            if (literal >= 3) {
                out.U8(0);
                out.U8(static_cast<uint32_t>(literal));
                for (size_t k = i; k < end; ++k) out.U8(row[k]);
                if (literal % 2 != 0) out.U8(0);
            } else {
                for (size_t k = i; k < end; ++k) {
                    out.U8(1);
                    out.U8(row[k]);
                }
            }
            i = end;
        }
        out.U8(0);
        out.U8(fileRow + 1 < height ? 0 : 1);  // end of line, or end of bitmap after the last
    }
    return std::move(out.Bytes);
}

}  // namespace

TDIB TDIB::LoadFromDIB(std::span<const uint8_t> data) { return Decode(data, 0, std::nullopt); }

TDIB TDIB::LoadFromBitmapFile(std::span<const uint8_t> data) {
    Cursor in(data);
    if (in.U8() != 'B' || in.U8() != 'M') Invalid();
    in.U32();  // file size: not trusted
    in.U32();  // reserved
    const uint32_t pixelOffset = in.U32();
    return Decode(data, in.Pos(), pixelOffset);
}

std::vector<uint8_t> TDIB::EncodeDIB(int width, int height, const std::vector<uint32_t>& pixels) {
    if (width <= 0 || height <= 0 || width > kMaxDibSide || height > kMaxDibSide) Invalid();
    const size_t w = static_cast<size_t>(width);
    const size_t h = static_cast<size_t>(height);
    if (static_cast<int64_t>(w * h) > kMaxDibPixels || pixels.size() != w * h) Invalid();

    // Colours in order of first appearance, given up once there are too many for a palette.
    std::vector<uint32_t> palette;
    std::unordered_map<uint32_t, uint8_t> slot;
    std::vector<uint8_t> indices;
    indices.reserve(pixels.size());
    for (uint32_t p : pixels) {
        const uint32_t rgb = p & 0x00FFFFFFu;
        auto [it, added] = slot.try_emplace(rgb, static_cast<uint8_t>(palette.size()));
        if (added) {
            if (palette.size() == 256) break;
            palette.push_back(rgb);
        }
        indices.push_back(it->second);
    }
    const bool paletted = indices.size() == pixels.size();

    uint32_t compression = kCompressNone;
    std::vector<uint8_t> body;
    if (paletted) {
        const size_t stride = (w + 3) / 4 * 4;
        std::vector<uint8_t> rle = EncodeRle8(indices, w, h);
        if (rle.size() < stride * h) {
            compression = kCompressRle8;
            body = std::move(rle);
        } else {
            body.assign(stride * h, 0);
            for (size_t fileRow = 0; fileRow < h; ++fileRow)
                std::copy_n(indices.data() + (h - 1 - fileRow) * w, w, body.data() + fileRow * stride);
        }
    } else {
        const size_t stride = (w * 3 + 3) / 4 * 4;
        body.assign(stride * h, 0);
        for (size_t fileRow = 0; fileRow < h; ++fileRow) {
            const uint32_t* src = pixels.data() + (h - 1 - fileRow) * w;
            uint8_t* dst = body.data() + fileRow * stride;
            for (size_t x = 0; x < w; ++x) {
                dst[x * 3] = static_cast<uint8_t>(src[x]);
                dst[x * 3 + 1] = static_cast<uint8_t>(src[x] >> 8);
                dst[x * 3 + 2] = static_cast<uint8_t>(src[x] >> 16);
            }
        }
    }

    Writer out;
    out.Bytes.reserve(kInfoHeaderSize + (paletted ? palette.size() * 4 : 0) + body.size());
    out.U32(kInfoHeaderSize);
    out.U32(static_cast<uint32_t>(width));
    out.U32(static_cast<uint32_t>(height));  // positive: bottom row first
    out.U16(1);                               // planes
    out.U16(paletted ? 8 : 24);
    out.U32(compression);
    out.U32(static_cast<uint32_t>(body.size()));
    out.U32(0);  // resolution
    out.U32(0);
    out.U32(paletted ? static_cast<uint32_t>(palette.size()) : 0);
    out.U32(0);  // important colours: all
    if (paletted) {
        for (uint32_t c : palette) out.U32(c);  // 0x00RRGGBB is blue, green, red, 0 in memory order
    }
    out.Bytes.insert(out.Bytes.end(), body.begin(), body.end());
    return std::move(out.Bytes);
}
