// SPDX-License-Identifier: GPL-3.0-or-later
// The sprite tree: attachment, depth order, the move, dead and draw passes,
// destruction, collision queries and the component's display binding.
#include "DXSpriteEngine.h"
#include "EngineErrors.h"
#include "SpriteEngine.h"
#include "SpriteProbe.h"
#include "SpriteWalks.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

using Names = std::vector<std::string>;

// A root painting on an 800 x 600 surface.
struct TTree {
    TTree() { Root.SetSurface(&Surface); }
    // The log outlives the sprites, which write to it as they go.
    TSpriteLog Log;
    TDirectDrawSurface Surface{800, 600, TPixelFormat::XRGB8888()};
    TSpriteEngine Root;

    TProbe* Add(TSprite* parent, const std::string& name, int z = 0)
    {
        auto* probe = new TProbe(parent, name, Log);
        probe->SetZ(z);
        return probe;
    }
    Names Drawn()
    {
        Log.clear();
        Root.Draw();
        return Events(Log, "draw ");
    }
    Names MovedNames()
    {
        Log.clear();
        Root.Move(16);
        return Events(Log, "move ");
    }
};

TEST(TSprite, CreationAttachesUnderTheParentAndCountsInTheRoot)
{
    TTree t;
    TProbe* a = t.Add(&t.Root, "a");
    TProbe* b = t.Add(a, "b");
    TProbe* c = t.Add(&t.Root, "c");

    EXPECT_EQ(t.Root.Engine(), nullptr);
    EXPECT_EQ(t.Root.Parent(), nullptr);
    EXPECT_EQ(a->Engine(), &t.Root);
    EXPECT_EQ(b->Engine(), &t.Root);
    EXPECT_EQ(b->Parent(), a);
    EXPECT_EQ(t.Root.AllCount(), 3);
    ASSERT_EQ(t.Root.Count(), 2);
    EXPECT_EQ(t.Root.Items(0), a);
    EXPECT_EQ(t.Root.Items(1), c);
    EXPECT_EQ(a->Items(0), b);
    EXPECT_TRUE(b->Collisioned && b->Moved && b->Visible);
    EXPECT_FALSE(b->MarkedDead());
}

TEST(TSprite, ItemsOutsideTheChildrenRaiseTheListErrors)
{
    struct Case {
        int children;
        bool removeThemAgain;
        int index;
        bool spriteError;
        const char* message;
    };
    const Case cases[] = {
        {0, false, 0, true, "Index of the list exceeds the range. (0)"},
        {0, false, -3, true, "Index of the list exceeds the range. (-3)"},
        {2, true, 0, true, "Index of the list exceeds the range. (0)"},  // lists went with the last child
        {2, false, 2, false, "List index out of bounds (2)"},
        {2, false, -1, false, "List index out of bounds (-1)"},
    };
    for (const Case& c : cases) {
        TTree t;
        TProbe* parent = t.Add(&t.Root, "p");
        for (int i = 0; i < c.children; ++i) t.Add(parent, "c" + std::to_string(i))->Dead();
        if (c.removeThemAgain) t.Root.Dead();
        try {
            parent->Items(c.index);
            ADD_FAILURE() << "no error for index " << c.index;
        } catch (const ESpriteError& e) {
            EXPECT_TRUE(c.spriteError) << c.message;
            EXPECT_STREQ(e.what(), c.message);
        } catch (const EListError& e) {
            EXPECT_FALSE(c.spriteError) << c.message;
            EXPECT_STREQ(e.what(), c.message);
        }
    }
}

