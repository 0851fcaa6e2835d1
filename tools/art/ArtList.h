// SPDX-License-Identifier: GPL-3.0-or-later
// The art list: which pictures the library holds, in order, and how each is
// drawn from its SVG sources. The format is described in ArtList.cpp and in
// assets/images/README.md.
#pragma once

#include "ArtTemplate.h"

#include <optional>
#include <string>
#include <vector>

// One SVG drawn into an item: the item's base, or a layer over it. A layer
// may instead be a pattern of a picture drawn earlier in the list.
struct TArtLayer {
    std::string Source; // resolved path; empty for a picture layer
    std::string Picture; // name of the earlier picture
    int Pattern = 0;
    TArtVariables Vars; // the layer's own variables (styles applied)
    // Size of the drawing; 0 takes the SVG's own size.
    int Width = 0;
    int Height = 0;
    // Position of a layer: on the screen when the item has an origin,
    // else inside the item.
    double X = 0;
    double Y = 0;
};

struct TArtItem {
    enum class TKind { Image, Export };
    TKind Kind = TKind::Image;
    int Line = 0;
    std::string Name; // library name, or the exported file's name
    TArtLayer Base;
    std::vector<TArtLayer> Layers;
    // Per-frame variables: one value for every frame.
    std::vector<std::pair<std::string, std::vector<std::string>>> FrameVars;
    int Frames = 1;
    bool Trim = false;
    // Each frame is moved down until its lowest opaque pixel is on the bottom row.
    bool Ground = false;
    int Pad = 0;
    bool Transparent = true;
    // 0x00RRGGBB that half-covered edge pixels are laid over.
    uint32_t Edge = 0;
    // Screen position of the picture's top-left corner, for layers placed in
    // screen coordinates; Centre places it by the centred-sprite rule.
    std::optional<std::pair<double, double>> Origin;
    std::optional<std::pair<double, double>> Centre;
    std::string Key; // zarvenok-pack key setting, empty for auto
    // Most colours the stored picture has (the key included), 0 for no limit.
    int Colours = 256;
};

struct TArtFont {
    int Line = 0;
    std::string Family;
    std::string Hint;
};

struct TArtList {
    std::string Path;
    TArtVariables Globals;
    std::vector<TArtFont> Fonts;
    std::vector<TArtItem> Items;
};

// Raises std::runtime_error("LIST:LINE: reason").
TArtList ParseArtList(const std::string& text, const std::string& listPath);
TArtList ReadArtList(const std::string& listPath);

// "#RRGGBB" to 0x00RRGGBB; raises std::runtime_error on anything else.
uint32_t ParseRgb(const std::string& text);
