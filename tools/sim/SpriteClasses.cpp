// The simulator's view of the game's class registry.
#include "SpriteClasses.h"

#include "SpriteRegistry.h"

bool SpawnSprite(const std::string& className, const std::vector<std::string>& args, TSprite* parent,
                 std::string& error)
{
    return CreateSprite(className, args, parent, error) != nullptr;
}

bool SpriteIsA(TSprite* sprite, const std::string& className, bool& known)
{
    const TSpriteClass* c = FindSpriteClass(className);
    known = c != nullptr;
    return known && c->IsA(sprite);
}
