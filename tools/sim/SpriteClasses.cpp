// Class table for the simulator: factories and class tests by name.
#include "SpriteClasses.h"

#include "BackgroundSprite.h"
#include "Buttons.h"
#include "Pricel.h"

#include <functional>
#include <map>

namespace {

struct TClassInfo {
    // Empty for abstract or engine classes that are not spawned by name.
    std::function<void(TSprite*)> Create;
    std::function<bool(TSprite*)> IsA;
};

template <class Class>
TClassInfo Spawnable()
{
    return {[](TSprite* parent) { new Class(parent); }, [](TSprite* s) { return dynamic_cast<Class*>(s) != nullptr; }};
}

template <class Class>
TClassInfo TestOnly()
{
    return {{}, [](TSprite* s) { return dynamic_cast<Class*>(s) != nullptr; }};
}

const std::map<std::string, TClassInfo>& Classes()
{
    static const std::map<std::string, TClassInfo> classes = {
        {"TSprite", TestOnly<TSprite>()},
        {"TImageSprite", TestOnly<TImageSprite>()},
        {"TBackgroundSprite", TestOnly<TBackgroundSprite>()},
        {"TMenuGame", TestOnly<TMenuGame>()},
        {"TMenu", TestOnly<TMenu>()},
        {"Pricel", Spawnable<Pricel>()},
        {"Start_Game", Spawnable<Start_Game>()},
        {"Help", Spawnable<Help>()},
        {"Options", Spawnable<Options>()},
        {"High_Score", Spawnable<High_Score>()},
        {"Visit_Web_Site", Spawnable<Visit_Web_Site>()},
        {"Exit_", Spawnable<Exit_>()},
        {"HelpGame_Up", Spawnable<HelpGame_Up>()},
        {"HelpGame_Back", Spawnable<HelpGame_Back>()},
        {"HelpGame_Down", Spawnable<HelpGame_Down>()},
        {"Options_Back", Spawnable<Options_Back>()},
        {"Options_window_mode", Spawnable<Options_window_mode>()},
        {"Options_full_screen", Spawnable<Options_full_screen>()},
        {"Options_music_on", Spawnable<Options_music_on>()},
        {"Options_music_off", Spawnable<Options_music_off>()},
        {"Options_sound_on", Spawnable<Options_sound_on>()},
        {"Options_sound_off", Spawnable<Options_sound_off>()},
        {"HighScore_Clear", Spawnable<HighScore_Clear>()},
        {"HighScore_Back", Spawnable<HighScore_Back>()},
        {"HighScore_View", Spawnable<HighScore_View>()},
        {"TClearHighScore", Spawnable<TClearHighScore>()},
        {"TClearHighScore_Yes", Spawnable<TClearHighScore_Yes>()},
        {"TClearHighScore_No", Spawnable<TClearHighScore_No>()},
        {"ExitGame_Yes", Spawnable<ExitGame_Yes>()},
        {"ExitGame_No", Spawnable<ExitGame_No>()},
        {"TPauseWord", Spawnable<TPauseWord>()},
        {"TMainExit", Spawnable<TMainExit>()},
        {"TMainExit_Yes", Spawnable<TMainExit_Yes>()},
        {"TMainExit_No", Spawnable<TMainExit_No>()},
        {"TEnter_Name_Send", Spawnable<TEnter_Name_Send>()},
    };
    return classes;
}

} // namespace

bool SpawnSprite(const std::string& className, const std::vector<std::string>& args, TSprite* parent,
                 std::string& error)
{
    const auto it = Classes().find(className);
    if (it == Classes().end() || !it->second.Create) {
        error = "no class \"" + className + "\" to spawn";
        return false;
    }
    if (!args.empty()) {
        error = className + " takes no arguments besides its parent";
        return false;
    }
    it->second.Create(parent);
    return true;
}

bool SpriteIsA(TSprite* sprite, const std::string& className, bool& known)
{
    const auto it = Classes().find(className);
    known = it != Classes().end();
    return known && it->second.IsA(sprite);
}