TEST(TSprite, DrawOrderPutsANewOrReorderedSpriteBeneathItsEquals)
{
    TTree t;
    TProbe* a = t.Add(&t.Root, "a");
    TProbe* b = t.Add(&t.Root, "b");
    TProbe* c = t.Add(&t.Root, "c");
    EXPECT_EQ(t.Drawn(), (Names{"c", "b", "a"}));

    b->SetZ(5);
    EXPECT_EQ(t.Drawn(), (Names{"c", "a", "b"}));
    b->SetZ(0);
    EXPECT_EQ(t.Drawn(), (Names{"b", "c", "a"}));
    a->SetZ(0);  // its own value: stays where it is
    EXPECT_EQ(t.Drawn(), (Names{"b", "c", "a"}));

    t.Add(&t.Root, "top", 805);
    t.Add(&t.Root, "back", -1);
    t.Add(&t.Root, "mid", 3);
    c->SetZ(4);
    EXPECT_EQ(t.Drawn(), (Names{"back", "b", "a", "mid", "c", "top"}));
    // Attachment order never changes.
    EXPECT_EQ(t.Root.Items(2), c);
    EXPECT_EQ(t.Root.DrawCount(), 6);
}

TEST(TSprite, ParentPaintsBeneathItsChildrenAndSubtreesKeepTheirDepth)
{
    TTree t;
    TProbe* p = t.Add(&t.Root, "p", 1);
    t.Add(p, "p-front", 5);
    t.Add(p, "p-back", -5);
    t.Add(&t.Root, "q", 2);
    t.Add(&t.Root, "r", -7);
    EXPECT_EQ(t.Drawn(), (Names{"r", "p", "p-back", "p-front", "q"}));
}

TEST(TSprite, VisibleAndMovedActOnTheWholeSubtree)
{
    TTree t;
    TProbe* a = t.Add(&t.Root, "a");
    TProbe* a1 = t.Add(a, "a1");
    t.Add(a1, "a11");
    t.Add(&t.Root, "b", 1);

    EXPECT_EQ(t.MovedNames(), (Names{"a", "a1", "a11", "b"}));
    EXPECT_EQ(t.Drawn(), (Names{"a", "a1", "a11", "b"}));

    a->Visible = false;
    EXPECT_EQ(t.Drawn(), (Names{"b"}));
    EXPECT_EQ(t.Root.DrawCount(), 1);
    a->Visible = true;
    a1->Visible = false;
    EXPECT_EQ(t.Drawn(), (Names{"a", "b"}));

    a->Moved = false;
    EXPECT_EQ(t.MovedNames(), (Names{"b"}));
    a->Moved = true;
    a1->Moved = false;
    EXPECT_EQ(t.MovedNames(), (Names{"a", "b"}));
}

TEST(TSprite, MovePassReadsTheChildCountAfterEachDoMove)
{
    TTree t;
    TProbe* a = t.Add(&t.Root, "a");
    TProbe* b = t.Add(&t.Root, "b");
    bool spawned = false;
    a->OnMove = [&](TProbe& self) {
        if (spawned) return;
        spawned = true;
        t.Add(&t.Root, "sibling");  // beyond the root's count: next pass
        t.Add(&self, "child");      // its own children are counted after DoMove
        b->Dead();                  // still moved: marking changes nothing yet
    };
    EXPECT_EQ(t.MovedNames(), (Names{"a", "child", "b"}));
    EXPECT_EQ(a->LastMoveCount, 16);
    EXPECT_EQ(t.Root.DeadList(), (std::vector<TSprite*>{b}));

    t.Root.Dead();
    EXPECT_EQ(t.MovedNames(), (Names{"a", "child", "sibling"}));
}

TEST(TSprite, DeadMarksOnceAndTheMarkedSpriteStaysUntilTheDeadPass)
{
    TTree t;
    TProbe* a = t.Add(&t.Root, "a");
    t.Add(&t.Root, "b");
    a->Dead();
    a->Dead();
    ASSERT_EQ(t.Root.DeadList(), (std::vector<TSprite*>{a}));
    EXPECT_TRUE(a->MarkedDead());
    static_cast<TSprite&>(t.Root).Dead();  // marking the root means nothing
    EXPECT_EQ(t.Root.DeadList().size(), 1u);

    EXPECT_EQ(t.Drawn(), (Names{"b", "a"}));
    EXPECT_EQ(t.MovedNames(), (Names{"a", "b"}));

    t.Log.clear();
    t.Root.Dead();
    EXPECT_EQ(t.Log, (Names{"free a"}));
    EXPECT_TRUE(t.Root.DeadList().empty());
    EXPECT_EQ(t.Root.AllCount(), 1);
    EXPECT_EQ(t.Drawn(), (Names{"b"}));
}

