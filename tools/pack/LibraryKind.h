// SPDX-License-Identifier: GPL-3.0-or-later
// Tells an image library from a wave library by its content.
#pragma once

#include <cstdint>
#include <span>

enum class TLibraryKind { Image, Wave };

// Reads the holder's properties and the first item's property names. A
// library with nothing that tells counts as an image library. Raises the
// stream's own errors on a damaged header.
TLibraryKind DetectLibraryKind(std::span<const uint8_t> data);
