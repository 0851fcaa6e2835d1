// SPDX-License-Identifier: GPL-3.0-or-later
// The image library: loading, the colour table, pattern building and drawing.
#include "PictureCollection.h"

#include "Colors.h"
#include "EngineErrors.h"
#include "FileData.h"
#include "ObjectStream.h"

#include <algorithm>
#include <cstring>

namespace {

// Picture.Data: the graphic class as a short string, then its own data.
TPicture ReadPictureData(std::span<const uint8_t> data)
{
    TPicture picture;
    if (data.empty()) return picture;
    const size_t nameLength = data[0];
    if (nameLength + 1 > data.size()) throw EStreamError("Stream read error");
    picture.GraphicClass.assign(reinterpret_cast<const char*>(data.data() + 1), nameLength);
    const auto rest = data.subspan(nameLength + 1);
    if (picture.GraphicClass == "TDIB") {
        picture.Graphic = TDIB::LoadFromDIB(rest);
        picture.Kind = TPicture::TKind::DIB;
        picture.Stored.assign(rest.begin(), rest.end());
    } else if (picture.GraphicClass == "TBitmap") {
        if (rest.size() < 4) throw EInvalidGraphic("DIB is invalid");
        const uint32_t length = static_cast<uint32_t>(rest[0]) | (static_cast<uint32_t>(rest[1]) << 8) |
                                (static_cast<uint32_t>(rest[2]) << 16) | (static_cast<uint32_t>(rest[3]) << 24);
        if (length > rest.size() - 4) throw EInvalidGraphic("DIB is invalid");
        if (length > 0) {
            const auto file = rest.subspan(4, length);
            picture.Graphic = TDIB::LoadFromBitmapFile(file);
            picture.Kind = TPicture::TKind::Bitmap;
            picture.Stored.assign(file.begin(), file.end());
        }
    }
    return picture;
}

void ReadItemProperties(TObjectReader& reader, TPictureCollectionItem& item)
{
    while (!reader.EndOfList()) {
        const std::string name = reader.ReadShortString();
        if (THashCollection::SameName(name, "Name")) {
            item.SetName(reader.ReadString());
        } else if (THashCollection::SameName(name, "PatternHeight")) {
            item.PatternHeight = reader.ReadInteger();
        } else if (THashCollection::SameName(name, "PatternWidth")) {
            item.PatternWidth = reader.ReadInteger();
        } else if (THashCollection::SameName(name, "SkipHeight")) {
            item.SkipHeight = reader.ReadInteger();
        } else if (THashCollection::SameName(name, "SkipWidth")) {
            item.SkipWidth = reader.ReadInteger();
        } else if (THashCollection::SameName(name, "SystemMemory")) {
            item.SystemMemory = reader.ReadBoolean();
        } else if (THashCollection::SameName(name, "Transparent")) {
            item.Transparent = reader.ReadBoolean();
        } else if (THashCollection::SameName(name, "TransparentColor")) {
            if (reader.NextValue() == TValueType::Ident) {
                const auto color = IdentToColor(reader.ReadIdent());
                if (!color) throw EStreamError("Invalid property value");
                item.TransparentColor = *color;
            } else {
                item.TransparentColor = static_cast<uint32_t>(reader.ReadInteger());
            }
        } else if (THashCollection::SameName(name, "Picture.Data")) {
            item.Picture = ReadPictureData(reader.ReadBinary());
            if (!item.Owner().KeepDecodedPixels) item.Picture.ReleasePixels();
        } else {
            reader.SkipValue();
        }
    }
}

} // namespace

// ---------------------------------------------------------------- picture

void TPicture::DecodePixels()
{
    if (PixelsDecoded() || Stored.empty()) return;
    // The same bytes decoded once already, so this cannot fail.
    Graphic = Kind == TKind::Bitmap ? TDIB::LoadFromBitmapFile(Stored) : TDIB::LoadFromDIB(Stored);
}

void TPicture::ReleasePixels()
{
    if (Stored.empty()) return;
    std::vector<uint32_t>().swap(Graphic.Pixels);
}

TDIB TPicture::Decoded() const
{
    if (PixelsDecoded() || Stored.empty()) return Graphic;
    return Kind == TKind::Bitmap ? TDIB::LoadFromBitmapFile(Stored) : TDIB::LoadFromDIB(Stored);
}

