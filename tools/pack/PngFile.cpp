// SPDX-License-Identifier: GPL-3.0-or-later
// RGBA PNG reading and writing through libpng's simplified interface.
#include "PngFile.h"

#include <png.h>

#include <cstring>
#include <stdexcept>

TRgbaImage ReadPng(const std::string& fileName)
{
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    if (png_image_begin_read_from_file(&image, fileName.c_str()) == 0)
        throw std::runtime_error("Cannot read \"" + fileName + "\": " + image.message);
    image.format = PNG_FORMAT_BGRA; // little-endian 0xAARRGGBB words
    if (image.width > 32768 || image.height > 32768 ||
        static_cast<uint64_t>(image.width) * image.height > (uint64_t{1} << 25)) {
        png_image_free(&image);
        throw std::runtime_error("Picture \"" + fileName + "\" is too large");
    }
    TRgbaImage result;
    result.Width = static_cast<int>(image.width);
    result.Height = static_cast<int>(image.height);
    result.Pixels.resize(static_cast<size_t>(image.width) * image.height);
    if (png_image_finish_read(&image, nullptr, result.Pixels.data(), 0, nullptr) == 0)
        throw std::runtime_error("Cannot read \"" + fileName + "\": " + image.message);
    return result;
}

void WritePng(const std::string& fileName, const TRgbaImage& image)
{
    png_image png;
    std::memset(&png, 0, sizeof png);
    png.version = PNG_IMAGE_VERSION;
    png.width = static_cast<png_uint_32>(image.Width);
    png.height = static_cast<png_uint_32>(image.Height);
    png.format = PNG_FORMAT_BGRA;
    if (png_image_write_to_file(&png, fileName.c_str(), 0, image.Pixels.data(), 0, nullptr) == 0)
        throw std::runtime_error("Cannot write \"" + fileName + "\": " + png.message);
}
