// SPDX-License-Identifier: GPL-3.0-or-later
// What every enemy shares: kinds, construction, phases, cover and fire.
#include "Terror.h"

#include "GameContext.h"
#include "PictureCollection.h"
#include "Scenes.h"
#include "SpriteEngine.h"
#include "SpriteWalks.h"

#include <cmath>

using enum TSound;

const TTerrorKind TerrorKinds[kTerrorKindCount + 1] = {
    {},
    // Infantry.
    {1, 1, 0.5, 10, true, RifleShot, {}, {}, Terror1Dead, false, 190, 690, true, false},
    {2, 2, 1.0 / 3.0, 20, true, EnemyRifle, {}, {}, Terror2Dead, false, 190, 690, true, false},
    {5, 3, 1.0, 40, true, RifleBurst, {}, {}, Terror3Dead, false, 190, 690, true, false},
    {10, 4, 1.0 / 3.0, 70, true, MachineGun, {}, {}, Terror4Dead, false, 190, 690, true, false},
    // Tank and the two trucks drive across and off the screen.
    {20, 6, 0.2, 50, false, Cannon, ShellLanding, TankMove, TankExplosion, true, 0, 800, false, true},
    {20, 8, 0.5, 80, false, Cannon, {}, TrucMove, VehicleExplosion, true, 0, 800, false, true},
    {12, 7, 0.5, 30, false, RifleShot, {}, TrucMove, VehicleExplosion, true, 0, 800, false, false},
    // The helicopter patrols and turns at the edges.
    {35, 12, 0.5, 100, false, RifleBurst, {}, VertMove, VehicleExplosion, false, 0, 800, true, true},
};

const TTerrorKind& TerrorKind(int kind)
{
    return TerrorKinds[kind >= 1 && kind <= kTerrorKindCount ? kind : 1];
}

bool SameEngine(int kind, int otherKind)
{
    if (kind == otherKind) return true;
    const std::optional<TSound>& engine = TerrorKind(kind).EngineSound;
    return engine && engine == TerrorKind(otherKind).EngineSound;
}

std::vector<std::string> TerrorImageNames(int kind)
{
    const TTerrorKind& row = TerrorKind(kind);
    std::vector<std::string> names;
    for (const char* suffix : {"_move", "_move_back", "_fight"}) names.push_back(TerrorImageName(kind, suffix));
    if (!row.Infantry) names.push_back(TerrorImageName(kind, "_fight_back"));
    if (!row.Infantry && (row.CanTurn || row.TurnsToFire)) {
        names.push_back(TerrorImageName(kind, "_razvorot"));
        names.push_back(TerrorImageName(kind, "_razvorot_back"));
    }
    if (row.Infantry) names.push_back(TerrorImageName(kind, "_dead"));
    return names;
}

std::string TerrorImageName(int kind, const char* suffix)
{
    return "terror" + std::to_string(kind) + suffix;
}

TTerror::TTerror(TSprite* parent, int kind, double depthScale, double x, double y, int z) : TImageSprite(parent)
{
    PixelCheck = true;
    EnemyKind = kind >= 1 && kind <= kTerrorKindCount ? kind : 1;
    if (x > 400) {
        Direction = -1;
        SetImage("_move_back");
    } else {
        Direction = 1;
        SetImage("_move");
    }
    X = x;
    Y = y;
    SetZ(z);
    Width = Image->Width();
    Height = Image->Height();

    const TTerrorKind& row = TerrorKind(EnemyKind);
    HitPoints = row.HitPoints;
    HitDamage = row.HitDamage;
    AnimRate = row.AnimRate;
    Points = row.Points;
    DepthScale = depthScale;
    LeftBound = row.VehicleBounds ? -Game().Image(TerrorImageName(EnemyKind, "_move")).Width() : row.LeftBound;
    RightBound = row.RightBound;
    CanTurn = row.CanTurn;

    PhaseClock = 0;
    Walking = false;
    Fighting = true;
    Turning = false;
    InCover = false;
    CoverHits = 0;
    TogglePhase();
    CoverRect = {};
    Armed = false;

    TGameContext& game = Game();
    if (row.Infantry)
        ++game.InfantryCount;
    else
        ++game.VehicleCount;
    if (row.EngineSound) game.PlaySound(*row.EngineSound);
}

void TTerror::SetImage(const char* suffix)
{
    Image = &Game().Image(TerrorImageName(EnemyKind, suffix));
}

void TTerror::TogglePhase()
{
    Walking = !Walking;
    Fighting = !Fighting;
    PhaseClock = 0;
    Turning = false;
    if (Fighting) {
        // Infantry face the player to fire; vehicles keep their heading.
        SetImage(TerrorKind(EnemyKind).Infantry || Direction == 1 ? "_fight" : "_fight_back");
    } else if (CanTurn) {
        // Positions move in whole pixels from whole-pixel starts, so the
        // bounds are met exactly.
        if (X + Width == RightBound)
            Direction = -1;
        else if (X == LeftBound)
            Direction = 1;
        else
            Direction = Game().RandInt(2) == 0 ? 1 : -1;
        SetImage(Direction == 1 ? "_move" : "_move_back");
    } else {
        SetImage(Direction == 1 ? "_move" : "_move_back");
    }
    AnimStart = 0;
    AnimCount = Image->PatternCount();
    AnimLooped = true;
    AnimSpeed = AnimRate * 0.015;
}

