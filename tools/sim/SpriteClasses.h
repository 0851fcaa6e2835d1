// The sprite classes the simulator knows by name: to create them with
// `spawn` and to pick them out with `sprites CLASS`.
#pragma once

#include <string>
#include <vector>

class TSprite;

// Creates a sprite of the class on parent; false when the class is unknown
// or the arguments don't fit its constructor (reason in error).
bool SpawnSprite(const std::string& className, const std::vector<std::string>& args, TSprite* parent,
                 std::string& error);
// Whether sprite is of the class or descends from it; false for unknown classes.
bool SpriteIsA(TSprite* sprite, const std::string& className, bool& known);
