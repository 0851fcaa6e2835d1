// Typed walks over a sprite's children, in attachment order; a class test
// includes descendants. The game finds and removes its sprites this way.
#pragma once

#include "Sprite.h"

// Calls f(Class&) for every child of parent that is a Class.
template <class Class, class F>
void ForEachChild(const TSprite& parent, F&& f)
{
    // Children attached by f wait for the next walk, as in the move pass.
    const int count = parent.Count();
    for (int i = 0; i < count && i < parent.Count(); ++i)
        if (auto* sprite = dynamic_cast<Class*>(parent.Items(i))) f(*sprite);
}

// The first child that is a Class, or nullptr.
template <class Class>
Class* FirstChild(const TSprite& parent)
{
    for (int i = 0; i < parent.Count(); ++i)
        if (auto* sprite = dynamic_cast<Class*>(parent.Items(i))) return sprite;
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
