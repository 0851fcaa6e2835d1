// Writes small valid libraries and bitmaps with our own writers, as the
// starting corpora of the fuzz targets: fuzz_make_seeds OUTDIR
#include "Dib.h"
#include "PictureCollection.h"
#include "ScoreRecord.h"
#include "TextEncoding.h"
#include "WaveCollection.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

void Save(const std::filesystem::path& file, const std::vector<uint8_t>& data)
{
    std::filesystem::create_directories(file.parent_path());
    std::ofstream(file, std::ios::binary).write(reinterpret_cast<const char*>(data.data()), static_cast<std::streamsize>(data.size()));
}

std::vector<uint32_t> Picture(int w, int h, uint32_t colours)
{
    std::vector<uint32_t> pixels;
    for (int i = 0; i < w * h; ++i) pixels.push_back((static_cast<uint32_t>(i) * 2654435761u) % colours * 0x010305u);
    return pixels;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: fuzz_make_seeds OUTDIR\n");
        return 2;
    }
    const std::filesystem::path out = argv[1];

    std::vector<TPictureLibraryEntry> images(3);
    images[0].Name = "digits";
    images[0].PatternWidth = 4;
    images[0].PatternHeight = 3;
    images[0].SkipWidth = 1;
    images[0].TransparentColor = 0x00FF00FF;
    images[0].PictureWidth = 19;
    images[0].PictureHeight = 3;
    images[0].Pixels = Picture(19, 3, 3);
    images[1].Name = "noise";
    images[1].SystemMemory = true;
    images[1].PictureWidth = 9;
    images[1].PictureHeight = 40;
    images[1].Pixels = Picture(9, 40, 1000);
    images[2].Name = "empty";
    Save(out / "dxg" / "three.dxg", WritePictureLibrary(images));
    Save(out / "dxg" / "one.dxg", WritePictureLibrary({images[0]}));

    TWaveLibraryEntry wave;
    wave.Name = "shot";
    wave.MaxPlayingCount = 2;
    wave.Wave.Format = {1, 0, 1, 0, 0x22, 0x56, 0, 0, 0x44, 0xAC, 0, 0, 2, 0, 16, 0};
    wave.Wave.Data = {0, 0, 1, 2, 3, 4, 5, 6};
    TWaveLibraryEntry loop = wave;
    loop.Name = "engine";
    loop.Looped = true;
    Save(out / "dxw" / "two.dxw", WriteWaveLibrary({wave, loop}));
    Save(out / "dxw" / "riff.wav", wave.Wave.SaveToRiff());

    Save(out / "dib" / "rle8.dib", TDIB::EncodeDIB(19, 3, Picture(19, 3, 3)));
    Save(out / "dib" / "noise8.dib", TDIB::EncodeDIB(16, 16, Picture(16, 16, 200)));
    Save(out / "dib" / "rgb24.dib", TDIB::EncodeDIB(7, 5, Picture(7, 5, 5000)));

    const std::string record = BuildScoreRecord("ALICE", 1234, "0123456789abcdef0123456789abcdef", "SQUAD");
    auto text = [](std::string_view s) { return std::vector<uint8_t>(s.begin(), s.end()); };
    Save(out / "server_record" / "encoded.txt", text(EncodeLine(record)));
    Save(out / "server_record" / "plain.txt", text(record));
    Save(out / "server_query" / "version.txt", text("/cgi/version.pl?version&prg=Zarvenok"));
    Save(out / "server_query" / "submit.txt", text("/cgi/version.pl?hs&prg=Zarvenok&inf=" + EncodeLine(record)));
    Save(out / "server_query" / "table.txt", text("/cgi/version.pl?prg=Zarvenok&show&type=0&period=week&page=2"));
    Save(out / "server_query" / "json.txt", text("/api/scores?period=all&page=1"));
    return 0;
}
