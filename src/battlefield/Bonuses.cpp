// The seven bonuses and what collecting each one does.
#include "Bonuses.h"

#include "Aircraft.h"
#include "Effects.h"
#include "PictureCollection.h"
#include "SpriteEngine.h"
#include "SpriteWalks.h"
#include "Terror1.h"
#include "Unit1.h"

TBonus::TBonus(TSprite* parent, const std::string& imageName, double x, double y, int z) : TImageSprite(parent)
{
    TakeImage(MainForm->Image(imageName));
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

Bomb::Bomb(TSprite* parent, double x, double y, int z) : TBonus(parent, "bomb", x, y, z) {}

void Bomb::Collect(TMainForm& form)
{
    form.InfantryCount = 0;
    ForEachChild<TTerror1>(form.Root(), [&form](TTerror1& soldier) {
        // A soldier already killed this frame is not scored again.
        if (soldier.MarkedDead()) return;
        form.Score += soldier.Points;
        soldier.Dead();
        new TTerror_Dead(&form.Root(), soldier.EnemyKind, soldier.DepthScale, soldier.X, soldier.Y, soldier.Z());
    });
    form.PlaySound("bomb", false);
}

Med::Med(TSprite* parent, double x, double y, int z) : TBonus(parent, "med", x, y, z) {}

void Med::Collect(TMainForm& form)
{
    form.Health += 50;
    if (form.Health > 100) {
        if (form.Lives == 3) {
            form.Health = 100;
        } else {
            form.Lives += 1;
            form.Health -= 100;
        }
    }
    form.PlaySound("med", false);
}

Life::Life(TSprite* parent, double x, double y, int z) : TBonus(parent, "Life", x, y, z) {}

void Life::Collect(TMainForm& form)
{
    if (form.Lives == 3)
        form.Health = 100;
    else
        form.Lives += 1;
    form.PlaySound("life", false);
}

Dollar::Dollar(TSprite* parent, double x, double y, int z) : TBonus(parent, "dollar", x, y, z) {}

void Dollar::Collect(TMainForm& form)
{
    form.Score += 100;
    form.PlaySound("dollar", false);
}

Cherep::Cherep(TSprite* parent, double x, double y, int z) : TBonus(parent, "Cherep", x, y, z) {}

void Cherep::Collect(TMainForm& form)
{
    if (form.Health > 50) {
        form.Health -= 50;
    } else {
        form.Progress.PlayerHit = true;
        if (form.Lives == 1) {
            form.Progress.GameOver = true;
        } else {
            form.Lives -= 1;
            form.Health += 50;
        }
    }
    form.PlaySound("cherep", false);
}

Artobstrel::Artobstrel(TSprite* parent, double x, double y, int z) : TBonus(parent, "artobstrel", x, y, z) {}

void Artobstrel::Collect(TMainForm& form)
{
    new Plane(&form.Root(), 65 + form.RandInt(20));
    form.PlaySound("artobstrel", false);
}

Ocher::Ocher(TSprite* parent, double x, double y, int z) : TBonus(parent, "ocher", x, y, z) {}

void Ocher::Collect(TMainForm& form)
{
    form.Fire.SingleFire = false;
    // Ten seconds from now, however much of an earlier period was left.
    form.Timer1.SetEnabled(false);
    form.Timer1.SetEnabled(true);
    form.Timer1.SetInterval(10000);
    form.PlaySound("ocher", false);
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

const TDropRow kDrops[] = {
    {"bomb", MakeBonus<Bomb>},     {"med", MakeBonus<Med>},
    {"life", MakeBonus<Life>},     {"dollar", MakeBonus<Dollar>},
    {"cherep", MakeBonus<Cherep>}, {"artobstrel", MakeBonus<Artobstrel>},
    {"ocher", MakeBonus<Ocher>},
};

} // namespace

TBonus* DropBonus(TSprite* parent, int k, double centreX, double centreY, int z)
{
    const TDropRow& row = kDrops[k >= 0 && k < 7 ? k : 0];
    const TPictureCollectionItem& image = MainForm->Image(row.Image);
    return row.Create(parent, centreX - image.Width() / 2.0, centreY - image.Height() / 2.0, z);
}
