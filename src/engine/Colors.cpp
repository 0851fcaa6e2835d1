// SPDX-License-Identifier: GPL-3.0-or-later
// Colour identifier table and system colour values.
#include "Colors.h"

#include <array>
#include <cctype>

namespace {

struct TColorIdent {
    std::string_view Name;
    uint32_t Value;
};

constexpr uint32_t kSystem = 0xFF000000;

constexpr std::array<TColorIdent, 53> kIdents{{
    {"clBlack", 0x000000}, {"clMaroon", 0x000080}, {"clGreen", 0x008000}, {"clOlive", 0x008080},
    {"clNavy", 0x800000}, {"clPurple", 0x800080}, {"clTeal", 0x808000}, {"clGray", 0x808080},
    {"clSilver", 0xC0C0C0}, {"clRed", 0x0000FF}, {"clLime", 0x00FF00}, {"clYellow", 0x00FFFF},
    {"clBlue", 0xFF0000}, {"clFuchsia", 0xFF00FF}, {"clAqua", 0xFFFF00}, {"clWhite", 0xFFFFFF},
    {"clMoneyGreen", 0xC0DCC0}, {"clSkyBlue", 0xF0CAA6}, {"clCream", 0xF0FBFF},
    {"clMedGray", 0xA4A0A0}, {"clLtGray", 0xC0C0C0}, {"clDkGray", 0x808080},
    {"clNone", 0x1FFFFFFF}, {"clDefault", 0x20000000},
    {"clScrollBar", kSystem | 0}, {"clBackground", kSystem | 1},
    {"clActiveCaption", kSystem | 2}, {"clInactiveCaption", kSystem | 3}, {"clMenu", kSystem | 4},
    {"clWindow", kSystem | 5}, {"clWindowFrame", kSystem | 6}, {"clMenuText", kSystem | 7},
    {"clWindowText", kSystem | 8}, {"clCaptionText", kSystem | 9},
    {"clActiveBorder", kSystem | 10}, {"clInactiveBorder", kSystem | 11},
    {"clAppWorkSpace", kSystem | 12}, {"clHighlight", kSystem | 13},
    {"clHighlightText", kSystem | 14}, {"clBtnFace", kSystem | 15},
    {"clBtnShadow", kSystem | 16}, {"clGrayText", kSystem | 17}, {"clBtnText", kSystem | 18},
    {"clInactiveCaptionText", kSystem | 19}, {"clBtnHighlight", kSystem | 20},
    {"cl3DDkShadow", kSystem | 21}, {"cl3DLight", kSystem | 22}, {"clInfoText", kSystem | 23},
    {"clInfoBk", kSystem | 24}, {"clHotLight", kSystem | 26},
    {"clGradientActiveCaption", kSystem | 27}, {"clGradientInactiveCaption", kSystem | 28},
    {"clMenuHighlight", kSystem | 29},
}};

// Classic desktop scheme, as 0x00RRGGBB, indexed by system colour number.
constexpr std::array<uint32_t, 31> kSystemRGB{{
    0xC0C0C0, 0x008080, 0x000080, 0x808080, 0xC0C0C0, 0xFFFFFF, 0x000000, 0x000000,
    0x000000, 0xFFFFFF, 0xC0C0C0, 0xC0C0C0, 0x808080, 0x000080, 0xFFFFFF, 0xC0C0C0,
    0x808080, 0x808080, 0x000000, 0xC0C0C0, 0xFFFFFF, 0x000000, 0xDFDFDF, 0x000000,
    0xFFFFE1, 0xB5B5B5, 0x0000FF, 0x1084D0, 0xB5B5B5, 0x316AC5, 0xECE9D8,
}};

bool SameIdent(std::string_view a, std::string_view b)
{
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    }
    return true;
}

} // namespace

std::optional<uint32_t> IdentToColor(std::string_view ident)
{
    for (const auto& entry : kIdents) {
        if (SameIdent(entry.Name, ident)) return entry.Value;
    }
    return std::nullopt;
}

uint32_t ColorRefToRGB(uint32_t colorRef)
{
    if ((colorRef & 0xFF000000u) == kSystem) {
        const uint32_t index = colorRef & 0xFF;
        return index < kSystemRGB.size() ? kSystemRGB[index] : 0;
    }
    const uint32_t r = colorRef & 0xFF, g = (colorRef >> 8) & 0xFF, b = (colorRef >> 16) & 0xFF;
    return (r << 16) | (g << 8) | b;
}
