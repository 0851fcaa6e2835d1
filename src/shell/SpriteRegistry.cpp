// SPDX-License-Identifier: GPL-3.0-or-later
// The registry's rows: one per sprite class of the game.
#include "SpriteRegistry.h"

#include "Aircraft.h"
#include "BackgroundSprite.h"
#include "Bonuses.h"
#include "Buttons.h"
#include "Effects.h"
#include "Hud.h"
#include "LevelIntro.h"
#include "NameEntry.h"
#include "PictureCollection.h"
#include "Pricel.h"
#include "Scenes.h"
#include "SpriteText.h"
#include "Terror1.h"
#include "Terror2.h"
#include "TerrorVert.h"
#include "Weapon.h"

#include <charconv>
#include <cstring>
#include <tuple>

std::string FormatNumber(double value)
{
    char text[64];
    const auto [end, ec] = std::to_chars(text, text + sizeof text, value);
    return ec == std::errc() ? std::string(text, end) : "nan";
}

namespace {

std::string Text(bool v)
{
    return v ? "true" : "false";
}
std::string Text(int v)
{
    return std::to_string(v);
}
std::string Text(double v)
{
    return FormatNumber(v);
}

// Reads one argument of the type the constructor takes.
bool Parse(const std::string& text, int& v)
{
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
    return ec == std::errc() && end == text.data() + text.size();
}
bool Parse(const std::string& text, double& v)
{
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
    return ec == std::errc() && end == text.data() + text.size();
}
bool Parse(const std::string& text, bool& v)
{
    if (text == "true" || text == "1") v = true;
    else if (text == "false" || text == "0") v = false;
    else return false;
    return true;
}
bool Parse(const std::string& text, std::string& v)
{
    v = text;
    return true;
}

template <class Class>
bool IsA(const TSprite* sprite)
{
    return dynamic_cast<const Class*>(sprite) != nullptr;
}

// A Create for a constructor taking (parent, Args...).
template <class Class, class... Args>
TSprite* Make(TSprite* parent, const std::vector<std::string>& args, std::string& error)
{
    if (args.size() != sizeof...(Args)) {
        error = "wrong number of arguments";
        return nullptr;
    }
    std::tuple<Args...> values;
    size_t i = 0;
    bool ok = true;
    std::apply([&](auto&... v) { ((ok = ok && Parse(args[i], v), ++i), ...); }, values);
    if (!ok) {
        error = "bad argument";
        return nullptr;
    }
    return std::apply([parent](auto&... v) -> TSprite* { return new Class(parent, v...); }, values);
}

template <class Class>
const Class& As(const TSprite& sprite)
{
    return dynamic_cast<const Class&>(sprite);
}

void TerrorMembers(const TSprite& sprite, TMemberList& m)
{
    const auto& t = As<TTerror>(sprite);
    const TCoverRect& c = t.CoverRect;
    m.insert(m.end(), {{"HitPoints", Text(t.HitPoints)},
                       {"HitDamage", Text(t.HitDamage)},
                       {"AnimRate", Text(t.AnimRate)},
                       {"Points", Text(t.Points)},
                       {"EnemyKind", Text(t.EnemyKind)},
                       {"DepthScale", Text(t.DepthScale)},
                       {"RightBound", Text(t.RightBound)},
                       {"LeftBound", Text(t.LeftBound)},
                       {"Walking", Text(t.Walking)},
                       {"Fighting", Text(t.Fighting)},
                       {"Turning", Text(t.Turning)},
                       {"CanTurn", Text(t.CanTurn)},
                       {"InCover", Text(t.InCover)},
                       {"PhaseClock", Text(t.PhaseClock)},
                       {"Direction", Text(t.Direction)},
                       {"Armed", Text(t.Armed)},
                       {"CoverRect", Text(c.Left) + "," + Text(c.Top) + "," + Text(c.Bottom) + "," + Text(c.Width)},
                       {"CoverHits", Text(t.CoverHits)}});
}

void GlyphMembers(const TSprite& sprite, TMemberList& m)
{
    m.emplace_back("Scale", Text(As<TGlyph>(sprite).Scale));
}

void IscrMembers(const TSprite& sprite, TMemberList& m)
{
    const auto& e = As<TIscr>(sprite);
    m.emplace_back("LastPos", Text(int{e.LastPos}));
    m.emplace_back("DrawScale", Text(e.DrawScale));
}

void PlaneMembers(const TSprite& sprite, TMemberList& m)
{
    const auto& p = As<Plane>(sprite);
    m.emplace_back("FlyingRight", Text(p.FlyingRight));
    m.emplace_back("RocketDropped", Text(p.RocketDropped));
}

void RocketMembers(const TSprite& sprite, TMemberList& m)
{
    m.emplace_back("FlyingRight", Text(As<Roket_>(sprite).FlyingRight));
}

void FightMembers(const TSprite& sprite, TMemberList& m)
{
    m.emplace_back("LastPos", Text(As<TFight>(sprite).LastPos));
}

// A Create for a button's row: buttons take no arguments.
auto MakeButton(const TButton& button)
{
    return [create = button.Create](TSprite* parent, const std::vector<std::string>& args, std::string& error) {
        if (!args.empty()) {
            error = "wrong number of arguments";
            return static_cast<TSprite*>(nullptr);
        }
        return create(parent);
    };
}

#define ROW(Class, Base) {#Class, Base, IsA<Class>, "", nullptr, nullptr}
#define MAKE(Class, Base, Args, ...) {#Class, Base, IsA<Class>, Args, Make<Class __VA_OPT__(, ) __VA_ARGS__>, nullptr}

std::vector<TSpriteClass> AllClasses()
{
    std::vector<TSpriteClass> classes = {
        // The engine's classes.
        ROW(TSprite, ""),
        ROW(TImageSprite, "TSprite"),
        ROW(TBackgroundSprite, "TSprite"),
        // Buttons, indicators and panels; each button class from its row of the button table.
        ROW(TMenuGame, "TImageSprite"),
        ROW(TMenu, "TImageSprite"),
    };
    for (const TButton& button : ButtonTable())
        classes.push_back({button.Name, button.Base, button.IsA, "", MakeButton(button), nullptr});
    classes.insert(classes.end(), {
        // The name-entry panel (it opens itself).
        MAKE(TEnter_Name, "TImageSprite", ""),
        // Crosshairs, weapon and flash.
        MAKE(Pricel, "TImageSprite", ""),
        MAKE(Pricel_prosto, "TImageSprite", ""),
        MAKE(TPlayerSprite, "TImageSprite", ""),
        MAKE(TSplash, "TImageSprite", ""),
        // Scenery and enemies.
        MAKE(TMestnost, "TImageSprite", "IMAGE X Y Z", std::string, int, int, int),
        {"TTerror", "TImageSprite", IsA<TTerror>, "", nullptr, TerrorMembers},
        MAKE(TTerror1, "TTerror", "KIND SCALE X Y Z", int, double, double, double, int),
        MAKE(TTerror2, "TTerror", "KIND SCALE X Y Z", int, double, double, double, int),
        MAKE(TTerror_Vert, "TTerror", "KIND SCALE X Y Z", int, double, double, double, int),
        // Effects.
        {"TIscr", "TImageSprite", IsA<TIscr>, "", nullptr, IscrMembers},
        MAKE(TPopal, "TIscr", "X Y", int, int),
        MAKE(TGotov, "TIscr", "X Y", double, double),
        MAKE(TBonus_Dead, "TIscr", "X Y Z", double, double, int),
        MAKE(TTerror_Dead, "TIscr", "KIND SCALE X Y Z", int, double, double, double, int),
        // Bonuses.
        ROW(TBonus, "TImageSprite"),
        MAKE(Bomb, "TBonus", "X Y Z", double, double, int),
        MAKE(Med, "TBonus", "X Y Z", double, double, int),
        MAKE(Life, "TBonus", "X Y Z", double, double, int),
        MAKE(Dollar, "TBonus", "X Y Z", double, double, int),
        MAKE(Cherep, "TBonus", "X Y Z", double, double, int),
        MAKE(Artobstrel, "TBonus", "X Y Z", double, double, int),
        MAKE(Ocher, "TBonus", "X Y Z", double, double, int),
        // The artillery strike.
        {"Plane", "TImageSprite", IsA<Plane>, "Y", Make<Plane, double>, PlaneMembers},
        {"Roket_", "TImageSprite", IsA<Roket_>, "X Y RIGHT", Make<Roket_, double, double, bool>, RocketMembers},
        // The level intro.
        ROW(TBegin, "TImageSprite"),
        MAKE(Word_Level_begin, "TBegin", ""),
        {"TFight", "TBegin", IsA<TFight>, "", Make<TFight>, FightMembers},
        // Sprite text and the HUD.
        {"TGlyph", "TImageSprite", IsA<TGlyph>, "", nullptr, GlyphMembers},
        MAKE(Cifra, "TGlyph", "NAME SCALE X Y", std::string, double, double, double),
        MAKE(Bukva, "TGlyph", "TEXT SCALE X Y", std::string, double, double, double),
        MAKE(Cifra_Lifes, "TImageSprite", "SUFFIX", std::string),
        MAKE(Cifra_Health, "TImageSprite", "SUFFIX X Y", std::string, double, double),
        MAKE(Cifra_prefix, "TImageSprite", ""),
        MAKE(Patrontag, "TImageSprite", ""),
        MAKE(Level, "TImageSprite", "X Y", double, double),
    });
    return classes;
}

const std::vector<TSpriteClass> kClasses = AllClasses();

#undef ROW
#undef MAKE

} // namespace

