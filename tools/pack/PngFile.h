// SPDX-License-Identifier: GPL-3.0-or-later
// RGBA PNG reading and writing for the library tool.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct TRgbaImage {
    int Width = 0;
    int Height = 0;
    // 0xAARRGGBB, top row first.
    std::vector<uint32_t> Pixels;
};

// Raises std::runtime_error with the file name and libpng's reason.
TRgbaImage ReadPng(const std::string& fileName);
void WritePng(const std::string& fileName, const TRgbaImage& image);
