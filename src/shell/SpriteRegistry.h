// SPDX-License-Identifier: GPL-3.0-or-later
// Every sprite class of the game by its name: its class test, how to make
// one from text arguments (the constructor's, the parent left out), and its
// own members for inspection. The simulator and the tests go through it.
#pragma once

#include <functional>
#include <string>
#include <utility>
#include <vector>

class TSprite;

using TMemberList = std::vector<std::pair<std::string, std::string>>;

struct TSpriteClass {
    const char* Name;
    // The registered class it derives from ("" for the engine's base).
    const char* Base;
    bool (*IsA)(const TSprite* sprite);
    // The constructor's arguments after the parent ("" for none); no
    // Create for classes that are not made by name.
    const char* Arguments;
    std::function<TSprite*(TSprite* parent, const std::vector<std::string>& args, std::string& error)> Create;
    // This class's own members (not its base's); may be null.
    void (*Members)(const TSprite& sprite, TMemberList& members);
};

const std::vector<TSpriteClass>& SpriteClasses();
// nullptr for an unknown name.
const TSpriteClass* FindSpriteClass(const std::string& name);
// Makes a sprite of the class on parent; nullptr with a reason for an
// unknown class or arguments that don't fit.
TSprite* CreateSprite(const std::string& className, const std::vector<std::string>& args, TSprite* parent,
                      std::string& error);
// Every member of the sprite, name and text: the engine's first, then each
// class's own from the base down.
TMemberList InspectSprite(const TSprite& sprite);
// Doubles as the shortest text that reads back the same.
std::string FormatNumber(double value);