TEST(TSprite, DestroyingASpriteFreesItsSubtreeOnceNewestFirst)
{
    TTree t;
    TProbe* p = t.Add(&t.Root, "p");
    t.Add(p, "c1");
    TProbe* c2 = t.Add(p, "c2");
    TProbe* c3 = t.Add(p, "c3");
    TProbe* g = t.Add(c3, "g");
    t.Add(&t.Root, "other");
    c2->Dead();
    g->Dead();
    p->Dead();
    ASSERT_EQ(t.Root.DeadList().size(), 3u);

    t.Log.clear();
    t.Root.Dead();
    // A derived destructor runs before the base frees the children, so the
    // parent shows first; its children go last attached first, depth first.
    EXPECT_EQ(t.Log, (Names{"free p", "free c3", "free g", "free c2", "free c1"}));
    EXPECT_TRUE(t.Root.DeadList().empty());
    EXPECT_EQ(t.Root.AllCount(), 1);
    EXPECT_EQ(t.Root.Count(), 1);
}

TEST(TSprite, ClearFreesNewestFirstAndTheTreeCanGrowAgain)
{
    TTree t;
    t.Add(&t.Root, "a");
    t.Add(&t.Root, "b")->Dead();
    t.Add(&t.Root, "c", -1);
    t.Log.clear();
    t.Root.Clear();
    EXPECT_EQ(t.Log, (Names{"free c", "free b", "free a"}));
    EXPECT_EQ(t.Root.Count(), 0);
    EXPECT_EQ(t.Root.AllCount(), 0);
    EXPECT_TRUE(t.Root.DeadList().empty());
    EXPECT_THROW(t.Root.Items(0), ESpriteError);

    t.Add(&t.Root, "d", 2);
    t.Add(&t.Root, "e", 1);
    EXPECT_EQ(t.Drawn(), (Names{"e", "d"}));
}

TEST(TSprite, ClearIsRefusedWhileTheTreeMoves)
{
    // A move that changes the screen must not free the sprites the pass
    // still walks; it marks them dead instead. A paused game moves a single
    // sprite, which counts as a pass too.
    TTree t;
    TProbe* a = t.Add(&t.Root, "a");
    t.Add(&t.Root, "b");
    bool refused = false;
    a->OnMove = [&](TProbe&) {
        try {
            t.Root.Clear();
        } catch (const ESpriteError&) {
            refused = true;
        }
    };
    EXPECT_EQ(t.MovedNames(), (Names{"a", "b"}));
    EXPECT_TRUE(refused);
    refused = false;
    a->Move(16);
    EXPECT_TRUE(refused);
    EXPECT_FALSE(t.Root.Moving());
    a->OnMove = nullptr;
    t.Root.Clear();
    EXPECT_EQ(t.Root.Count(), 0);
}

TEST(SpriteWalks, FindCountAndKillByClassIncludingDescendants)
{
    struct TSpecial : TProbe {
        using TProbe::TProbe;
    };
    TTree t;
    t.Add(&t.Root, "a");
    auto* s1 = new TSpecial(&t.Root, "s1", t.Log);
    t.Add(&t.Root, "b");
    auto* s2 = new TSpecial(&t.Root, "s2", t.Log);
    EXPECT_EQ(FirstChild<TSpecial>(t.Root), s1);
    EXPECT_EQ(CountChildren<TProbe>(t.Root), 4);
    EXPECT_EQ(CountChildren<TSpecial>(t.Root, [](const TSpecial& s) { return s.Name == "s2"; }), 1);
    KillAll<TSpecial>(t.Root);
    EXPECT_TRUE(s1->MarkedDead());
    EXPECT_TRUE(s2->MarkedDead());
    EXPECT_EQ(t.Root.DeadList().size(), 2u);
    t.Root.Dead();
    EXPECT_EQ(FirstChild<TSpecial>(t.Root), nullptr);
}

