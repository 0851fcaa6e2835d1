// SPDX-License-Identifier: GPL-3.0-or-later
// Frame composition cost at 32 and 16 bits, the keyed blit beside SDL's
// software blit of the same sprites, and the floor of two plain copies.
#include "CustomDXDraw.h"
#include "PictureCollection.h"

#include <SDL.h>
#include <benchmark/benchmark.h>

#include <cstring>
#include <memory>
#include <vector>

namespace {

constexpr uint32_t kKey = 0xFF00FF; // 0x00RRGGBB
constexpr int kSpriteW = 64, kSpriteH = 96;

// A standing figure: an ellipse body and a head, the rest key-coloured,
// about as much transparency as a real soldier frame has.
std::vector<uint32_t> Figure(int w, int h, uint32_t seed)
{
    std::vector<uint32_t> pixels(static_cast<size_t>(w) * static_cast<size_t>(h), kKey);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const double dx = (x - w / 2.0) / (w * 0.32), dy = (y - h * 0.6) / (h * 0.42);
            const double hx = (x - w / 2.0) / (w * 0.14), hy = (y - h * 0.13) / (h * 0.1);
            if (dx * dx + dy * dy <= 1.0 || hx * hx + hy * hy <= 1.0)
                pixels[static_cast<size_t>(y * w + x)] = (seed * 2654435761u + static_cast<uint32_t>(x * 7 + y * 13)) & 0x7F7F7F;
        }
    }
    return pixels;
}

std::vector<uint32_t> Noise(int w, int h)
{
    std::vector<uint32_t> pixels(static_cast<size_t>(w) * static_cast<size_t>(h));
    for (size_t i = 0; i < pixels.size(); ++i) pixels[i] = (static_cast<uint32_t>(i) * 2654435761u) & 0xFEFEFE;
    return pixels;
}

void AddPicture(TPictureCollection& c, const char* name, int w, int h, int pw, int ph, std::vector<uint32_t> pixels)
{
    auto& item = c.Add();
    item.SetName(name);
    item.PatternWidth = pw;
    item.PatternHeight = ph;
    item.TransparentColor = 0x00FF00FF;
    item.Picture.Kind = TPicture::TKind::DIB;
    item.Picture.Graphic.Width = w;
    item.Picture.Graphic.Height = h;
    item.Picture.Graphic.BitCount = 24;
    item.Picture.Graphic.Pixels = std::move(pixels);
}

struct Scene {
    TOffscreenDXDraw Display;
    TDXImageList Images;

    explicit Scene(const TPixelFormat& format) : Display(format, 800, 600)
    {
        AddPicture(Images.Items, "backdrop", 800, 600, 0, 0, Noise(800, 600));
        std::vector<uint32_t> soldiers;
        for (int frame = 0; frame < 4; ++frame) {
            auto f = Figure(kSpriteW, kSpriteH, static_cast<uint32_t>(frame));
            soldiers.insert(soldiers.end(), f.begin(), f.end());
        }
        // Four frames stacked vertically, one pattern each.
        AddPicture(Images.Items, "soldier", kSpriteW, kSpriteH * 4, kSpriteW, kSpriteH, std::move(soldiers));
        AddPicture(Images.Items, "digit", 16, 20, 0, 0, Figure(16, 20, 9));
        Images.SetDXDraw(&Display);
        Display.Initialize();
    }

    void Compose()
    {
        TDirectDrawSurface& back = *Display.Surface();
        const auto& backdrop = Images.Items.Find("backdrop");
        const auto& soldier = Images.Items.Find("soldier");
        const auto& digit = Images.Items.Find("digit");
        back.Fill(0);
        backdrop.Draw(back, 0, 0, 0);
        for (int i = 0; i < 40; ++i) soldier.Draw(back, (i * 97) % 760 - 20, 300 + (i * 37) % 260, i % 4);
        for (int i = 0; i < 10; ++i)
            soldier.StretchDraw(back, Bounds((i * 131) % 700, 100 + (i * 53) % 200, 43, 64), i % 4);
        for (int i = 0; i < 20; ++i) digit.Draw(back, 20 + i * 18, 10, 0);
    }
};

