// One shot at a point of the battlefield: the frontmost enemy under it is
// wounded or killed. (Bonuses and their pickups join this search with the
// bonus classes.)
#include "Effects.h"
#include "Terror1.h"
#include "Terror2.h"
#include "TerrorVert.h"
#include "PictureCollection.h"
#include "Unit1.h"

namespace {

// The unscaled image rectangle, also for soldiers drawn at two thirds.
bool HitRectContains(const TSprite& sprite, int x, int y)
{
    const int left = TruncateToInt(sprite.X), top = TruncateToInt(sprite.Y);
    return x >= left && int64_t{x} < int64_t{left} + sprite.Width && y >= top && int64_t{y} < int64_t{top} + sprite.Height;
}

} // namespace

void TMainForm::ResolveShot(int x, int y)
{
    Fire.ShotFired = true;
    PlaySound("1", false);

    // Frontmost enemy under the point; on equal depth the first child.
    TTerror* enemy = nullptr;
    int enemyZ = 0;
    ForEachChild<TTerror>(Root(), [&](TTerror& candidate) {
        if (HitRectContains(candidate, x, y) && candidate.Z() > enemyZ) {
            enemy = &candidate;
            enemyZ = candidate.Z();
        }
    });
    if (enemy == nullptr) {
        PlaySound("2", false);
        return;
    }

    const bool infantry = dynamic_cast<TTerror1*>(enemy) != nullptr;
    if (enemy->HitPoints > Fire.ShotPower) {
        enemy->HitPoints -= Fire.ShotPower;
        if (infantry) {
            PlaySound("popal_in_plot", false);
        } else {
            PlaySound("popal_in_gel", false);
            new TPopal(&Root(), x, y);
        }
        return;
    }

    Score += enemy->Points;
    if (infantry) {
        PlaySound("popal_in_plot", false);
        enemy->Dead();
        PlaySound(TerrorImageName(enemy->EnemyKind, "_dead"), false);
        new TTerror_Dead(&Root(), enemy->EnemyKind, enemy->DepthScale, enemy->X, enemy->Y, enemy->Z());
        InfantryCount -= 1;
    } else {
        enemy->Dead();
        // The dying enemy still counts, so the loop stops with the last of its kind.
        StopSound(TerrorKinds[enemy->EnemyKind].EngineSound, enemy->EnemyKind);
        PlaySound(enemy->EnemyKind == 5 ? "15" : "8", false);
        const TPictureCollectionItem& gotov = Image("gotov");
        new TGotov(&Root(), enemy->X + enemy->Width / 2.0 - gotov.Width() / 2.0,
                   enemy->Y + enemy->Height / 2.0 - gotov.Height() / 2.0);
        VehicleCount -= 1;
    }
}
