// SPDX-License-Identifier: GPL-3.0-or-later
// The seven bonuses and what collecting each one does.
#include "Bonuses.h"

#include "Aircraft.h"
#include "GameContext.h"
#include "Images.h"
#include "Kills.h"
#include "PictureCollection.h"
#include "SpriteEngine.h"
#include "SpriteWalks.h"
#include "Terror.h"

#include <iterator>

TBonus::TBonus(TSprite* parent, const std::string& imageName, double x, double y, int z) : TImageSprite(parent)
{
    TakeImage(Game().Image(imageName));
    X = x;
    Y = y;
    SetZ(z);
    PixelCheck = true;
}

void TBonus::DoMove(int moveCount)
{
    TImageSprite::DoMove(moveCount);
    Y -= 5;
    // Floated into the HUD band: lost.
    ForEachChild<TBonus>(*Engine(), [](TBonus& bonus) {
        if (bonus.Y <= 65) bonus.Dead();
    });
    AnimStart = 0;
    AnimCount = Image->PatternCount();
    AnimLooped = true;
    AnimSpeed = 0.01;
}

Bomb::Bomb(TSprite* parent, double x, double y, int z) : TBonus(parent, Images::Bomb, x, y, z) {}

void Bomb::Collect(TGameContext& game)
{
    game.InfantryCount = 0;
    ForEachChild<TTerror>(game.Root(), [&game](TTerror& enemy) {
        // A soldier already killed this frame is not scored again.
        if (!TerrorKind(enemy.EnemyKind).Infantry || enemy.MarkedDead()) return;
        KillSoldier(game, enemy);
    });
    game.PlaySound(TSound::Bomb);
}

Med::Med(TSprite* parent, double x, double y, int z) : TBonus(parent, Images::Med, x, y, z) {}

void Med::Collect(TGameContext& game)
{
    game.Health += 50;
    if (game.Health > 100) {
        if (game.Lives == 3) {
            game.Health = 100;
        } else {
            game.Lives += 1;
            game.Health -= 100;
        }
    }
    game.PlaySound(TSound::Med);
}

Life::Life(TSprite* parent, double x, double y, int z) : TBonus(parent, Images::Life, x, y, z) {}

void Life::Collect(TGameContext& game)
{
    if (game.Lives == 3)
        game.Health = 100;
    else
        game.Lives += 1;
    game.PlaySound(TSound::Life);
}

Dollar::Dollar(TSprite* parent, double x, double y, int z) : TBonus(parent, Images::Dollar, x, y, z) {}

void Dollar::Collect(TGameContext& game)
{
    game.Score += 100;
    game.PlaySound(TSound::Dollar);
}

Cherep::Cherep(TSprite* parent, double x, double y, int z) : TBonus(parent, Images::Cherep, x, y, z) {}

void Cherep::Collect(TGameContext& game)
{
    if (game.Health > 50) {
        game.Health -= 50;
    } else {
        game.Progress.PlayerHit = true;
        if (game.Lives == 1) {
            game.Progress.GameOver = true;
        } else {
            game.Lives -= 1;
            game.Health += 50;
        }
    }
    game.PlaySound(TSound::Cherep);
}

Artobstrel::Artobstrel(TSprite* parent, double x, double y, int z) : TBonus(parent, Images::Artobstrel, x, y, z) {}

void Artobstrel::Collect(TGameContext& game)
{
    new Plane(&game.Root(), 65 + game.RandInt(20));
    game.PlaySound(TSound::Artobstrel);
}

Ocher::Ocher(TSprite* parent, double x, double y, int z) : TBonus(parent, Images::Ocher, x, y, z) {}

void Ocher::Collect(TGameContext& game)
{
    game.Fire.SingleFire = false;
    // Ten seconds from now, however much of an earlier period was left.
    game.Timer1.SetEnabled(false);
    game.Timer1.SetEnabled(true);
    game.Timer1.SetInterval(10000);
    game.PlaySound(TSound::Ocher);
}

namespace {

template <class Class>
TBonus* MakeBonus(TSprite* parent, double x, double y, int z)
{
    return new Class(parent, x, y, z);
}

struct TDropRow {
    // Centred with this image's size.
    const char* Image;
    TBonus* (*Create)(TSprite* parent, double x, double y, int z);
};

constexpr TDropRow kDrops[] = {
    {Images::Bomb, MakeBonus<Bomb>},     {Images::Med, MakeBonus<Med>},
    {Images::Life, MakeBonus<Life>},     {Images::Dollar, MakeBonus<Dollar>},
    {Images::Cherep, MakeBonus<Cherep>}, {Images::Artobstrel, MakeBonus<Artobstrel>},
    {Images::Ocher, MakeBonus<Ocher>},
};

} // namespace

int BonusKindCount()
{
    return static_cast<int>(std::size(kDrops));
}

std::vector<std::string> BonusImages()
{
    std::vector<std::string> names;
    for (const TDropRow& row : kDrops) names.emplace_back(row.Image);
    return names;
}

TBonus* DropBonus(TSprite* parent, int k, double centreX, double centreY, int z)
{
    const TDropRow& row = kDrops[k >= 0 && k < BonusKindCount() ? k : 0];
    const TPictureCollectionItem& image = Game().Image(row.Image);
    return row.Create(parent, centreX - image.Width() / 2.0, centreY - image.Height() / 2.0, z);
}
