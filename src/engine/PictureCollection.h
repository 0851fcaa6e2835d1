// SPDX-License-Identifier: GPL-3.0-or-later
// The image library: named pictures cut into equal patterns on surfaces of
// the display's format, drawn with a colour key.
#pragma once

#include "CustomDXDraw.h"
#include "Dib.h"
#include "HashCollection.h"

#include <array>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// The source picture of an item: one graphic or none.
struct TPicture {
    enum class TKind { None, DIB, Bitmap };
    TKind Kind = TKind::None;
    // The class name as stored ("TDIB", "TBitmap" or another, unsupported one).
    std::string GraphicClass;
    // Decoded on loading. In a collection that does not keep decoded pixels
    // (the game's), only the size, depth and palette stay: the pixels are
    // decoded again from Stored while patterns are built, and let go after.
    TDIB Graphic;
    // The graphic's data as the library stores it (run-length coded as a
    // rule, a fraction of the decoded size); empty for pictures made in code.
    std::vector<uint8_t> Stored;

    bool HasGraphic() const { return Kind != TKind::None; }
    // Whether Graphic.Pixels holds the picture now.
    bool PixelsDecoded() const { return !Graphic.Pixels.empty() || Graphic.Width <= 0 || Graphic.Height <= 0; }
    // Decodes Stored again after ReleasePixels.
    void DecodePixels();
    // Drops the decoded pixels when Stored can bring them back.
    void ReleasePixels();
    // The whole graphic with its pixels, decoded for the caller when let go.
    TDIB Decoded() const;
    int Width() const { return HasGraphic() ? Graphic.Width : 0; }
    int Height() const { return HasGraphic() ? Graphic.Height : 0; }
};

struct TPictureCollectionItemPattern {
    TRect Rect;
    TDirectDrawSurface* Surface = nullptr;
    // Some pixel of the pattern takes the key; without one a keyed draw is a
    // plain copy, which is much cheaper (opaque backdrops).
    bool HasKeyPixel = true;
    // Spans that differ from the surface's key, row by row.
    TOpaqueRuns Runs;
};

class TPictureCollection;

class TPictureCollectionItem : public THashCollectionItem {
public:
    explicit TPictureCollectionItem(TPictureCollection& collection);
    ~TPictureCollectionItem() override;

    TPicture Picture;
    bool Initialized = false;
    int PatternHeight = 0;
    int PatternWidth = 0;
    int SkipHeight = 0;
    int SkipWidth = 0;
    bool SystemMemory = false;
    bool Transparent = true;
    uint32_t TransparentColor = 0;

    // Pattern size: PatternWidth/Height when above 0, else the picture's.
    int Width() const;
    int Height() const;
    // Built patterns, or computed from the picture before they exist.
    int PatternCount() const;
    // Whether the pattern draws every one of its pixels (no key pixel shows
    // through); false for an index without a pattern.
    bool PatternOpaque(int patternIndex) const;
    TRect PatternRect(int index) const;
    TDirectDrawSurface* PatternSurface(int index) const;
    // The pattern's opaque runs against its surface's key; nullptr for an
    // index without a pattern, or when the runs do not hold the surface's
    // pixels as they are now.
    const TOpaqueRuns* PatternRuns(int index) const;
    // Whether the patterns exist now (readers build pending ones first).
    bool PatternsBuilt() const { return PatternsBuilt_; }
    const std::vector<std::unique_ptr<TDirectDrawSurface>>& Surfaces() const
    {
        EnsurePatterns();
        return Surfaces_;
    }

    void Draw(TDirectDrawSurface& dest, int x, int y, int patternIndex) const;
    void StretchDraw(TDirectDrawSurface& dest, const TRect& destRect, int patternIndex) const;

    // Life cycle driven by the collection.
    void Initialize();
    void Finalize();
    // Frees old patterns and cuts the picture anew (at once, or on first use
    // in a collection that builds patterns on first use).
    void Restore();

    TPictureCollection& Owner() const;

private:
    void BuildPatterns();
    void BuildPatternsNow();
    // Builds pending patterns; every reader of patterns calls it first.
    void EnsurePatterns() const;

    std::vector<TPictureCollectionItemPattern> Patterns_;
    std::vector<std::unique_ptr<TDirectDrawSurface>> Surfaces_;
    bool PatternsBuilt_ = false;
    bool PatternsPending_ = false;
};

class TPictureCollection : public THashCollection {
public:
    TPictureCollection();
    ~TPictureCollection() override;

    TPictureCollectionItem& Add();
    TPictureCollectionItem& Items(int index) const;
    // Raises EPictureCollectionError "Image '%s' not found".
    TPictureCollectionItem& Find(std::string_view name) const;

    // A file that cannot be opened raises EFOpenError and changes nothing.
    void LoadFromFile(const std::string& fileName);
    // Removes all items, then reads; a failure keeps the items read before it.
    void LoadFromStream(std::span<const uint8_t> data);
    void BuildColorTable();

    // Bound display; the collection is initialised exactly when it is.
    TCustomDXDraw* DXDraw() const { return DXDraw_; }
    bool Initialized() const { return DXDraw_ != nullptr && DXDraw_->Initialized(); }
    // Finalises every item, stores the display, marks the items initialised.
    void Initialize(TCustomDXDraw& dxDraw);
    void Finalize();
    // Every item rebuilds its patterns.
    void Restore();
    // Forgets a display that is going away.
    void DropDXDraw() { DXDraw_ = nullptr; }

    // Tools and tests read the decoded pictures; the game turns this off
    // before loading, so that a picture is held once, in the display's
    // format, beside its stored data (a fraction of the decoded size).
    bool KeepDecodedPixels = true;
    // A restore only marks the patterns to be built; each item builds them
    // when first drawn or asked about, so pictures of screens not yet shown
    // cost neither memory nor start time. The pixels are the same.
    bool BuildPatternsOnFirstUse = false;

    // 256 entries (blue, green, red, 0), i.e. 0x00RRGGBB.
    std::array<uint32_t, 256> ColorTable{};

private:
    TCustomDXDraw* DXDraw_ = nullptr;
};

// Form component: the library bound to a display's notifications.
class TDXImageList : private IDXDrawNotify {
public:
    TDXImageList();
    ~TDXImageList();
    TDXImageList(const TDXImageList&) = delete;
    TDXImageList& operator=(const TDXImageList&) = delete;

    TCustomDXDraw* DXDraw() const { return DXDraw_; }
    void SetDXDraw(TCustomDXDraw* dxDraw);
    TPictureCollection Items;

private:
    void DXDrawNotify(TCustomDXDraw& sender, TDXDrawNotifyType notifyType) override;
    TCustomDXDraw* DXDraw_ = nullptr;
};

// Item values as the library file stores them, for our writer.
struct TPictureLibraryEntry {
    std::string Name;
    int PatternWidth = 0;
    int PatternHeight = 0;
    int SkipWidth = 0;
    int SkipHeight = 0;
    bool SystemMemory = false;
    bool Transparent = true;
    uint32_t TransparentColor = 0;
    // Picture pixels (0x00RRGGBB, top row first); an item may have none.
    int PictureWidth = 0;
    int PictureHeight = 0;
    std::vector<uint32_t> Pixels;
};

// Writes a ".dxg" library whose colour table is built from the items.
std::vector<uint8_t> WritePictureLibrary(const std::vector<TPictureLibraryEntry>& items);
