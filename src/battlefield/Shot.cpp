// One shot at a point of the battlefield: the frontmost enemy under it, or
// a bonus floating in front of that enemy, takes it.
#include "Bonuses.h"
#include "Effects.h"
#include "PictureCollection.h"
#include "Terror1.h"
#include "Unit1.h"

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

void Wound(TMainForm& form, TTerror& enemy, bool infantry, int x, int y)
{
    enemy.HitPoints -= form.Fire.ShotPower;
    if (infantry) {
        form.PlaySound("popal_in_plot", false);
    } else {
        form.PlaySound("popal_in_gel", false);
        new TPopal(&form.Root(), x, y);
    }
}

void Kill(TMainForm& form, TTerror& enemy, bool infantry)
{
    form.Score += enemy.Points;
    if (infantry) {
        form.PlaySound("popal_in_plot", false);
        enemy.Dead();
        form.PlaySound(TerrorImageName(enemy.EnemyKind, "_dead"), false);
        new TTerror_Dead(&form.Root(), enemy.EnemyKind, enemy.DepthScale, enemy.X, enemy.Y, enemy.Z());
        form.InfantryCount -= 1;
    } else {
        enemy.Dead();
        // The dying enemy still counts, so the loop stops with the last of its kind.
        form.StopSound(TerrorKinds[enemy.EnemyKind].EngineSound, enemy.EnemyKind);
        form.PlaySound(enemy.EnemyKind == 5 ? "15" : "8", false);
        const TPictureCollectionItem& gotov = form.Image("gotov");
        new TGotov(&form.Root(), enemy.X + enemy.Width / 2.0 - gotov.Width() / 2.0,
                   enemy.Y + enemy.Height / 2.0 - gotov.Height() / 2.0);
        form.VehicleCount -= 1;
    }
    // Every kill may drop a bonus: about 30 in 100 at level 1, 45 later.
    const int32_t r = form.RandInt(100);
    if (form.Progress.SpawnChance * 15 > r) {
        const int32_t k = form.RandInt(7);
        DropBonus(&form.Root(), k, enemy.X + enemy.Width / 2.0, enemy.Y + enemy.Height / 2.0, enemy.Z());
    }
}

void Collect(TMainForm& form, TBonus& bonus)
{
    bonus.Collect(form);
    form.PlaySound("shar_dead", false);
    bonus.Dead();
    const TPictureCollectionItem& burst = form.Image("Bonus_dead");
    new TBonus_Dead(&form.Root(), bonus.X + bonus.Width / 2.0 - burst.Width() / 2.0,
                    bonus.Y + bonus.Height / 2.0 - burst.Height() / 2.0, bonus.Z());
}

} // namespace

void TMainForm::ResolveShot(int x, int y)
{
    Fire.ShotFired = true;
    PlaySound("1", false);

    int enemyZ = 0;
    TTerror* enemy = FrontmostUnder<TTerror>(Root(), x, y, enemyZ);
    // Only a bonus in front of that enemy counts.
    int bonusZ = enemyZ;
    TBonus* bonus = FrontmostUnder<TBonus>(Root(), x, y, bonusZ);
    if (bonus == nullptr) bonusZ = 0;

    if (enemyZ > bonusZ) {
        const bool infantry = dynamic_cast<TTerror1*>(enemy) != nullptr;
        if (enemy->HitPoints > Fire.ShotPower)
            Wound(*this, *enemy, infantry, x, y);
        else
            Kill(*this, *enemy, infantry);
    } else if (bonusZ > enemyZ) {
        Collect(*this, *bonus);
    }
    if (enemy == nullptr && bonus == nullptr) PlaySound("2", false);
}