// ---------------------------------------------------------------- item

TPictureCollectionItem::TPictureCollectionItem(TPictureCollection& collection) : THashCollectionItem(collection) {}

TPictureCollectionItem::~TPictureCollectionItem() = default;

TPictureCollection& TPictureCollectionItem::Owner() const
{
    return static_cast<TPictureCollection&>(Collection());
}

int TPictureCollectionItem::Width() const
{
    return PatternWidth > 0 ? PatternWidth : Picture.Width();
}

int TPictureCollectionItem::Height() const
{
    return PatternHeight > 0 ? PatternHeight : Picture.Height();
}

int TPictureCollectionItem::PatternCount() const
{
    // Counted from the sizes until built: asking how many patterns there are
    // does not build them (a frame that is not drawn never needs them).
    if (PatternsBuilt_) return static_cast<int>(Patterns_.size());
    const auto count = [](int size, int pattern, int skip) {
        const int pitch = pattern + skip;
        if (pitch <= 0) return 1;
        int n = size / pitch;
        if (size - n * pitch == pattern) ++n;
        return n;
    };
    return count(Picture.Width(), Width(), SkipWidth) * count(Picture.Height(), Height(), SkipHeight);
}

TRect TPictureCollectionItem::PatternRect(int index) const
{
    EnsurePatterns();
    if (index < 0 || index >= static_cast<int>(Patterns_.size())) return {};
    return Patterns_[static_cast<size_t>(index)].Rect;
}

TDirectDrawSurface* TPictureCollectionItem::PatternSurface(int index) const
{
    EnsurePatterns();
    if (index < 0 || index >= static_cast<int>(Patterns_.size())) return nullptr;
    return Patterns_[static_cast<size_t>(index)].Surface;
}

const TOpaqueRuns* TPictureCollectionItem::PatternRuns(int index) const
{
    EnsurePatterns();
    if (index < 0 || index >= static_cast<int>(Patterns_.size())) return nullptr;
    const auto& pattern = Patterns_[static_cast<size_t>(index)];
    return pattern.Runs.Holds(*pattern.Surface) ? &pattern.Runs : nullptr;
}

void TPictureCollectionItem::Draw(TDirectDrawSurface& dest, int x, int y, int patternIndex) const
{
    EnsurePatterns();
    if (!Initialized || patternIndex < 0 || patternIndex >= static_cast<int>(Patterns_.size())) return;
    const auto& pattern = Patterns_[static_cast<size_t>(patternIndex)];
    if (Transparent && pattern.HasKeyPixel)
        dest.DrawRuns(x, y, pattern.Rect, *pattern.Surface, pattern.Runs);
    else
        dest.Draw(x, y, pattern.Rect, *pattern.Surface, false);
}

bool TPictureCollectionItem::PatternOpaque(int patternIndex) const
{
    EnsurePatterns();
    if (!Initialized || patternIndex < 0 || patternIndex >= static_cast<int>(Patterns_.size())) return false;
    const auto& pattern = Patterns_[static_cast<size_t>(patternIndex)];
    return !pattern.Rect.IsEmpty() && !(Transparent && pattern.HasKeyPixel);
}

void TPictureCollectionItem::StretchDraw(TDirectDrawSurface& dest, const TRect& destRect, int patternIndex) const
{
    EnsurePatterns();
    if (!Initialized || patternIndex < 0 || patternIndex >= static_cast<int>(Patterns_.size())) return;
    const auto& pattern = Patterns_[static_cast<size_t>(patternIndex)];
    if (destRect.IsEmpty() || pattern.Rect.IsEmpty()) return;
    if (Transparent && pattern.HasKeyPixel)
        dest.StretchDrawRuns(destRect, pattern.Rect, *pattern.Surface, pattern.Runs);
    else
        dest.StretchDraw(destRect, pattern.Rect, *pattern.Surface, false);
}

void TPictureCollectionItem::Initialize()
{
    if (Owner().Initialized()) Initialized = true;
}

void TPictureCollectionItem::Finalize()
{
    Patterns_.clear();
    Surfaces_.clear();
    PatternsBuilt_ = false;
    PatternsPending_ = false;
    Initialized = false;
}

