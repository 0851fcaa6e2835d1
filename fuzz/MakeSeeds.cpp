// SPDX-License-Identifier: GPL-3.0-or-later
// Writes small valid libraries and bitmaps with our own writers, as the
// starting corpora of the fuzz targets: fuzz_make_seeds OUTDIR
#include "Dib.h"
#include "PictureCollection.h"
#include "ReplayRecorder.h"
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

    // A short game: every kind of record, and smooth and jumping moves.
    TReplayRecorder recorder(4000);
    uint32_t now = 4000;
    auto event = [&](TInputEvent::TKind kind, int x = 0, int y = 0, int key = 0) {
        TInputEvent e;
        e.Kind = kind;
        e.X = x;
        e.Y = y;
        e.Key = key;
        e.Alt = key == 13;
        e.Button = kind == TInputEvent::TKind::MouseUp ? TMouseButton::Right : TMouseButton::Left;
        recorder.Event(now, e);
    };
    for (int step = 0; step < 200; ++step) {
        now += step % 7 == 0 ? 0 : 1;
        event(TInputEvent::TKind::MouseMove, 400 + step * 2, 300 - step + (step % 5 == 0 ? 40 : 0));
        if (step % 30 == 0 && recorder.Frame(now)) recorder.StateCheck(now, 0x12345678u + static_cast<uint32_t>(step));
        if (step % 50 == 25) recorder.Timer(now, static_cast<uint8_t>(step % 4));
    }
    event(TInputEvent::TKind::MouseDown, 10, 20);
    event(TInputEvent::TKind::MouseUp, 10, 20);
    event(TInputEvent::TKind::KeyDown, 0, 0, 13);
    event(TInputEvent::TKind::Deactivate);
    event(TInputEvent::TKind::Maximized);
    event(TInputEvent::TKind::Close);
    for (int frame = 0; frame < 40; ++frame)
        if (recorder.Frame(now += 30)) recorder.StateCheck(now, 0xCAFEF00Du);
    TReplayHeader header;
    header.GameVersion = "0.1.0";
    header.PictureLibrary.fill(0x11);
    header.SoundLibrary.fill(0x22);
    header.PlayerName = "SEED";
    header.Score = 1500;
    header.Level = 2;
    Save(out / "replay" / "game.zrp", EncodeReplay(recorder.Finish(now + 5, header)));
    return 0;
}
