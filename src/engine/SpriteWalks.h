// SPDX-License-Identifier: GPL-3.0-or-later
// Typed walks over a sprite's children, in attachment order; a class test
// includes descendants. The game finds and removes its sprites this way.
#pragma once

#include "Sprite.h"

#include <type_traits>
#include <typeinfo>
#include <vector>

namespace SpriteWalks {

// The class test of the walks. A failing dynamic_cast compares type names
// all the way up the hierarchy, and the walks run over every child several
// times a frame; the answer depends only on the sprite's own class, so it is
// worked out once per class and remembered.
template <class Class>
Class* AsClass(TSprite* sprite)
{
    if constexpr (!std::is_base_of_v<TSprite, Class>) {
        return dynamic_cast<Class*>(sprite);
    } else {
        struct TKnown {
            const std::type_info* Type;
            bool IsA;
        };
        static std::vector<TKnown> known;
        const std::type_info* type = &typeid(*sprite);
        for (const TKnown& k : known)
            if (k.Type == type) return k.IsA ? static_cast<Class*>(sprite) : nullptr;
        Class* result = dynamic_cast<Class*>(sprite);
        known.push_back({type, result != nullptr});
        return result;
    }
}

} // namespace SpriteWalks

// Calls f(Class&) for every child of parent that is a Class.
template <class Class, class F>
void ForEachChild(const TSprite& parent, F&& f)
{
    // Children attached by f wait for the next walk, as in the move pass.
    const int count = parent.Count();
    for (int i = 0; i < count && i < parent.Count(); ++i)
        if (auto* sprite = SpriteWalks::AsClass<Class>(parent.Items(i))) f(*sprite);
}

// The first child that is a Class, or nullptr.
template <class Class>
Class* FirstChild(const TSprite& parent)
{
    for (int i = 0; i < parent.Count(); ++i)
        if (auto* sprite = SpriteWalks::AsClass<Class>(parent.Items(i))) return sprite;
    return nullptr;
}

// How many children are a Class and pass the test.
template <class Class, class Test>
int CountChildren(const TSprite& parent, Test&& test)
{
    int count = 0;
    ForEachChild<Class>(parent, [&](Class& sprite) {
        if (test(sprite)) ++count;
    });
    return count;
}

template <class Class>
int CountChildren(const TSprite& parent)
{
    return CountChildren<Class>(parent, [](const Class&) { return true; });
}

// Marks every child that is a Class dead; the next dead pass frees them.
template <class Class>
void KillAll(const TSprite& parent)
{
    ForEachChild<Class>(parent, [](Class& sprite) { sprite.Dead(); });
}