namespace {

bool PatternHasKeyPixel(const TPictureCollectionItemPattern& pattern)
{
    const TDirectDrawSurface& surface = *pattern.Surface;
    const TRect r = IntersectRect(pattern.Rect, surface.ClientRect());
    const uint32_t key = surface.TransparentKey();
    for (int y = r.Top; y < r.Bottom; ++y)
        for (int x = r.Left; x < r.Right; ++x)
            if (surface.GetPixel(x, y) == key) return true;
    return false;
}

} // namespace

void TPictureCollectionItem::Restore()
{
    if (Owner().BuildPatternsOnFirstUse) {
        Patterns_.clear();
        Surfaces_.clear();
        PatternsBuilt_ = false;
        PatternsPending_ = Picture.HasGraphic();
        return;
    }
    BuildPatternsNow();
}

void TPictureCollectionItem::EnsurePatterns() const
{
    // Items are never created const; building is what a restore would have
    // done, so readers see the same patterns either way.
    if (PatternsPending_) const_cast<TPictureCollectionItem*>(this)->BuildPatternsNow();
}

void TPictureCollectionItem::BuildPatternsNow()
{
    PatternsPending_ = false;
    Picture.DecodePixels();
    BuildPatterns();
    if (!Owner().KeepDecodedPixels) Picture.ReleasePixels();
    for (auto& pattern : Patterns_) {
        pattern.Runs = TOpaqueRuns(*pattern.Surface, pattern.Rect);
        pattern.HasKeyPixel = pattern.Runs.Valid() ? pattern.Runs.HasKeyPixel() : PatternHasKeyPixel(pattern);
    }
}

void TPictureCollectionItem::BuildPatterns()
{
    if (!Picture.HasGraphic()) return;
    if (!Initialized) {
        if (Owner().Initialized()) Initialize();
        if (!Initialized) return;
    }
    Patterns_.clear();
    Surfaces_.clear();
    PatternsBuilt_ = true;

    const TCustomDXDraw& display = *Owner().DXDraw();
    const TDIB& dib = Picture.Graphic;
    const int pw = Width(), ph = Height(), sw = SkipWidth, sh = SkipHeight;
    const int pictureW = dib.Width, pictureH = dib.Height;

    const auto makeSurface = [&](int x, int y, int w, int h) {
        auto surface = display.CreateSurface(w, h, SystemMemory);
        surface->LoadFromRGB(0, 0, w, h, dib.Pixels.data() + static_cast<ptrdiff_t>(y) * pictureW + x, pictureW);
        surface->SetTransparentKey(surface->ColorMatch(TransparentColor));
        Surfaces_.push_back(std::move(surface));
        return Surfaces_.back().get();
    };

    if (pw == pictureW && ph == pictureH) {
        TDirectDrawSurface* whole = makeSurface(0, 0, pictureW, pictureH);
        Patterns_.push_back({Bounds(0, 0, pictureW, pictureH), whole, true, {}});
        return;
    }

    const int a = pw + sw, c = ph + sh;
    if (a <= 0 || c <= 0) return;
    const int columns = (pictureW + sw) / a;
    const int rows = (pictureH + sh) / c;
    if (columns <= 0 || rows <= 0) return;

    if (SystemMemory) {
        TDirectDrawSurface* whole = makeSurface(0, 0, pictureW, pictureH);
        for (int row = 0; row < rows; ++row)
            for (int column = 0; column < columns; ++column)
                Patterns_.push_back({Bounds(a * column, c * row, pw, ph), whole, true, {}});
        return;
    }

    // Blocks: the smallest multiple of the pitch that is at least 512, no
    // wider (taller) than the whole grid.
    const int64_t f64 = std::min<int64_t>(int64_t{a} * ((a + 511) / a), int64_t{a} * columns);
    const int64_t g64 = std::min<int64_t>(int64_t{c} * ((c + 511) / c), int64_t{c} * rows);
    if (f64 <= 0 || g64 <= 0) return;
    const int f = static_cast<int>(f64), g = static_cast<int>(g64);
    const int blocksX = (pictureW + f - 1) / f;
    const int blocksY = (pictureH + g - 1) / g;
    std::vector<TDirectDrawSurface*> blocks;
    for (int l = 0; l < blocksY; ++l) {
        for (int m = 0; m < blocksX; ++m) {
            int w = std::min(f, pictureW - f * m);
            int h = std::min(g, pictureH - g * l);
            if (w == 0) w = f;
            if (h == 0) h = g;
            blocks.push_back(makeSurface(f * m, g * l, w, h));
        }
    }
    for (int row = 0; row < rows; ++row) {
        for (int column = 0; column < columns; ++column) {
            const int64_t px = int64_t{a} * column, py = int64_t{c} * row;
            const auto block = static_cast<size_t>((py / g) * blocksX + px / f);
            if (block >= blocks.size()) continue;
            Patterns_.push_back({Bounds(static_cast<int>(px % f), static_cast<int>(py % g), pw, ph), blocks[block], true, {}});
        }
    }
}

