// SPDX-License-Identifier: GPL-3.0-or-later
// zarvenok-pack commands, built on the engine's own readers and writers.
#include "PackCommands.h"

#include "Colors.h"
#include "CustomDXDraw.h"
#include "EngineErrors.h"
#include "FileData.h"
#include "LibraryKind.h"
#include "Manifest.h"
#include "PictureCollection.h"
#include "PngFile.h"
#include "WaveCollection.h"

#include <array>
#include <bitset>
#include <charconv>
#include <cstdio>
#include <fstream>
#include <optional>
#include <ostream>
#include <stdexcept>

namespace {

class TUsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

std::string Hex32(uint32_t value)
{
    char text[16];
    std::snprintf(text, sizeof text, "0x%08X", value);
    return text;
}

void WriteFile(const std::string& fileName, const std::vector<uint8_t>& data)
{
    std::ofstream out(fileName, std::ios::binary | std::ios::trunc);
    if (!out) throw std::runtime_error("Cannot create file \"" + fileName + "\"");
    out.write(reinterpret_cast<const char*>(data.data()), static_cast<std::streamsize>(data.size()));
    if (!out) throw std::runtime_error("Cannot write file \"" + fileName + "\"");
}

// Prints every item that loads; damage further on is reported after them.
template <class TLibrary, class TPrint>
int ListLibrary(const std::vector<uint8_t>& data, TPrint&& print)
{
    TLibrary library;
    std::string failure;
    try {
        library.LoadFromStream(data);
    } catch (const EEngineError& e) {
        failure = e.what();
    }
    for (int i = 0; i < library.Count(); ++i) print(i, library.Items(i));
    if (!failure.empty()) throw EStreamError(failure);
    return 0;
}

int ListImages(const std::vector<uint8_t>& data, std::ostream& out)
{
    return ListLibrary<TPictureCollection>(data, [&](int i, const TPictureCollectionItem& item) {
        const TPicture& picture = item.Picture;
        out << i << '\t' << item.Name() << '\t' << picture.Width() << '\t' << picture.Height() << '\t'
            << item.Width() << '\t' << item.Height() << '\t' << item.PatternCount() << '\t' << item.SkipWidth
            << '\t' << item.SkipHeight << '\t' << (item.Transparent ? 1 : 0) << '\t'
            << (item.SystemMemory ? 1 : 0) << '\t' << Hex32(item.TransparentColor) << '\t'
            << (picture.HasGraphic() ? picture.Graphic.BitCount : 0) << '\n';
    });
}

int ListWaves(const std::vector<uint8_t>& data, std::ostream& out)
{
    return ListLibrary<TWaveCollection>(data, [&](int i, const TWaveCollectionItem& item) {
        const TWave& wave = item.Wave;
        out << i << '\t' << item.Name() << '\t' << (item.Looped() ? 1 : 0) << '\t' << item.MaxPlayingCount() << '\t'
            << wave.FormatTag() << '\t' << wave.Channels() << '\t' << wave.SamplesPerSec() << '\t'
            << wave.BitsPerSample() << '\t' << wave.Data.size() << '\n';
    });
}

// The whole picture, with alpha 0 where a 32-bit surface would skip the key.
TRgbaImage PictureToRgba(const TPictureCollectionItem& item)
{
    const TDIB& dib = item.Picture.Graphic;
    const uint32_t key = ColorRefToRGB(item.TransparentColor);
    TRgbaImage image{dib.Width, dib.Height, {}};
    image.Pixels.reserve(dib.Pixels.size());
    for (uint32_t pixel : dib.Pixels) {
        const uint32_t rgb = pixel & 0x00FFFFFF;
        image.Pixels.push_back(item.Transparent && rgb == key ? rgb : rgb | 0xFF000000u);
    }
    return image;
}

// One pattern as the game cuts it on a 32-bit display.
TRgbaImage PatternToRgba(TPictureCollection& library, TPictureCollectionItem& item, int index)
{
    TOffscreenDXDraw display(TPixelFormat::XRGB8888());
    display.Initialize();
    library.Initialize(display);
    item.Restore();
    TDirectDrawSurface* surface = item.PatternSurface(index);
    if (surface == nullptr)
        throw std::runtime_error(FormatMessage("Pattern %d out of range (the image has %d)", index, item.PatternCount()));
    const TRect rect = item.PatternRect(index);
    TRgbaImage image{rect.Width(), rect.Height(), {}};
    image.Pixels.assign(static_cast<size_t>(rect.Width()) * static_cast<size_t>(rect.Height()), 0);
    for (int y = 0; y < rect.Height(); ++y) {
        for (int x = 0; x < rect.Width(); ++x) {
            const int sx = rect.Left + x, sy = rect.Top + y;
            if (sx < 0 || sy < 0 || sx >= surface->Width() || sy >= surface->Height()) continue;
            const uint32_t value = surface->GetPixel(sx, sy);
            const uint32_t rgb = value & 0x00FFFFFF;
            image.Pixels[static_cast<size_t>(y) * static_cast<size_t>(rect.Width()) + static_cast<size_t>(x)] =
                item.Transparent && value == surface->TransparentKey() ? rgb : rgb | 0xFF000000u;
        }
    }
    library.Finalize();
    return image;
}

int Extract(const std::vector<std::string>& args, std::ostream& out)
{
    if (args.size() != 4 && args.size() != 6) throw TUsageError("extract takes FILE NAME OUT [--pattern N]");
    std::optional<int> pattern;
    if (args.size() == 6) {
        if (args[4] != "--pattern") throw TUsageError("unknown option \"" + args[4] + "\"");
        int n = 0;
        const auto [end, ec] = std::from_chars(args[5].data(), args[5].data() + args[5].size(), n);
        if (ec != std::errc() || end != args[5].data() + args[5].size()) throw TUsageError("--pattern takes a number");
        pattern = n;
    }
    const auto data = ReadFileData(args[1]);
    if (DetectLibraryKind(data) == TLibraryKind::Wave) {
        TWaveCollection library;
        library.LoadFromStream(data);
        WriteFile(args[3], library.Find(args[2]).Wave.SaveToRiff());
    } else {
        TPictureCollection library;
        library.LoadFromStream(data);
        auto& item = library.Find(args[2]);
        if (!item.Picture.HasGraphic()) throw std::runtime_error("Image '" + args[2] + "' has no picture");
        WritePng(args[3], pattern ? PatternToRgba(library, item, *pattern) : PictureToRgba(item));
    }
    out.flush();
    return 0;
}

// A key that no opaque pixel takes, even after narrowing to 16 bits.
uint32_t ChooseKey(const std::vector<uint32_t>& pixels, const std::vector<bool>& opaque)
{
    std::bitset<65536> used565;
    const TPixelFormat f565 = TPixelFormat::RGB565();
    for (size_t i = 0; i < pixels.size(); ++i)
        if (opaque[i]) used565.set(f565.RGBToPixel(pixels[i]));
    static constexpr std::array<uint32_t, 6> kFavourites{0xFF00FF, 0x00FF00, 0x00FFFF, 0xFF0080, 0x8000FF, 0x010203};
    for (uint32_t rgb : kFavourites)
        if (!used565.test(f565.RGBToPixel(rgb))) return rgb;
    for (uint32_t v = 0; v < 65536; ++v)
        if (!used565.test(v)) return f565.PixelToRGB(v);
    throw std::runtime_error("every colour is taken: no transparent key is left");
}

uint32_t RgbToColorRef(uint32_t rgb)
{
    return ((rgb & 0xFF) << 16) | (rgb & 0xFF00) | ((rgb >> 16) & 0xFF);
}

TPictureLibraryEntry ImageRecord(const TManifestEntry& entry)
{
    TPictureLibraryEntry record;
    record.Name = entry.Name;
    record.PatternWidth = entry.PatternWidth;
    record.PatternHeight = entry.PatternHeight;
    record.SkipWidth = entry.SkipWidth;
    record.SkipHeight = entry.SkipHeight;
    record.Transparent = entry.Transparent;
    record.SystemMemory = entry.SystemMemory;
    record.TransparentColor = entry.TransparentColor.value_or(0);
    if (entry.File.empty()) return record;

    const TRgbaImage png = ReadPng(entry.File);
    record.PictureWidth = png.Width;
    record.PictureHeight = png.Height;
    record.Pixels.resize(png.Pixels.size());
    std::vector<bool> opaque(png.Pixels.size());
    bool anyClear = false;
    for (size_t i = 0; i < png.Pixels.size(); ++i) {
        record.Pixels[i] = png.Pixels[i] & 0x00FFFFFF;
        opaque[i] = !entry.Transparent || (png.Pixels[i] >> 24) >= 128;
        anyClear = anyClear || !opaque[i];
    }
    if (entry.Transparent) {
        uint32_t keyRgb;
        if (entry.TransparentColor) {
            keyRgb = ColorRefToRGB(*entry.TransparentColor);
        } else {
            keyRgb = anyClear ? ChooseKey(record.Pixels, opaque) : 0xFF00FF;
            record.TransparentColor = RgbToColorRef(keyRgb);
        }
        for (size_t i = 0; i < record.Pixels.size(); ++i)
            if (!opaque[i]) record.Pixels[i] = keyRgb;
    }
    return record;
}

int Build(const std::vector<std::string>& args, std::ostream& out)
{
    if (args.size() != 3) throw TUsageError("build takes MANIFEST OUT");
    const auto entries = ReadManifest(args[1]);
    std::vector<uint8_t> library;
    if (!entries.empty() && entries.front().Kind == TManifestEntry::TKind::Wave) {
        std::vector<TWaveLibraryEntry> records;
        for (const auto& entry : entries) {
            TWaveLibraryEntry record;
            record.Name = entry.Name;
            record.Looped = entry.Looped;
            record.MaxPlayingCount = entry.MaxPlayingCount;
            record.Wave = TWave::LoadFromRiff(ReadFileData(entry.File));
            records.push_back(std::move(record));
        }
        library = WriteWaveLibrary(records);
    } else {
        std::vector<TPictureLibraryEntry> records;
        for (const auto& entry : entries) records.push_back(ImageRecord(entry));
        library = WritePictureLibrary(records);
    }
    WriteFile(args[2], library);
    out << args[2] << ": " << entries.size() << " items\n";
    return 0;
}

} // namespace

