// SPDX-License-Identifier: GPL-3.0-or-later
// One shot at a point of the battlefield: the frontmost enemy under it, or
// a bonus floating in front of that enemy, takes it.
#include "Shot.h"

#include "Bonuses.h"
#include "Effects.h"
#include "GameContext.h"
#include "Images.h"
#include "Kills.h"
#include "PictureCollection.h"
#include "SpriteWalks.h"
#include "Terror.h"

namespace {

// The unscaled image rectangle, also for soldiers drawn at two thirds.
bool HitRectContains(const TSprite& sprite, int x, int y)
{
    const int64_t left = TruncateToInt(sprite.X), top = TruncateToInt(sprite.Y);
    return x >= left && x < left + sprite.Width && y >= top && y < top + sprite.Height;
}

// The frontmost sprite of the class under the point with a depth above
// floor; on equal depth the first child. Sprites already marked dead are
// no targets: an enemy killed (or a bonus collected) earlier in the same
// frame must not count twice.
template <class Class>
Class* FrontmostUnder(TSprite& root, int x, int y, int& floorZ)
{
    Class* found = nullptr;
    ForEachChild<Class>(root, [&](Class& candidate) {
        if (!candidate.MarkedDead() && HitRectContains(candidate, x, y) && candidate.Z() > floorZ) {
            found = &candidate;
            floorZ = candidate.Z();
        }
    });
    return found;
}

void Wound(TGameContext& game, TTerror& enemy, int x, int y)
{
    enemy.HitPoints -= game.Fire.ShotPower;
    if (TerrorKind(enemy.EnemyKind).Infantry) {
        game.PlaySound(TSound::HitSoldier);
    } else {
        game.PlaySound(TSound::HitArmour);
        new TPopal(&game.Root(), x, y);
    }
}

void Kill(TGameContext& game, TTerror& enemy)
{
    const TTerrorKind& kind = TerrorKind(enemy.EnemyKind);
    if (kind.Infantry) {
        game.PlaySound(TSound::HitSoldier);
        game.PlaySound(kind.KillSound);
        KillSoldier(game, enemy);
        game.InfantryCount -= 1;
    } else {
        KillVehicle(game, enemy, true);
        game.VehicleCount -= 1;
    }
    // Every kill may drop a bonus: about 30 in 100 at level 1, 45 later.
    const int32_t r = game.RandInt(100);
    if (game.Progress.SpawnChance * 15 > r) {
        const int32_t k = game.RandInt(BonusKindCount());
        DropBonus(&game.Root(), k, enemy.X + enemy.Width / 2.0, enemy.Y + enemy.Height / 2.0, enemy.Z());
    }
}

void Collect(TGameContext& game, TBonus& bonus)
{
    bonus.Collect(game);
    game.PlaySound(TSound::BonusBurst);
    bonus.Dead();
    const TPictureCollectionItem& burst = game.Image(Images::BonusBurst);
    new TBonus_Dead(&game.Root(), bonus.X + bonus.Width / 2.0 - burst.Width() / 2.0,
                    bonus.Y + bonus.Height / 2.0 - burst.Height() / 2.0, bonus.Z());
}

} // namespace

void ResolveShot(TGameContext& game, int x, int y)
{
    game.Fire.ShotFired = true;
    game.PlaySound(TSound::RifleShot);

    TSpriteEngine& root = game.Root();
    int enemyZ = 0;
    TTerror* enemy = FrontmostUnder<TTerror>(root, x, y, enemyZ);
    // Only a bonus in front of that enemy counts.
    int bonusZ = enemyZ;
    TBonus* bonus = FrontmostUnder<TBonus>(root, x, y, bonusZ);
    if (bonus == nullptr) bonusZ = 0;

    if (enemyZ > bonusZ) {
        if (enemy->HitPoints > game.Fire.ShotPower)
            Wound(game, *enemy, x, y);
        else
            Kill(game, *enemy);
    } else if (bonusZ > enemyZ) {
        Collect(game, *bonus);
    }
    if (enemy == nullptr && bonus == nullptr) game.PlaySound(TSound::Miss);
}