// ---------------------------------------------------------------- collection

TPictureCollection::TPictureCollection() = default;

TPictureCollection::~TPictureCollection()
{
    Clear();
}

TPictureCollectionItem& TPictureCollection::Add()
{
    auto& item = static_cast<TPictureCollectionItem&>(Append(std::make_unique<TPictureCollectionItem>(*this)));
    return item;
}

TPictureCollectionItem& TPictureCollection::Items(int index) const
{
    return static_cast<TPictureCollectionItem&>(ItemAt(index));
}

TPictureCollectionItem& TPictureCollection::Find(std::string_view name) const
{
    auto* item = FindItem(name);
    if (item == nullptr) throw EPictureCollectionError(FormatMessage("Image '%.*s' not found", static_cast<int>(name.size()), name.data()));
    return static_cast<TPictureCollectionItem&>(*item);
}

void TPictureCollection::LoadFromFile(const std::string& fileName)
{
    const auto data = ReadFileData(fileName);
    LoadFromStream(data);
}

void TPictureCollection::LoadFromStream(std::span<const uint8_t> data)
{
    Clear();
    TObjectReader reader(data);
    reader.ReadHolderStart();
    while (!reader.EndOfList()) {
        const std::string property = reader.ReadShortString();
        if (THashCollection::SameName(property, "List.ColorTable")) {
            const auto table = reader.ReadBinary();
            ColorTable.fill(0);
            std::memcpy(ColorTable.data(), table.data(), std::min(table.size(), sizeof ColorTable));
        } else if (THashCollection::SameName(property, "List")) {
            reader.ReadCollection(
                [&] { ReadWhole(Add(), [&](TPictureCollectionItem& item) { ReadItemProperties(reader, item); }); });
        } else {
            reader.SkipValue();
        }
    }
    if (Initialized()) {
        Initialize(*DXDraw_);
        Restore();
    }
}

void TPictureCollection::BuildColorTable()
{
    ColorTable.fill(0);
    std::array<bool, 256> used{};
    const auto fix = [&](int index, uint32_t r, uint32_t g, uint32_t b) {
        ColorTable[static_cast<size_t>(index)] = (r << 16) | (g << 8) | b;
        used[static_cast<size_t>(index)] = true;
    };
    fix(0, 0, 0, 0);
    fix(1, 128, 0, 0);
    fix(2, 0, 128, 0);
    fix(3, 128, 128, 0);
    fix(4, 0, 0, 128);
    fix(5, 128, 0, 128);
    fix(6, 0, 128, 128);
    fix(7, 192, 192, 192);
    fix(248, 128, 128, 128);
    fix(249, 255, 0, 0);
    fix(250, 0, 255, 0);
    fix(251, 255, 255, 0);
    fix(252, 0, 0, 255);
    fix(253, 255, 0, 255);
    fix(254, 0, 255, 255);
    fix(255, 255, 255, 255);
    int occupied = 16;

    const auto contribute = [&](uint32_t color) {
        for (size_t i = 0; i < 256; ++i)
            if (used[i] && ColorTable[i] == color) return;
        for (size_t i = 0; i < 256; ++i) {
            if (!used[i]) {
                ColorTable[i] = color;
                used[i] = true;
                ++occupied;
                return;
            }
        }
    };

    for (int i = 0; i < Count() && occupied < 256; ++i) {
        const TPicture& picture = Items(i).Picture;
        if (!picture.HasGraphic()) continue;
        const auto& palette = picture.Graphic.Palette;
        if (picture.Kind == TPicture::TKind::DIB && picture.Graphic.BitCount <= 8) {
            for (size_t e = 0; e < 256; ++e) contribute(e < palette.size() ? palette[e] & 0x00FFFFFF : 0);
        } else {
            for (uint32_t color : palette) contribute(color & 0x00FFFFFF);
        }
    }
}

