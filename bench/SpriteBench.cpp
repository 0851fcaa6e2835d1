// SPDX-License-Identifier: GPL-3.0-or-later
// One frame of the sprite engine's passes over a busy battlefield tree:
// move with animation, a few sprites dying and being born, then painting.
#include "CustomDXDraw.h"
#include "DXSpriteEngine.h"
#include "ImageSprite.h"
#include "PictureCollection.h"

#include <benchmark/benchmark.h>

namespace {

void AddStrip(TPictureCollection& c, const char* name, int frames, int w, int h)
{
    auto& item = c.Add();
    item.SetName(name);
    item.PatternWidth = w;
    item.PatternHeight = h;
    item.TransparentColor = 0x00FF00FF;
    item.Picture.Kind = TPicture::TKind::DIB;
    item.Picture.Graphic.Width = w * frames;
    item.Picture.Graphic.Height = h;
    item.Picture.Graphic.BitCount = 24;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w * frames; ++x)
            item.Picture.Graphic.Pixels.push_back((x % w) * 3 < w || y < h / 4 ? 0xFF00FF : 0x406080u + static_cast<uint32_t>(x));
}

class TWalker : public TImageSprite {
public:
    using TImageSprite::TImageSprite;
    void DoMove(int moveCount) override
    {
        TImageSprite::DoMove(moveCount);
        X += 0.5;
        if (X > 820) X = -60;
    }
};

void BM_SpritePasses(benchmark::State& state)
{
    TOffscreenDXDraw display(TPixelFormat::XRGB8888(), 800, 600);
    TDXImageList images;
    AddStrip(images.Items, "walk", 8, 56, 120);
    images.SetDXDraw(&display);
    TDXSpriteEngine sprites;
    sprites.SetDXDraw(&display);
    display.Initialize();
    auto& walk = images.Items.Find("walk");
    const auto spawn = [&](int i) {
        auto* s = new TWalker(&sprites.Engine());
        s->Image = &walk;
        s->Width = 56;
        s->Height = 120;
        s->X = (i * 53) % 800;
        s->Y = 300 + (i * 31) % 200;
        s->SetZ(static_cast<int>(s->Y) + 120);
        s->AnimCount = 8;
        s->AnimLooped = true;
        s->AnimSpeed = 0.01;
    };
    const int count = static_cast<int>(state.range(0));
    for (int i = 0; i < count; ++i) spawn(i);
    int next = count;
    for (auto _ : state) {
        // A few die and are replaced every frame, as in a fire fight.
        for (int k = 0; k < 3; ++k) sprites.Engine().Items((next * 7 + k) % count)->Dead();
        sprites.Move(16);
        sprites.Dead();
        for (int k = 0; k < 3; ++k) spawn(next++);
        display.Surface()->Fill(0);
        sprites.Draw();
        benchmark::ClobberMemory();
    }
    state.counters["drawn"] = sprites.Engine().DrawCount();
}
BENCHMARK(BM_SpritePasses)->Arg(50)->Arg(150);

} // namespace