const std::vector<TSpriteClass>& SpriteClasses()
{
    return kClasses;
}

const TSpriteClass* FindSpriteClass(const std::string& name)
{
    for (const TSpriteClass& c : kClasses)
        if (name == c.Name) return &c;
    return nullptr;
}

TSprite* CreateSprite(const std::string& className, const std::vector<std::string>& args, TSprite* parent,
                      std::string& error)
{
    const TSpriteClass* c = FindSpriteClass(className);
    if (c == nullptr || c->Create == nullptr) {
        error = "no class \"" + className + "\" to spawn";
        return nullptr;
    }
    TSprite* sprite = c->Create(parent, args, error);
    if (sprite == nullptr) {
        const std::string usage = *c->Arguments != '\0' ? std::string(" ") + c->Arguments : "";
        error = "usage: spawn " + className + usage + " (" + error + ")";
    }
    return sprite;
}

TMemberList InspectSprite(const TSprite& sprite)
{
    TMemberList members;
    const auto* image = dynamic_cast<const TImageSprite*>(&sprite);
    const auto* background = dynamic_cast<const TBackgroundSprite*>(&sprite);
    const TPictureCollectionItem* picture = image != nullptr ? image->Image : background != nullptr ? background->Image : nullptr;
    members.insert(members.end(), {{"X", Text(sprite.X)},
                                   {"Y", Text(sprite.Y)},
                                   {"Z", Text(sprite.Z())},
                                   {"Width", Text(sprite.Width)},
                                   {"Height", Text(sprite.Height)},
                                   {"Image", picture != nullptr ? picture->Name() : "-"}});
    if (image != nullptr)
        members.insert(members.end(), {{"AnimStart", Text(image->AnimStart)},
                                       {"AnimCount", Text(image->AnimCount)},
                                       {"AnimPos", Text(image->AnimPos)},
                                       {"AnimSpeed", Text(image->AnimSpeed)},
                                       {"AnimLooped", Text(image->AnimLooped)},
                                       {"PixelCheck", Text(image->PixelCheck)}});
    members.insert(members.end(), {{"Visible", Text(sprite.Visible)}, {"Dead", Text(sprite.MarkedDead())}});

    // The class's own members, base first: walk up from the sprite's class.
    std::vector<const TSpriteClass*> chain;
    for (const TSpriteClass* c = FindSpriteClass(sprite.ClassName()); c != nullptr; c = FindSpriteClass(c->Base))
        chain.push_back(c);
    for (auto it = chain.rbegin(); it != chain.rend(); ++it)
        if ((*it)->Members != nullptr) (*it)->Members(sprite, members);
    return members;
}
