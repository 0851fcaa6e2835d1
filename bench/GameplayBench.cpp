// SPDX-License-Identifier: GPL-3.0-or-later
// One gameplay frame of the real game on the headless platform: scene 1 with
// its scenery, the HUD, six soldiers, two vehicles, the helicopter, bodies
// and explosions, the weapon and the crosshair, moved, freed and drawn by
// TMainForm::GameplayFrame at 32 bits (a window) and 16 bits (full screen).
//
// The game reads Data/Graphic.dxg and Data/Music.dxw from the working
// directory; run from anywhere else, this program moves to the build tree it
// was built in, which holds them.
#include "Effects.h"
#include "HeadlessPlatform.h"
#include "LevelRules.h"
#include "PictureCollection.h"
#include "Terror1.h"
#include "Terror2.h"
#include "TerrorVert.h"
#include "Unit1.h"
#include "Weapon.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <filesystem>
#include <memory>
#include <string>

namespace {

constexpr uint32_t kFrameInterval = 30;

// Two in the far band, drawn at two thirds, the rest near.
struct TSoldierRow {
    int Kind;
    int Xr;
    int Yr;
};
constexpr TSoldierRow kSoldiers[] = {{1, 20, 10}, {2, 150, 40}, {3, 260, 70}, {4, 330, 90}, {1, 400, 60}, {2, 90, 100}};

class TGameplayRig {
public:
    explicit TGameplayRig(bool fullScreen)
    {
        Form_ = std::make_unique<TMainForm>(Platform_);
        Form_->Start();
        if (fullScreen) Form_->GameFullScreenClick();
        // Start Game on the menu, as the player clicks it.
        Pointer(TInputEvent::TKind::MouseMove, 380, 60);
        Pointer(TInputEvent::TKind::MouseDown, 380, 60);
        Pointer(TInputEvent::TKind::MouseUp, 380, 60);
        // The level intro runs on the message timers and the frame clock.
        for (int i = 0; i < 200 && FirstChild<TPlayerSprite>(Form_->Root()) == nullptr; ++i) RunFor(50);
        Pointer(TInputEvent::TKind::MouseMove, 430, 260);
        // The population is kept by hand, so the game's own spawns stay off.
        Form_->Progress.SpawnChance = 0;
    }

    ~TGameplayRig()
    {
        // The form goes before the platform it runs on.
        Form_.reset();
    }

    TGameplayRig(const TGameplayRig&) = delete;
    TGameplayRig& operator=(const TGameplayRig&) = delete;

    TMainForm& Form() { return *Form_; }

    bool Playing() const
    {
        return Form_->GameState == 3 && !Form_->Progress.LevelIntro && FirstChild<TPlayerSprite>(Form_->Root()) != nullptr &&
               FirstChild<Pricel_prosto>(Form_->Root()) != nullptr;
    }

    int BitCount() const { return Form_->DXDraw.Surface()->PixelFormat().BitCount; }

    // What the frame does not cover: a steady population and a player who
    // never dies, the frame clock's time, and no growing record of sounds.
    void Upkeep()
    {
        TMainForm& form = *Form_;
        TSpriteEngine& root = form.Root();
        form.Health = 100;
        form.Lives = 3;
        Platform_.Clock().Advance(kFrameInterval);
        Platform_.SoundLog().Take();

        const auto alive = [](const TSprite& sprite) { return !sprite.MarkedDead(); };
        for (int i = CountChildren<TTerror1>(root, alive); i < 6; ++i) {
            const TSoldierRow& row = kSoldiers[(Spawned_++) % 6];
            const TPictureCollectionItem& image = form.Image(TerrorImageName(row.Kind, "_move"));
            const TInfantryPlace place = InfantryPlace(row.Xr, row.Yr, image.Height());
            new TTerror1(&root, row.Kind, place.DepthScale, place.X, place.Y, place.Foot);
        }
        // The tank and a truck, entering from alternate sides.
        for (int i = CountChildren<TTerror2>(root, alive); i < 2; ++i) {
            const bool fromLeft = (Spawned_++) % 2 == 0;
            const int kind = fromLeft ? 5 : 6;
            const TPictureCollectionItem& image = form.Image(TerrorImageName(kind, "_move"));
            const int foot = fromLeft ? 360 : 330;
            new TTerror2(&root, kind, 1.0, fromLeft ? -image.PatternWidth : 800, foot - image.Height(), foot);
        }
        if (CountChildren<TTerror_Vert>(root, alive) == 0) {
            const TPictureCollectionItem& image = form.Image("terror8_move");
            new TTerror_Vert(&root, 8, 1.0, 0, 110, 110 + image.Height());
        }
        // Every effect goes when one of them ends; they come back together.
        if (CountChildren<TIscr>(root, alive) == 0) {
            new TTerror_Dead(&root, 1, 1.0, 300, 360, 476);
            new TTerror_Dead(&root, 3, 1.5, 520, 380, 457);
            new TGotov(&root, 600, 250);
            new TPopal(&root, 450, 300);
        }
    }

private:
    void Pointer(TInputEvent::TKind kind, int x, int y)
    {
        TInputEvent event;
        event.Kind = kind;
        event.Button = TMouseButton::Left;
        event.X = x;
        event.Y = y;
        Form_->HandleEvent(event);
    }

    // Fake time runs on, every timer and frame at the millisecond it falls due.
    void RunFor(uint32_t milliseconds)
    {
        THeadlessClock& clock = Platform_.Clock();
        const uint32_t target = clock.Now() + milliseconds;
        while (const auto next = Form_->NextDeadline()) {
            const int32_t ahead = static_cast<int32_t>(*next - clock.Now());
            const uint32_t step = ahead < 0 ? 0u : static_cast<uint32_t>(ahead);
            if (step > target - clock.Now()) break;
            clock.Advance(step);
            Form_->RunDue();
        }
        clock.SetNow(target);
    }

    THeadlessPlatform Platform_;
    std::unique_ptr<TMainForm> Form_;
    int Spawned_ = 0;
};

bool FindData()
{
    std::error_code error;
    if (std::filesystem::exists("Data/Graphic.dxg", error)) return true;
    std::filesystem::current_path(ZARVENOK_BUILD_DIR, error);
    return !error && std::filesystem::exists("Data/Graphic.dxg", error);
}

void BM_GameplayFrame(benchmark::State& state)
{
    const int bits = static_cast<int>(state.range(0));
    if (!FindData()) {
        state.SkipWithError("no Data/Graphic.dxg here or in " ZARVENOK_BUILD_DIR);
        return;
    }
    TGameplayRig rig(bits == 16);
    if (!rig.Playing() || rig.BitCount() != bits) {
        state.SkipWithError("the game did not reach play at the wanted depth");
        return;
    }
    TMainForm& form = rig.Form();
    for (auto _ : state) {
        rig.Upkeep();
        const auto start = std::chrono::steady_clock::now();
        form.FrameHook();
        const auto end = std::chrono::steady_clock::now();
        state.SetIterationTime(std::chrono::duration<double>(end - start).count());
    }
    if (form.GameState != 3) state.SkipWithError("the game left play during the run");
    state.counters["sprites"] = form.Root().Count();
}
BENCHMARK(BM_GameplayFrame)->Arg(32)->Arg(16)->UseManualTime()->Unit(benchmark::kMicrosecond);

} // namespace