TEST(TSpriteEngine, DestroyingTheRootFreesEverySpriteOnce)
{
    TSpriteLog log;
    {
        TSpriteEngine root;
        auto* a = new TProbe(&root, "a", log);
        new TProbe(a, "a1", log);
        auto* b = new TProbe(&root, "b", log);
        b->Dead();
        new TProbe(b, "b1", log);
        a->Items(0)->Dead();
    }
    EXPECT_EQ(log, (Names{"free b", "free b1", "free a", "free a1"}));
}

TEST(TSprite, DrawPassPaintsWhatOverlapsTheSurfaceStrictly)
{
    struct Case {
        double x, y;
        int w, h;
        bool painted;
    };
    const Case cases[] = {
        {800, 0, 10, 10, false},  // one pixel right of the edge
        {799, 0, 10, 10, true},   // one pixel inside
        {0, 600, 10, 10, false},  {0, 599, 10, 10, true},
        {-10, 0, 10, 10, false},  // touches the left edge only
        {-9.5, 0, 10, 10, true},  // truncated toward zero: left -9
        {-10.5, 0, 10, 10, false},
        {400, 300, 0, 0, true},   // zero size: its point is inside
        {0, 0, 0, 0, false},      // on the edge
        {799.9, 599.9, 0, 0, true},
    };
    for (const Case& c : cases) {
        TTree t;
        new TProbe(&t.Root, "s", t.Log, c.x, c.y, c.w, c.h);
        EXPECT_EQ(t.Drawn().size(), c.painted ? 1u : 0u) << c.x << "," << c.y << " " << c.w << "x" << c.h;
        EXPECT_EQ(t.Root.DrawCount(), c.painted ? 1 : 0);
    }
}

TEST(TSprite, WorldPositionAndRectangleAddEveryAncestor)
{
    TTree t;
    t.Root.X = 5;
    t.Root.Y = -1;
    TProbe* a = t.Add(&t.Root, "a");
    a->X = 10.5;
    a->Y = 2;
    auto* b = new TProbe(a, "b", t.Log, 1.25, -3.75, 4, 6);
    EXPECT_DOUBLE_EQ(b->WorldX(), 16.75);
    EXPECT_DOUBLE_EQ(b->WorldY(), -2.75);
    EXPECT_EQ(b->BoundsRect(), (TRect{16, -2, 20, 4}));
    // Wild positions saturate instead of overflowing.
    b->X = 1e300;
    EXPECT_EQ(b->BoundsRect().Left, INT_MAX);
    EXPECT_EQ(b->BoundsRect().Right, INT_MAX);
}

TEST(TSprite, CollisionReportsEveryTouchingSpriteAndDoneOnlyStopsTheDescent)
{
    struct Case {
        const char* name;
        std::function<void(TProbe& query, bool& done)> onHit;
        const char* refuses;  // sprite whose fine test says no
        Names hits;
    };
    const Case cases[] = {
        {"plain", nullptr, "", {"a", "g", "b"}},
        {"done at first", [](TProbe&, bool& done) { done = true; }, "", {"a", "b"}},
        {"query marks itself dead", [](TProbe& q, bool&) { q.Dead(); }, "", {"a", "b"}},
        {"query stops colliding", [](TProbe& q, bool&) { q.Collisioned = false; }, "", {"a", "b"}},
        {"query moves away: rectangle taken once", [](TProbe& q, bool&) { q.X += 500; }, "", {"a", "g", "b"}},
        {"a refuses", nullptr, "a", {"g", "b"}},
        {"query refuses", nullptr, "q", {}},
    };
    for (const Case& c : cases) {
        TTree t;
        auto* q = new TProbe(&t.Root, "q", t.Log, 0, 0);
        new TProbe(q, "own child far away", t.Log, 300, 300);
        auto* a = new TProbe(&t.Root, "a", t.Log, 5, 5);
        new TProbe(&t.Root, "c touches", t.Log, 10, 0);
        auto* d = new TProbe(&t.Root, "d off", t.Log, 5, 5);
        d->Collisioned = false;
        new TProbe(d, "e under d", t.Log, 5, 5);
        auto* f = new TProbe(&t.Root, "f far", t.Log, 50, 50);
        new TProbe(f, "g", t.Log, -45, -45);  // world (5, 5)
        new TProbe(&t.Root, "b", t.Log, 9, 9);
        q->OnCollision = c.onHit;
        if (std::string(c.refuses) == "a") a->Accept = false;
        if (std::string(c.refuses) == "q") q->Accept = false;

        EXPECT_EQ(q->Collision(), static_cast<int>(c.hits.size())) << c.name;
        EXPECT_EQ(Events(t.Log, "hit "), c.hits) << c.name;
        EXPECT_EQ(t.Root.CollisionSprite(), q) << c.name;
        EXPECT_EQ(t.Root.CollisionRect(), (TRect{0, 0, 10, 10})) << c.name;
    }
}

