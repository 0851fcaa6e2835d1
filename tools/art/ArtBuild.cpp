// SPDX-License-Identifier: GPL-3.0-or-later
// Drawing the items of the art list and packing them.
#include "ArtBuild.h"

#include "ColourReduce.h"
#include "FontCheck.h"
#include "PackCommands.h"
#include "SvgCanvas.h"
#include "Transparency.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <ostream>
#include <sstream>
#include <stdexcept>

namespace {

namespace fs = std::filesystem;

std::string ReadText(const std::string& path)
{
    static std::map<std::string, std::string> cache;
    const auto it = cache.find(path);
    if (it != cache.end()) return it->second;
    std::ifstream in(path, std::ios::binary);
    if (!in) throw std::runtime_error("Cannot open \"" + path + "\"");
    std::ostringstream text;
    text << in.rdbuf();
    return cache[path] = text.str();
}

std::string Where(const TArtList& list, const TArtItem& item)
{
    return list.Path + ":" + std::to_string(item.Line) + " (" + item.Name + ")";
}

TArtVariables FrameVariables(const TArtList& list, const TArtItem& item, const TArtLayer& layer, int frame)
{
    TArtVariables vars = list.Globals;
    for (const auto& [k, v] : layer.Vars) vars[k] = v;
    vars["frame"] = std::to_string(frame);
    vars["frames"] = std::to_string(item.Frames);
    vars["t"] = FormatNumber(item.Frames > 1 ? static_cast<double>(frame) / (item.Frames - 1) : 0.0);
    for (const auto& [name, values] : item.FrameVars) vars[name] = values[static_cast<size_t>(frame)];
    return vars;
}

std::string Expand(const TArtList& list, const TArtItem& item, const TArtLayer& layer, int frame)
{
    try {
        return ExpandTemplate(ReadText(layer.Source), FrameVariables(list, item, layer, frame));
    } catch (const std::exception& e) {
        throw std::runtime_error(Where(list, item) + ": " + layer.Source + ": " + e.what());
    }
}

void DrawPicture(TSvgCanvas& canvas, const TArtList& list, const TArtItem& item, const TArtLayer& layer,
                 const TArtPictures* pictures, double x, double y)
{
    const auto it = pictures != nullptr ? pictures->find(layer.Picture) : TArtPictures::const_iterator{};
    if (pictures == nullptr || it == pictures->end())
        throw std::runtime_error(Where(list, item) + ": the picture \"" + layer.Picture + "\" is not drawn yet");
    const TArtPicture& picture = it->second;
    const int count = picture.Image.Width / picture.PatternWidth;
    if (layer.Pattern >= count)
        throw std::runtime_error(Where(list, item) + ": \"" + layer.Picture + "\" has no pattern " +
                                 std::to_string(layer.Pattern));
    canvas.DrawPixels(picture.Image, layer.Pattern * picture.PatternWidth, 0, picture.PatternWidth, picture.Image.Height, x,
                      y, layer.Width > 0 ? layer.Width : picture.PatternWidth,
                      layer.Height > 0 ? layer.Height : picture.Image.Height);
}

TRgbaImage RenderFrame(const TArtList& list, const TArtItem& item, int frame, int width, int height,
                       const TArtPictures* pictures)
{
    TSvgCanvas canvas(width, height);
    canvas.DrawSvg(Expand(list, item, item.Base, frame), item.Base.Source, 0, 0, width, height);
    double ox = 0, oy = 0;
    if (item.Centre) {
        // A sprite of size 0 paints its image centred: left = trunc(X) + (0 - W) div 2.
        ox = static_cast<int>(item.Centre->first) + (0 - width) / 2;
        oy = static_cast<int>(item.Centre->second) + (0 - height) / 2;
    } else if (item.Origin) {
        ox = item.Origin->first;
        oy = item.Origin->second;
    }
    for (const auto& layer : item.Layers) {
        if (!layer.Picture.empty()) DrawPicture(canvas, list, item, layer, pictures, layer.X - ox, layer.Y - oy);
        else canvas.DrawSvg(Expand(list, item, layer, frame), layer.Source, layer.X - ox, layer.Y - oy, layer.Width,
                            layer.Height);
    }
    return canvas.Pixels();
}

std::string FileNameFor(size_t index, const std::string& name)
{
    std::string safe;
    for (char c : name) safe += std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '-' ? c : '_';
    char prefix[16];
    std::snprintf(prefix, sizeof prefix, "%03zu-", index);
    return prefix + safe + ".png";
}

} // namespace

