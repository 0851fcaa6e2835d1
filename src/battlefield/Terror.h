// SPDX-License-Identifier: GPL-3.0-or-later
// The enemies' common ground: the kind table, walk limits, the phase toggle
// between walking and firing, cover behind scenery, the stretched draw, and
// firing at the player.
#pragma once

#include "ImageSprite.h"
#include "Sounds.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// One row per enemy kind 1 .. 8; the numbers are design constants.
struct TTerrorKind {
    int HitPoints;
    int HitDamage;
    double AnimRate;
    int Points;
    // Soldiers (kinds 1 .. 4): counted as infantry, they face the player to
    // fire, leave a body and cry when shot dead; the rest are vehicles that
    // explode.
    bool Infantry;
    TSound FireSound;
    // Played after the fire sound.
    std::optional<TSound> FireSound2;
    // The looping engine sound of vehicles; kinds with the same loop share it.
    std::optional<TSound> EngineSound;
    // The death cry of a soldier, the explosion of a vehicle.
    TSound KillSound;
    // Walk limits; a LeftBound of 0 with VehicleBounds means minus the
    // width of the kind's "_move" image.
    bool VehicleBounds;
    double LeftBound;
    double RightBound;
    bool CanTurn;
    // A ground vehicle turns before it stops to fire (the light truck stops
    // at once).
    bool TurnsToFire;
};

inline constexpr int kTerrorKindCount = 8;
// Indexed by kind; row 0 is unused.
extern const TTerrorKind TerrorKinds[kTerrorKindCount + 1];
// The row of a kind; kinds out of range read as kind 1.
const TTerrorKind& TerrorKind(int kind);
// Whether enemies of the two kinds share one engine loop.
bool SameEngine(int kind, int otherKind);
// The image suffixes of an enemy kind, for the library check: every kind
// has "_move", "_move_back", "_fight"; vehicles "_fight_back"; those that
// turn "_razvorot" and "_razvorot_back"; soldiers "_dead".
std::vector<std::string> TerrorImageNames(int kind);

// "terror" + kind + suffix.
std::string TerrorImageName(int kind, const char* suffix);

// The player after a hit: every 100 health lost costs a life, and the game
// ends with the last life even when the health was just refilled.
struct TPlayerCheck {
    int32_t Health;
    int32_t Lives;
    bool PlayerHit;
    bool GameOver;
};
TPlayerCheck CheckPlayerRule(int32_t health, int32_t lives);

// Where an enemy last took cover: the first scenery object it touched.
struct TCoverRect {
    int Left = 0;
    int Top = 0;
    int Bottom = 0;
    int Width = 0;
};

class TTerror : public TImageSprite {
public:
    TTerror(TSprite* parent, int kind, double depthScale, double x, double y, int z);
    const char* ClassName() const override { return "TTerror"; }

    int HitPoints = 0;
    int HitDamage = 0;
    double AnimRate = 0.0;
    int Points = 0;
    int EnemyKind = 0;
    // Drawing divisor: 1.5 for the far band (two thirds size), else 1.
    double DepthScale = 1.0;
    double RightBound = 0.0;
    double LeftBound = 0.0;
    bool Walking = false;
    bool Fighting = true;
    bool Turning = false;
    bool CanTurn = false;
    bool InCover = false;
    double PhaseClock = 0.0;
    int Direction = 1;
    bool Armed = false;
    TCoverRect CoverRect;
    int CoverHits = 0;

    // Between walking and firing.
    void TogglePhase();
    void DoCollision(TSprite* sprite, bool& done) override;
    void DoDraw() override;

protected:
    // The start of every enemy move: animation, the scenery query, cover.
    void BeginMove(int moveCount);
    // Reports every scenery object that touches it, pixel-exact, to
    // DoCollision, in child order.
    void QueryScenery();
    // One move of firing: on nine draws of ten the shot goes off when the
    // animation comes round to the firing pattern (once per loop), with the
    // player's check; returns true on the tenth draw, when the caller may
    // end the phase.
    bool FiringStep(int firePattern);
    // Plays the kind's fire sound and takes HitDamage from the player.
    void FireAtPlayer();
    // A life for every 100 health lost; the game ends with the last life.
    void CheckPlayer();
    // Shows the image of this kind with the suffix (size stays as created).
    void SetImage(const char* suffix);
    // The turn animation of vehicles and the helicopter.
    void TurnStep();
    // A draw n of RandInt(...) against e^(-PhaseClock): passes only for 0
    // while the clock is 0, otherwise for n < e^(-PhaseClock).
    bool DrawBelowClock(int32_t draw) const;
    bool DrawAboveClock(int32_t draw) const;
};
