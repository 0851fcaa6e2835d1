// SPDX-License-Identifier: GPL-3.0-or-later
// The game on a form over the headless platform, with the built pictures and
// sounds: what only shows with the real sprites on the real surface.
#include "Aircraft.h"
#include "Bonuses.h"
#include "Effects.h"
#include "Images.h"
#include "GameFormFixture.h"
#include "Terror1.h"
#include "Terror2.h"
#include "Unit1.h"
#include "Weapon.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>

namespace {

TEST_F(GameForm, PlayerHitFlashesTheRawValue255AtBothDepths)
{
    for (bool fullScreen : {false, true}) {
        if (fullScreen) Form->GameFullScreenClick();
        ASSERT_EQ(Form->DXDraw.Surface()->PixelFormat().BitCount, fullScreen ? 16 : 32);
        Form->Progress.PlayerHit = true;
        Form->FrameHook();
        EXPECT_FALSE(Form->Progress.PlayerHit);
        EXPECT_EQ(Form->DXDraw.Surface()->GetPixel(0, 0), 255u);
        EXPECT_EQ(Form->DXDraw.Surface()->GetPixel(799, 599), 255u);
        EXPECT_TRUE(Has(Sounds(), "play player_dead"));
        // The next frame shows the battlefield again.
        Form->FrameHook();
        EXPECT_NE(Form->DXDraw.Surface()->GetPixel(400, 100), 255u);
    }
}

TEST_F(GameForm, TruckEngineStopsOnlyWithTheLastTruck)
{
    TSpriteEngine& root = Form->Root();
    auto* truck6 = new TTerror2(&root, 6, 1.0, 100, 300, 420);
    new TTerror2(&root, 7, 1.0, 500, 300, 420);
    auto* tank = new TTerror2(&root, 5, 1.0, 300, 300, 420);
    EXPECT_EQ(Form->VehicleCount, 3);
    Sounds();
    // Two trucks of kinds 6 and 7 share the loop: it keeps playing.
    Form->StopSound(TSound::TrucMove, 6);
    EXPECT_FALSE(Has(Sounds(), "stop truc_move"));
    truck6->Dead();
    tank->Dead();
    root.Dead();
    Form->StopSound(TSound::TrucMove, 7);
    EXPECT_TRUE(Has(Sounds(), "stop truc_move"));
    // The tank's loop is its own; a kind without enemies stops nothing.
    Form->StopSound(TSound::TankMove, 5);
    EXPECT_FALSE(Has(Sounds(), "stop tank_move"));
}

TEST_F(GameForm, VehiclePastTheEdgeIsGoneWithItsEngine)
{
    TSpriteEngine& root = Form->Root();
    auto* tank = new TTerror2(&root, 5, 1.0, 300, 226, 336);
    auto* other = new TTerror2(&root, 5, 1.0, 100, 226, 340);
    Sounds();
    // One tank of two leaves: the loop goes on for the other.
    tank->X = 799;
    tank->DoMove(16);
    EXPECT_TRUE(tank->MarkedDead());
    EXPECT_EQ(Form->VehicleCount, 1);
    EXPECT_FALSE(Has(Sounds(), "stop tank_move"));
    root.Dead();
    other->X = other->LeftBound + 2;
    other->Direction = -1;
    other->DoMove(16);
    EXPECT_TRUE(other->MarkedDead());
    EXPECT_EQ(Form->VehicleCount, 0);
    EXPECT_TRUE(Has(Sounds(), "stop tank_move"));
}

TEST_F(GameForm, KilledVehicleNeitherDrivesOffNorCountsTwice)
{
    TSpriteEngine& root = Form->Root();
    auto* tank = new TTerror2(&root, 5, 1.0, 300, 226, 336);
    new TTerror2(&root, 6, 1.0, 100, 230, 350);
    Form->Fire.ShotPower = 20;
    Form->ResolveShot(420, 280);
    EXPECT_TRUE(tank->MarkedDead());
    EXPECT_EQ(Form->VehicleCount, 1);
    // Its last move in this frame would take it past the edge.
    tank->X = 799;
    const int32_t health = Form->Health;
    Form->FrameHook();
    EXPECT_EQ(Form->VehicleCount, 1);
    EXPECT_EQ(Form->Health, health);
}

TEST_F(GameForm, PlaneFlyingLeftDropsAt95AndLeavesPastTheLeftEdge)
{
    TSpriteEngine& root = Form->Root();
    auto* plane = new Plane(&root, 70);
    // Whichever heading was drawn, turn it into the left-bound flight.
    plane->FlyingRight = false;
    plane->X = 800;
    for (int move = 1; move <= 46; ++move) plane->DoMove(16);
    EXPECT_DOUBLE_EQ(plane->X, 110);
    EXPECT_EQ(FirstChild<Roket_>(root), nullptr);
    plane->DoMove(16);
    EXPECT_DOUBLE_EQ(plane->X, 95);
    auto* rocket = FirstChild<Roket_>(root);
    ASSERT_NE(rocket, nullptr);
    EXPECT_FALSE(rocket->FlyingRight);
    EXPECT_EQ(rocket->Image->Name(), "roket");
    EXPECT_DOUBLE_EQ(rocket->X, 115);
    EXPECT_DOUBLE_EQ(rocket->Y, 90);
    rocket->DoMove(16);
    EXPECT_DOUBLE_EQ(rocket->X, 112);
    EXPECT_DOUBLE_EQ(rocket->Y, 93);
    // 170 wide: gone at the first x at or past -170, not before.
    while (plane->X > -160) plane->DoMove(16);
    EXPECT_DOUBLE_EQ(plane->X, -160);
    EXPECT_FALSE(plane->MarkedDead());
    plane->DoMove(16);
    EXPECT_DOUBLE_EQ(plane->X, -175);
    EXPECT_TRUE(plane->MarkedDead());
}

TEST_F(GameForm, BonusIsLostWhenItRisesInto65)
{
    auto* bonus = new Dollar(&Form->Root(), 300, 400, 500);
    for (int frame = 0; frame < 66; ++frame) bonus->DoMove(16);
    EXPECT_DOUBLE_EQ(bonus->Y, 70);
    EXPECT_FALSE(bonus->MarkedDead());
    bonus->DoMove(16);
    EXPECT_TRUE(bonus->MarkedDead());
}

TEST_F(GameForm, HitMarkEndsWithItsOwnAnimation)
{
    // At 1.6 patterns a frame it jumps the half pattern that would end the
    // family; alone on the field it must not stay for ever, only as long as
    // its patterns last.
    const int patterns = Form->Image(Images::ArmourHit).PatternCount();
    new TPopal(&Form->Root(), 300, 300);
    int frames = 0;
    while (FirstChild<TPopal>(Form->Root()) != nullptr && frames < 50) {
        Form->FrameHook();
        ++frames;
    }
    EXPECT_LE(frames, static_cast<int>(std::ceil(patterns / 1.6)) + 1);
}

TEST_F(GameForm, CountsMatchTheFieldThroughALongFight)
{
    // Many enemies, every one shot twice a frame (the second shot of a kill
    // finds no target), bonuses collected as they come, levels switching:
    // the counts always match the living enemies and never go negative.
    TSpriteEngine& root = Form->Root();
    int32_t lastScore = 0;
    for (int frame = 0; frame < 3000; ++frame) {
        Form->Health = 100;
        Form->Lives = 3;
        if (!Form->Progress.LevelIntro) Form->Progress.SpawnChance = 40;
        if (frame % 600 == 599) Form->Progress.LevelCountdown = -1;
        if (frame % 600 == 0) Form->Timer1Timer();
        std::vector<std::pair<int, int>> targets;
        ForEachChild<TTerror>(root, [&](TTerror& e) {
            targets.emplace_back(RoundToInt(e.X + e.Width / 2.0), RoundToInt(e.Y + e.Height / 2.0));
        });
        ForEachChild<TBonus>(root, [&](TBonus& b) {
            if (frame % 3 == 0) targets.emplace_back(RoundToInt(b.X + 5), RoundToInt(b.Y + 5));
        });
        if (!Form->Progress.LevelIntro)
            for (const auto& [x, y] : targets) {
                Form->ResolveShot(x, y);
                Form->ResolveShot(x, y);
            }
        // The generator is seeded from the clock every frame.
        Platform.Clock().SetNow(Platform.Clock().Now() + 30);
        Form->DXTimerTimer(1);
        ASSERT_EQ(Form->GameState, 3) << frame;
        const int infantry = CountChildren<TTerror1>(root, [](const TTerror1& e) { return !e.MarkedDead(); });
        const int vehicles = CountChildren<TTerror>(root, [](const TTerror& e) { return !e.MarkedDead(); }) - infantry;
        ASSERT_GE(Form->InfantryCount, 0) << frame;
        ASSERT_GE(Form->VehicleCount, 0) << frame;
        ASSERT_EQ(Form->InfantryCount, infantry) << frame;
        ASSERT_EQ(Form->VehicleCount, vehicles) << frame;
        ASSERT_GE(Form->Score, lastScore) << frame;
        lastScore = Form->Score;
    }
    EXPECT_GE(Form->LevelNo, 5);
    EXPECT_GT(Form->Score, 1000);
}

TEST_F(GameForm, ShotsKickTheWeaponOnlyInSingleFire)
{
    auto* weapon = FirstChild<TPlayerSprite>(Form->Root());
    ASSERT_NE(weapon, nullptr);
    Form->Input.MouseX = 400;
    Form->FrameHook();
    EXPECT_DOUBLE_EQ(weapon->Y, 485);
    // Two frames with shots lift it twice, the next puts it back at rest.
    Form->ResolveShot(400, 100);
    Form->FrameHook();
    EXPECT_DOUBLE_EQ(weapon->Y, 480);
    Form->ResolveShot(400, 100);
    Form->ResolveShot(400, 100);
    Form->FrameHook();
    EXPECT_DOUBLE_EQ(weapon->Y, 475);
    // One flash for both shots, and the last frame's flash, reached later
    // in the pass, takes it along: in a run of shots the flash blinks.
    EXPECT_EQ(CountChildren<TSplash>(Form->Root(), [](const TSplash& s) { return !s.MarkedDead(); }), 0);
    Form->FrameHook();
    EXPECT_DOUBLE_EQ(weapon->Y, 485);
    Form->Fire.SingleFire = false;
    Form->ResolveShot(400, 100);
    Form->FrameHook();
    EXPECT_DOUBLE_EQ(weapon->Y, 485);
    auto* flash = FirstChild<TSplash>(Form->Root());
    ASSERT_NE(flash, nullptr);
    EXPECT_EQ(flash->Image->Name(), "Splash_4");
    EXPECT_DOUBLE_EQ(flash->X, 485);
    EXPECT_DOUBLE_EQ(flash->Y, 486);
}

TEST_F(GameForm, EffectFamilyEndsTogether)
{
    TSpriteEngine& root = Form->Root();
    // An older body well into its fall and a fresh one: both go when the
    // first completes its animation.
    auto* older = new TTerror_Dead(&root, 1, 1.0, 300, 350, 466);
    older->AnimPos = older->AnimCount - 1.2;
    auto* fresh = new TTerror_Dead(&root, 2, 1.5, 400, 380, 460);
    int frames = 0;
    while (FirstChild<TIscr>(root) != nullptr && frames < 100) {
        Form->FrameHook();
        ++frames;
    }
    EXPECT_LT(frames, 20);
    EXPECT_EQ(CountChildren<TIscr>(root), 0);
    (void)fresh;
}

} // namespace