TEST(TSprite, CollisionFromAnUnfitQueryIsZeroAndCallsNothing)
{
    TTree t;
    auto* dead = new TProbe(&t.Root, "dead", t.Log);
    dead->Dead();
    auto* off = new TProbe(&t.Root, "off", t.Log);
    off->Collisioned = false;
    new TProbe(&t.Root, "target", t.Log);
    TProbe loose(nullptr, "loose", t.Log);

    for (TSprite* query : {static_cast<TSprite*>(dead), static_cast<TSprite*>(off), static_cast<TSprite*>(&loose),
                           static_cast<TSprite*>(&t.Root)}) {
        t.Log.clear();
        EXPECT_EQ(query->Collision(), 0);
        EXPECT_TRUE(Events(t.Log, "hit ").empty());
    }
    EXPECT_EQ(t.Root.CollisionSprite(), nullptr);
}

TEST(TDXSpriteEngine, BindsTheRootToTheDisplayWhileItIsInitialised)
{
    TSpriteLog log;
    auto display = std::make_unique<TOffscreenDXDraw>(TPixelFormat::XRGB8888(), 320, 200);
    TDXSpriteEngine sprites;
    TSpriteEngine& root = sprites.Engine();
    auto* s = new TProbe(&root, "s", log);

    sprites.SetDXDraw(display.get());
    EXPECT_EQ(root.Surface(), nullptr);
    sprites.Draw();
    EXPECT_TRUE(Events(log, "draw ").empty());

    display->Initialize();
    ASSERT_NE(display->Surface(), nullptr);
    EXPECT_EQ(root.Surface(), display->Surface());
    EXPECT_EQ(root.SurfaceRect(), (TRect{0, 0, 320, 200}));
    EXPECT_EQ(root.Width, 320);
    EXPECT_EQ(root.Height, 200);
    sprites.Draw();
    EXPECT_EQ(Events(log, "draw "), (Names{"s"}));
    EXPECT_EQ(root.DrawCount(), 1);

    // A second engine registering with an initialised display binds at once.
    TDXSpriteEngine late;
    late.SetDXDraw(display.get());
    EXPECT_EQ(late.Engine().Surface(), display->Surface());

    display->Finalize();
    EXPECT_EQ(root.Surface(), nullptr);
    EXPECT_EQ(root.SurfaceRect(), (TRect{0, 0, 320, 200}));
    log.clear();
    sprites.Draw();
    sprites.Move(16);
    s->Dead();
    sprites.Dead();
    EXPECT_EQ(log, (Names{"move s", "free s"}));

    // Moving to another display unbinds from the first one.
    display->Initialize();
    TOffscreenDXDraw other(TPixelFormat::RGB565(), 64, 48);
    late.SetDXDraw(&other);
    EXPECT_EQ(late.Engine().Surface(), nullptr);
    other.Initialize();
    EXPECT_EQ(late.Engine().Surface(), other.Surface());
    EXPECT_EQ(late.Engine().SurfaceRect(), (TRect{0, 0, 64, 48}));

    display.reset();
    EXPECT_EQ(sprites.DXDraw(), nullptr);
    EXPECT_EQ(root.Surface(), nullptr);
    sprites.Draw();
    EXPECT_EQ(late.DXDraw(), &other);
}

} // namespace
