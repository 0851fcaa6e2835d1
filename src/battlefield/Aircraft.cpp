// The plane and its rocket.
#include "Aircraft.h"

#include "Effects.h"
#include "PictureCollection.h"
#include "SpriteEngine.h"
#include "SpriteWalks.h"
#include "Terror2.h"
#include "TerrorVert.h"
#include "Unit1.h"

Plane::Plane(TSprite* parent, double y) : TImageSprite(parent)
{
    TMainForm& form = *MainForm;
    Y = y;
    SetZ(form.Image("plane").Height() + RoundToInt(Y));
    if (form.RandInt(2) == 0) {
        Image = &form.Image("plane_");
        X = -form.Image("plane").Width();
        FlyingRight = true;
    } else {
        Image = &form.Image("plane");
        X = 800;
        FlyingRight = false;
    }
    Width = Image->Width();
    Height = Image->Height();
    RocketDropped = false;
    form.PlaySound("plane", false);
}

void Plane::DoMove(int moveCount)
{
    TImageSprite::DoMove(moveCount);
    X += FlyingRight ? 15 : -15;
    TMainForm& form = *MainForm;
    if (!RocketDropped && ((FlyingRight && X > 650) || (!FlyingRight && X < 100))) {
        new Roket_(Engine(), X + 20, Y + 20, FlyingRight);
        form.PlaySound("artobstrel", false);
        RocketDropped = true;
    }
    // Gone once wholly off the surface; the drop points lie well inside it.
    const int width = form.Image("plane").Width();
    if ((!FlyingRight && X <= -width) || (FlyingRight && X >= 800)) Dead();
}

Roket_::Roket_(TSprite* parent, double x, double y, bool flyingRight) : TImageSprite(parent)
{
    TMainForm& form = *MainForm;
    FlyingRight = flyingRight;
    Image = &form.Image(flyingRight ? "roket_" : "roket");
    X = x;
    Y = y;
    SetZ(RoundToInt(Y) + form.Image("roket").Height());
    Width = Image->Width();
    Height = Image->Height();
}

void Roket_::DoMove(int moveCount)
{
    TImageSprite::DoMove(moveCount);
    X += FlyingRight ? 3 : -3;
    Y += 3;
    if (Y <= 200) return;
    // The strike: it depends only on the rocket's height.
    TMainForm& form = *MainForm;
    TSpriteEngine& root = *Engine();
    if (auto* oldest = FirstChild<Roket_>(root)) oldest->Dead();
    form.VehicleCount = 0;
    const TPictureCollectionItem& gotov = form.Image("gotov");
    ForEachChild<TTerror>(root, [&](TTerror& enemy) {
        const bool vehicle = dynamic_cast<TTerror2*>(&enemy) != nullptr || dynamic_cast<TTerror_Vert*>(&enemy) != nullptr;
        // An enemy killed earlier in this frame is not scored twice.
        if (!vehicle || enemy.MarkedDead()) return;
        form.Score += enemy.Points;
        enemy.Dead();
        form.PlaySound(enemy.EnemyKind == 5 ? "15" : "8", false);
        new TGotov(&root, enemy.X + enemy.Width / 2.0 - gotov.Width() / 2.0,
                   enemy.Y + enemy.Height / 2.0 - gotov.Height() / 2.0);
    });
    form.StopSound("technic", 0);
}
