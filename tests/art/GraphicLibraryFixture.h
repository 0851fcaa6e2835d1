// SPDX-License-Identifier: GPL-3.0-or-later
// The built image library, loaded once for every test that reads it, with
// helpers to look at patterns the way the game cuts them.
#pragma once

#include "Colors.h"
#include "PictureCollection.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <memory>
#include <string>

class GraphicLibrary : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        Library_ = std::make_unique<TPictureCollection>();
        Library_->LoadFromFile(ZARVENOK_GRAPHIC_LIBRARY);
    }
    static void TearDownTestSuite() { Library_.reset(); }

    static const TPictureCollectionItem& Item(const std::string& name) { return Library_->Find(name); }

    static bool Clear(const TPictureCollectionItem& item, uint32_t rgb)
    {
        return item.Transparent && (rgb & 0x00FFFFFF) == (ColorRefToRGB(item.TransparentColor) & 0x00FFFFFF);
    }

    // Pixel (x, y) of pattern p, the picture cut as the game cuts it.
    static uint32_t PatternPixel(const TPictureCollectionItem& item, int p, int x, int y)
    {
        const int cols = item.Picture.Width() / item.Width();
        return item.Picture.Graphic.Pixel((p % cols) * item.Width() + x, (p / cols) * item.Height() + y);
    }

    struct TBounds {
        int Left = 1 << 30, Top = 1 << 30, Right = -1, Bottom = -1; // inclusive
        long Opaque = 0;
    };
    static TBounds OpaqueBounds(const TPictureCollectionItem& item, int p = 0)
    {
        TBounds b;
        for (int y = 0; y < item.Height(); ++y)
            for (int x = 0; x < item.Width(); ++x) {
                if (Clear(item, PatternPixel(item, p, x, y))) continue;
                b.Left = std::min(b.Left, x);
                b.Top = std::min(b.Top, y);
                b.Right = std::max(b.Right, x);
                b.Bottom = std::max(b.Bottom, y);
                ++b.Opaque;
            }
        return b;
    }

    static inline std::unique_ptr<TPictureCollection> Library_;
};