void TPictureCollection::Initialize(TCustomDXDraw& dxDraw)
{
    for (int i = 0; i < Count(); ++i) Items(i).Finalize();
    DXDraw_ = &dxDraw;
    if (!dxDraw.Initialized()) throw EPictureCollectionError("TPictureCollection cannot be initialized");
    for (int i = 0; i < Count(); ++i) Items(i).Initialized = true;
}

void TPictureCollection::Finalize()
{
    for (int i = 0; i < Count(); ++i) Items(i).Finalize();
}

void TPictureCollection::Restore()
{
    for (int i = 0; i < Count(); ++i) Items(i).Restore();
}

// ---------------------------------------------------------------- component

TDXImageList::TDXImageList() = default;

TDXImageList::~TDXImageList()
{
    SetDXDraw(nullptr);
}

void TDXImageList::SetDXDraw(TCustomDXDraw* dxDraw)
{
    if (dxDraw == DXDraw_) return;
    if (DXDraw_ != nullptr) DXDraw_->UnRegisterNotifyEvent(*this);
    DXDraw_ = dxDraw;
    if (DXDraw_ != nullptr) DXDraw_->RegisterNotifyEvent(*this);
}

void TDXImageList::DXDrawNotify(TCustomDXDraw& sender, TDXDrawNotifyType notifyType)
{
    switch (notifyType) {
    case TDXDrawNotifyType::Destroying:
        Items.Finalize();
        Items.DropDXDraw();
        DXDraw_ = nullptr;
        break;
    case TDXDrawNotifyType::Initialize: Items.Initialize(sender); break;
    case TDXDrawNotifyType::Finalize: Items.Finalize(); break;
    case TDXDrawNotifyType::Restore: Items.Restore(); break;
    default: break;
    }
}

// ---------------------------------------------------------------- writer

std::vector<uint8_t> WritePictureLibrary(const std::vector<TPictureLibraryEntry>& items)
{
    // Encode every picture once; the colour table is built from what a reader sees.
    std::vector<std::vector<uint8_t>> encoded;
    TPictureCollection scratch;
    for (const auto& record : items) {
        auto& item = scratch.Add();
        if (record.PictureWidth > 0 && record.PictureHeight > 0) {
            encoded.push_back(TDIB::EncodeDIB(record.PictureWidth, record.PictureHeight, record.Pixels));
            item.Picture.Graphic = TDIB::LoadFromDIB(encoded.back());
            item.Picture.Kind = TPicture::TKind::DIB;
        } else {
            encoded.emplace_back();
        }
    }
    scratch.BuildColorTable();

    TObjectWriter writer;
    writer.WriteHolderStart("TPICTURECOLLECTIONHOLDER", "TPictureCollectionHolder");
    std::vector<uint8_t> table(sizeof scratch.ColorTable);
    std::memcpy(table.data(), scratch.ColorTable.data(), table.size());
    writer.WriteProperty("List.ColorTable", std::span<const uint8_t>(table));
    writer.WriteShortString("List");
    writer.WriteValue(TValueType::Collection);
    for (size_t i = 0; i < items.size(); ++i) {
        const auto& record = items[i];
        writer.WriteValue(TValueType::List);
        writer.WriteProperty("Name", record.Name);
        writer.WriteProperty("PatternHeight", record.PatternHeight);
        writer.WriteProperty("PatternWidth", record.PatternWidth);
        writer.WriteProperty("SkipHeight", record.SkipHeight);
        writer.WriteProperty("SkipWidth", record.SkipWidth);
        writer.WriteProperty("SystemMemory", record.SystemMemory);
        writer.WriteProperty("Transparent", record.Transparent);
        writer.WriteProperty("TransparentColor", static_cast<int32_t>(record.TransparentColor));
        if (!encoded[i].empty()) {
            static constexpr uint8_t kClass[] = {4, 'T', 'D', 'I', 'B'};
            std::vector<uint8_t> data(sizeof kClass + encoded[i].size());
            std::memcpy(data.data(), kClass, sizeof kClass);
            std::memcpy(data.data() + sizeof kClass, encoded[i].data(), encoded[i].size());
            writer.WriteProperty("Picture.Data", std::span<const uint8_t>(data));
        }
        writer.WriteListEnd();
    }
    writer.WriteListEnd(); // collection
    writer.WriteHolderEnd();
    return writer.Finish();
}