void BM_Frame(benchmark::State& state)
{
    Scene scene(state.range(0) == 32 ? TPixelFormat::XRGB8888() : TPixelFormat::RGB565());
    for (auto _ : state) {
        scene.Compose();
        benchmark::DoNotOptimize(scene.Display.Surface()->Row(0));
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_Frame)->Arg(32)->Arg(16);

// The floor of any frame that clears and paints a backdrop: two plain copies.
void BM_TwoPlainCopies(benchmark::State& state)
{
    const size_t bytes = 800u * 600u * static_cast<size_t>(state.range(0) / 8);
    std::vector<uint8_t> a(bytes, 1), b(bytes, 2), c(bytes);
    for (auto _ : state) {
        std::memcpy(c.data(), a.data(), bytes);
        benchmark::ClobberMemory();
        std::memcpy(c.data(), b.data(), bytes);
        benchmark::DoNotOptimize(c.data());
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_TwoPlainCopies)->Arg(32)->Arg(16);

// 40 keyed 64 x 96 sprites, our blit.
void BM_KeyedBlitOurs(benchmark::State& state)
{
    Scene scene(state.range(0) == 32 ? TPixelFormat::XRGB8888() : TPixelFormat::RGB565());
    TDirectDrawSurface& back = *scene.Display.Surface();
    const auto& soldier = scene.Images.Items.Find("soldier");
    for (auto _ : state) {
        for (int i = 0; i < 40; ++i) soldier.Draw(back, (i * 97) % 736, 300 + (i * 37) % 200, i % 4);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_KeyedBlitOurs)->Arg(32)->Arg(16);

// The same sprites through SDL_BlitSurface with a colour key; range(1) turns RLE on.
void BM_KeyedBlitSDL(benchmark::State& state)
{
    const bool bits32 = state.range(0) == 32;
    const Uint32 format = bits32 ? SDL_PIXELFORMAT_XRGB8888 : SDL_PIXELFORMAT_RGB565;
    SDL_Surface* back = SDL_CreateRGBSurfaceWithFormat(0, 800, 600, bits32 ? 32 : 16, format);
    std::vector<SDL_Surface*> frames;
    for (int f = 0; f < 4; ++f) {
        const auto pixels = Figure(kSpriteW, kSpriteH, static_cast<uint32_t>(f));
        SDL_Surface* s = SDL_CreateRGBSurfaceWithFormat(0, kSpriteW, kSpriteH, bits32 ? 32 : 16, format);
        SDL_LockSurface(s);
        for (int y = 0; y < kSpriteH; ++y)
            for (int x = 0; x < kSpriteW; ++x) {
                const uint32_t rgb = pixels[static_cast<size_t>(y * kSpriteW + x)];
                const Uint32 v = SDL_MapRGB(s->format, static_cast<Uint8>(rgb >> 16), static_cast<Uint8>(rgb >> 8), static_cast<Uint8>(rgb));
                auto* row = static_cast<uint8_t*>(s->pixels) + y * s->pitch;
                if (bits32)
                    std::memcpy(row + x * 4, &v, 4);
                else {
                    const auto v16 = static_cast<uint16_t>(v);
                    std::memcpy(row + x * 2, &v16, 2);
                }
            }
        SDL_UnlockSurface(s);
        SDL_SetColorKey(s, SDL_TRUE, SDL_MapRGB(s->format, 0xFF, 0x00, 0xFF));
        SDL_SetSurfaceRLE(s, state.range(1) != 0 ? 1 : 0);
        frames.push_back(s);
    }
    for (auto _ : state) {
        for (int i = 0; i < 40; ++i) {
            SDL_Rect dst{(i * 97) % 736, 300 + (i * 37) % 200, kSpriteW, kSpriteH};
            SDL_BlitSurface(frames[static_cast<size_t>(i % 4)], nullptr, back, &dst);
        }
        benchmark::ClobberMemory();
    }
    for (SDL_Surface* s : frames) SDL_FreeSurface(s);
    SDL_FreeSurface(back);
}
BENCHMARK(BM_KeyedBlitSDL)->Args({32, 0})->Args({32, 1})->Args({16, 0})->Args({16, 1});

// Where the stretched sprites land: range(1) is the scale in sixths, 4 for
// the far soldiers (two thirds), 9 for the glyphs (one and a half).
TRect StretchTarget(int i, int sixths)
{
    const int w = kSpriteW * sixths / 6, h = kSpriteH * sixths / 6;
    return Bounds((i * 97) % (800 - w), 200 + (i * 37) % (400 - h), w, h);
}

// 40 keyed stretched sprites, our StretchDraw.
void BM_StretchOurs(benchmark::State& state)
{
    Scene scene(state.range(0) == 32 ? TPixelFormat::XRGB8888() : TPixelFormat::RGB565());
    TDirectDrawSurface& back = *scene.Display.Surface();
    const auto& soldier = scene.Images.Items.Find("soldier");
    const int sixths = static_cast<int>(state.range(1));
    for (auto _ : state) {
        for (int i = 0; i < 40; ++i) soldier.StretchDraw(back, StretchTarget(i, sixths), i % 4);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_StretchOurs)->Args({32, 4})->Args({32, 9})->Args({16, 4})->Args({16, 9});

// The reference: a plain nearest-neighbour stretch of the same sprites, no
// key, a 16.16 step per pixel, the simplest loop that samples the same way.
void BM_StretchPlainNearest(benchmark::State& state)
{
    const bool bits32 = state.range(0) == 32;
    const size_t bpp = bits32 ? 4 : 2;
    std::vector<uint8_t> back(800 * 600 * bpp);
    std::vector<std::vector<uint8_t>> frames;
    for (int f = 0; f < 4; ++f) {
        const auto pixels = Figure(kSpriteW, kSpriteH, static_cast<uint32_t>(f));
        std::vector<uint8_t> frame(pixels.size() * bpp);
        for (size_t i = 0; i < pixels.size(); ++i) std::memcpy(frame.data() + i * bpp, &pixels[i], bpp);
        frames.push_back(std::move(frame));
    }
    const int sixths = static_cast<int>(state.range(1));
    const auto stretch = [&]<typename T>(T* dst, const T* src, const TRect& r) {
        const int64_t stepX = (int64_t{kSpriteW} << 16) / r.Width(), stepY = (int64_t{kSpriteH} << 16) / r.Height();
        int64_t fy = stepY / 2;
        for (int y = r.Top; y < r.Bottom; ++y, fy += stepY) {
            const T* s = src + (fy >> 16) * kSpriteW;
            T* d = dst + y * 800 + r.Left;
            int64_t fx = stepX / 2;
            for (int x = 0; x < r.Width(); ++x, fx += stepX) d[x] = s[fx >> 16];
        }
    };
    for (auto _ : state) {
        for (int i = 0; i < 40; ++i) {
            const auto& frame = frames[static_cast<size_t>(i % 4)];
            if (bits32)
                stretch(reinterpret_cast<uint32_t*>(back.data()), reinterpret_cast<const uint32_t*>(frame.data()),
                        StretchTarget(i, sixths));
            else
                stretch(reinterpret_cast<uint16_t*>(back.data()), reinterpret_cast<const uint16_t*>(frame.data()),
                        StretchTarget(i, sixths));
        }
        benchmark::DoNotOptimize(back.data());
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_StretchPlainNearest)->Args({32, 4})->Args({32, 9})->Args({16, 4})->Args({16, 9});

} // namespace