void TTerror::DoCollision(TSprite* sprite, bool& /*done*/)
{
    const auto* scenery = dynamic_cast<TMestnost*>(sprite);
    if (scenery == nullptr) return;
    ++CoverHits;
    if (CoverHits == 1)
        CoverRect = {RoundToInt(scenery->X), RoundToInt(scenery->Y), RoundToInt(scenery->Y + scenery->Height),
                     RoundToInt(scenery->Width)};
}

void TTerror::DoDraw()
{
    if (Image == nullptr || Engine() == nullptr || Engine()->Surface() == nullptr) return;
    const int left = RoundToInt(X), top = RoundToInt(Y);
    const TRect rect{left, top, left + RoundToInt(Width / DepthScale), top + RoundToInt(Height / DepthScale)};
    Image->StretchDraw(*Engine()->Surface(), rect, TruncateToInt(AnimPos));
}

void TTerror::BeginMove(int moveCount)
{
    TImageSprite::DoMove(moveCount);
    // The tree's collision query, asked only of the scenery: the enemy
    // reacts to nothing else, and testing pixels against every enemy, body
    // and glyph that overlaps it would be work for nothing.
    QueryScenery();
    // Sampled a third of the way down the unscaled figure.
    const int px = TruncateToInt(X + Width / 2.0), py = TruncateToInt(Y + Height / 3.0);
    const TCoverRect& c = CoverRect;
    const bool inside = px >= c.Left && px < c.Left + c.Width && py >= c.Top && py < c.Bottom;
    if (inside && Z() < c.Bottom) {
        InCover = true;
    } else {
        InCover = false;
        CoverHits = 0;
    }
    PhaseClock += 0.1;
}

void TTerror::QueryScenery()
{
    if (Engine() == nullptr || MarkedDead() || !Collisioned) return;
    const TSpriteEngine& root = *Engine();
    const TRect mine = BoundsRect();
    bool done = false;
    // Rectangles first: most children are nowhere near, and the class test
    // costs more than the overlap test.
    for (int i = 0; i < root.Count(); ++i) {
        TSprite* sprite = root.Items(i);
        if (!sprite->Collisioned || !OverlapRect(sprite->BoundsRect(), mine)) continue;
        auto* scenery = dynamic_cast<TMestnost*>(sprite);
        if (scenery != nullptr && TestCollision(scenery) && scenery->TestCollision(this)) DoCollision(scenery, done);
    }
}

bool TTerror::FiringStep(int firePattern)
{
    if (!DrawAboveClock(Game().RandInt(10))) return true;
    if (RoundToInt(AnimPos) != firePattern) {
        Armed = true;
    } else {
        if (Armed) FireAtPlayer();
        Armed = false;
        CheckPlayer();
    }
    return false;
}

void TTerror::FireAtPlayer()
{
    TGameContext& game = Game();
    const TTerrorKind& row = TerrorKind(EnemyKind);
    game.PlaySound(row.FireSound);
    game.Health -= HitDamage;
    if (row.FireSound2) game.PlaySound(*row.FireSound2);
}

TPlayerCheck CheckPlayerRule(int32_t health, int32_t lives)
{
    TPlayerCheck check{health, lives, false, false};
    if (check.Health <= 0) {
        check.PlayerHit = true;
        check.Health += 100;
        check.Lives -= 1;
    }
    check.GameOver = check.Lives < 1;
    return check;
}

void TTerror::CheckPlayer()
{
    TGameContext& game = Game();
    const TPlayerCheck check = CheckPlayerRule(game.Health, game.Lives);
    game.Health = check.Health;
    game.Lives = check.Lives;
    if (check.PlayerHit) game.Progress.PlayerHit = true;
    if (check.GameOver) {
        game.Progress.GameOver = true;
        game.TimerLevel.SetEnabled(false);
    }
}

void TTerror::TurnStep()
{
    PhaseClock = 0;
    SetImage(Direction == 1 ? "_razvorot" : "_razvorot_back");
    if (Fighting) {
        AnimStart = 1;
        AnimCount = Image->PatternCount() - 1;
    } else {
        AnimStart = 0;
        AnimCount = Image->PatternCount();
    }
    AnimLooped = false;
    AnimSpeed = AnimRate * 0.015;
    // The one-shot animation has stopped on its last frame.
    if (AnimPos == AnimCount - 1) TogglePhase();
}

bool TTerror::DrawBelowClock(int32_t draw) const
{
    return draw < std::exp(-PhaseClock);
}

bool TTerror::DrawAboveClock(int32_t draw) const
{
    return draw > std::exp(-PhaseClock);
}