void ArtFrameSize(const TArtList& list, const TArtItem& item, int& width, int& height)
{
    width = item.Base.Width;
    height = item.Base.Height;
    if (width <= 0 || height <= 0) TSvgCanvas::IntrinsicSize(Expand(list, item, item.Base, 0), item.Base.Source, width, height);
}

TRgbaImage RenderArtItem(const TArtList& list, const TArtItem& item, const TArtPictures* pictures)
{
    int w = 0, h = 0;
    ArtFrameSize(list, item, w, h);
    if (item.Kind == TArtItem::TKind::Export) return RenderFrame(list, item, 0, w, h, pictures);

    TRgbaImage strip{w * item.Frames, h, {}};
    strip.Pixels.assign(static_cast<size_t>(strip.Width) * static_cast<size_t>(h), 0);
    for (int f = 0; f < item.Frames; ++f) {
        TRgbaImage frame = RenderFrame(list, item, f, w, h, pictures);
        if (item.Transparent) FlattenEdges(frame, item.Edge);
        else FlattenOpaque(frame, item.Edge);
        if (item.Ground) SetOnGround(frame);
        if (item.Trim) {
            strip = TrimColumns(frame, item.Pad);
            break;
        }
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                strip.Pixels[static_cast<size_t>(y) * static_cast<size_t>(strip.Width) + static_cast<size_t>(f * w + x)] =
                    frame.Pixels[static_cast<size_t>(y) * static_cast<size_t>(w) + static_cast<size_t>(x)];
    }
    if (item.Colours > 0) {
        // The colour key takes a palette entry of its own.
        const bool anyClear =
            item.Transparent && std::any_of(strip.Pixels.begin(), strip.Pixels.end(), [](uint32_t p) { return (p >> 24) == 0; });
        ReduceColours(strip, item.Colours - (anyClear ? 1 : 0));
    }
    return strip;
}

void BuildArtLibrary(const std::string& listPath, const std::string& libraryPath, const std::string& workDir,
                     std::ostream& out)
{
    const TArtList list = ReadArtList(listPath);
    for (const auto& font : list.Fonts) {
        try {
            RequireFont(font.Family, font.Hint);
        } catch (const std::exception& e) {
            throw std::runtime_error(list.Path + ":" + std::to_string(font.Line) + ": " + e.what());
        }
    }
    fs::create_directories(workDir);
    const fs::path libraryDir = fs::path(libraryPath).parent_path();
    if (!libraryDir.empty()) fs::create_directories(libraryDir);

    std::ostringstream manifest;
    manifest << "# Written by zarvenok-art from " << fs::path(listPath).filename().string() << "\n";
    size_t index = 0;
    TArtPictures pictures;
    for (const auto& item : list.Items) {
        const TRgbaImage picture = RenderArtItem(list, item, &pictures);
        if (item.Kind == TArtItem::TKind::Export) {
            WritePng((libraryDir / item.Name).string(), picture);
            continue;
        }
        pictures[item.Name] = {picture, picture.Width / item.Frames};
        const std::string file = FileNameFor(index++, item.Name);
        WritePng((fs::path(workDir) / file).string(), picture);
        manifest << "image \"" << item.Name << "\" \"" << file << "\"";
        if (item.Frames > 1) manifest << " pattern=" << picture.Width / item.Frames << 'x' << picture.Height;
        manifest << " transparent=" << (item.Transparent ? 1 : 0);
        if (!item.Key.empty()) manifest << " key=" << item.Key;
        manifest << '\n';
    }
    const std::string manifestPath = (fs::path(workDir) / "Graphic.manifest").string();
    {
        std::ofstream file(manifestPath, std::ios::binary | std::ios::trunc);
        file << manifest.str();
        if (!file) throw std::runtime_error("Cannot write \"" + manifestPath + "\"");
    }
    std::ostringstream err;
    if (RunPack({"build", manifestPath, libraryPath}, out, err) != 0) throw std::runtime_error(err.str());
}
