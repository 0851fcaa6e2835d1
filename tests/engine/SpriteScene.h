// SPDX-License-Identifier: GPL-3.0-or-later
// A small stage for image tests: an off-screen display, an image library
// bound to it and a sprite engine painting on its back surface. Pictures are
// drawn as rows of characters, one character per pixel.
#pragma once

#include "DXSpriteEngine.h"
#include "PictureCollection.h"

#include <map>
#include <string>
#include <vector>

// Character to 0x00RRGGBB; '.' is black, the key colour of the scene's images.
inline const std::map<char, uint32_t> kSceneColors = {
    {'.', 0x000000}, {'R', 0xFF0000}, {'G', 0x00FF00}, {'B', 0x0000FF}, {'W', 0xFFFFFF}, {'Y', 0xFFFF00},
};

class TSpriteScene {
public:
    explicit TSpriteScene(const TPixelFormat& format = TPixelFormat::XRGB8888(), int width = 800, int height = 600)
        : Display(format, width, height)
    {
        Display.Initialize();
        Images.SetDXDraw(&Display);
        Sprites.SetDXDraw(&Display);
    }

    TOffscreenDXDraw Display;
    TDXImageList Images;
    TDXSpriteEngine Sprites;

    TSpriteEngine& Root() { return Sprites.Engine(); }
    TDirectDrawSurface& Surface() { return *Display.Surface(); }

    // Adds an image cut into patterns of patternWidth x patternHeight (0: the
    // whole picture) and builds its patterns on the display.
    TPictureCollectionItem& AddImage(const std::string& name, const std::vector<std::string>& rows,
                                     int patternWidth = 0, int patternHeight = 0, int skipWidth = 0)
    {
        TPictureCollectionItem& item = Images.Items.Add();
        item.SetName(name);
        item.Picture.Kind = TPicture::TKind::DIB;
        item.Picture.GraphicClass = "TDIB";
        item.Picture.Graphic.Width = static_cast<int>(rows.empty() ? 0 : rows[0].size());
        item.Picture.Graphic.Height = static_cast<int>(rows.size());
        item.Picture.Graphic.BitCount = 24;
        for (const std::string& row : rows)
            for (char c : row) item.Picture.Graphic.Pixels.push_back(kSceneColors.at(c));
        item.PatternWidth = patternWidth;
        item.PatternHeight = patternHeight;
        item.SkipWidth = skipWidth;
        item.TransparentColor = 0;  // black
        item.Restore();
        return item;
    }

    // A picture of one colour.
    TPictureCollectionItem& AddSolidImage(const std::string& name, int width, int height, char color)
    {
        return AddImage(name, std::vector<std::string>(static_cast<size_t>(height), std::string(static_cast<size_t>(width), color)));
    }

    // The back surface as rows of characters over [x, x + w) x [y, y + h);
    // '?' for a colour the scene does not name.
    std::vector<std::string> Snapshot(int x, int y, int w, int h)
    {
        std::vector<std::string> rows;
        for (int r = y; r < y + h; ++r) {
            std::string row;
            for (int c = x; c < x + w; ++c) row += ColorChar(Surface().PixelFormat().PixelToRGB(Surface().GetPixel(c, r)));
            rows.push_back(row);
        }
        return rows;
    }

    void ClearSurface() { Surface().Fill(0); }

private:
    static char ColorChar(uint32_t rgb)
    {
        for (const auto& [c, value] : kSceneColors)
            if (value == rgb) return c;
        return '?';
    }
};