const char* PackUsage()
{
    return R"(usage: zarvenok-pack COMMAND ...

Commands:
  list FILE
      One line per item, fields separated by a tab. Image libraries:
        index name picture_width picture_height width height pattern_count
        skip_width skip_height transparent system_memory transparent_color
        bits_per_pixel
      Wave libraries:
        index name looped max_playing_count format_tag channels
        samples_per_sec bits_per_sample data_bytes
  extract FILE NAME OUT [--pattern N]
      Writes an image (or its pattern N) as an RGBA PNG, alpha 0 exactly on
      the pixels drawn as transparent; a wave as a RIFF WAV file.
  build MANIFEST OUT
      Makes a library from the items that MANIFEST lists.
  help
      Shows this text.

Manifest format (one item per line; "#" starts a comment; words are
separated by blanks and may be double-quoted; files are found relative to
the manifest; a library holds images or waves, not both):
  image NAME FILE.png [pattern=WxH] [skip=WxH] [transparent=0|1]
                      [systemmemory=0|1] [key=COLOUR|auto]
  image NAME -        (an item without a picture)
  wave  NAME FILE.wav [looped=0|1] [max=N]
  pattern and skip default to 0x0 (one pattern of the whole picture);
  transparent defaults to 1. Pixels with alpha below 128 become the key
  colour. COLOUR is #RRGGBB, 0xBBGGRR or an identifier such as clFuchsia;
  "auto" (the default) picks a colour that no opaque pixel uses, even at
  16 bits per pixel. max is the item's MaxPlayingCount (0: no limit).

Exit status: 0 done, 1 an error in a file (message on standard error),
2 a usage error.
)";
}

int RunPack(const std::vector<std::string>& args, std::ostream& out, std::ostream& err)
{
    try {
        if (args.empty()) throw TUsageError("no command given");
        const std::string& command = args[0];
        if (command == "help" || command == "--help" || command == "-h") {
            out << PackUsage();
            return 0;
        }
        if (command == "list") {
            if (args.size() != 2) throw TUsageError("list takes FILE");
            const auto data = ReadFileData(args[1]);
            return DetectLibraryKind(data) == TLibraryKind::Wave ? ListWaves(data, out) : ListImages(data, out);
        }
        if (command == "extract") return Extract(args, out);
        if (command == "build") return Build(args, out);
        throw TUsageError("unknown command \"" + command + "\"");
    } catch (const TUsageError& e) {
        err << "zarvenok-pack: " << e.what() << "\n\n" << PackUsage();
        return 2;
    } catch (const std::exception& e) {
        err << e.what() << '\n';
        return 1;
    }
}
