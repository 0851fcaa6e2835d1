// SPDX-License-Identifier: GPL-3.0-or-later
// Colour identifiers of the library files and the system colours they may
// name. A colour reference is 0x00BBGGRR, or 0xFF0000nn for system colour nn.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

// Value of an identifier such as "clFuchsia" or "clBtnFace"; empty when unknown.
// Identifiers are matched without regard to letter case.
std::optional<uint32_t> IdentToColor(std::string_view ident);

// 0x00RRGGBB of a colour reference, system colours resolved to their
// classic desktop values.
uint32_t ColorRefToRGB(uint32_t colorRef);
