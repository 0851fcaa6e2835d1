// Name tables over the main form's fields and flags.
#include "GameValues.h"

#include "Unit1.h"

#include <charconv>
#include <functional>
#include <map>

namespace {

std::string Bool(bool v)
{
    return v ? "true" : "false";
}

bool ParseBool(const std::string& text, bool& v)
{
    if (text == "true" || text == "1") {
        v = true;
        return true;
    }
    if (text == "false" || text == "0") {
        v = false;
        return true;
    }
    return false;
}

template <class T>
bool ParseInt(const std::string& text, T& v)
{
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
    return ec == std::errc() && end == text.data() + text.size();
}

struct TField {
    std::function<std::string(TMainForm&)> Get;
    // Empty for values that can only be read.
    std::function<bool(TMainForm&, const std::string&)> Set;
};

template <class T>
TField IntField(T TMainForm::*member)
{
    return {[member](TMainForm& f) { return std::to_string(f.*member); },
            [member](TMainForm& f, const std::string& t) { return ParseInt(t, f.*member); }};
}

TField BoolField(bool TMainForm::*member)
{
    return {[member](TMainForm& f) { return Bool(f.*member); },
            [member](TMainForm& f, const std::string& t) { return ParseBool(t, f.*member); }};
}

TField TextField(std::string TMainForm::*member)
{
    return {[member](TMainForm& f) { return f.*member; },
            [member](TMainForm& f, const std::string& t) {
                f.*member = t;
                return true;
            }};
}

TField TimerField(TMessageTimer TMainForm::*member)
{
    return {[member](TMainForm& f) {
                const TMessageTimer& t = f.*member;
                return std::string(t.Enabled() ? "1" : "0") + "/" + std::to_string(t.Interval());
            },
            {}};
}

const std::map<std::string, TField>& Fields()
{
    static const std::map<std::string, TField> fields = {
        {"GameState", IntField(&TMainForm::GameState)},
        {"LevelNo", IntField(&TMainForm::LevelNo)},
        {"SceneNo", IntField(&TMainForm::SceneNo)},
        {"Score", IntField(&TMainForm::Score)},
        {"Lives", IntField(&TMainForm::Lives)},
        {"Health", IntField(&TMainForm::Health)},
        {"LevelCountdown", IntField(&TMainForm::LevelCountdown)},
        {"LevelIntro", BoolField(&TMainForm::LevelIntro)},
        {"LevelWordArrived", BoolField(&TMainForm::LevelWordArrived)},
        {"GameOver", BoolField(&TMainForm::GameOver)},
        {"PlayerHit", BoolField(&TMainForm::PlayerHit)},
        {"SingleFire", BoolField(&TMainForm::SingleFire)},
        {"ShotFired", BoolField(&TMainForm::ShotFired)},
        {"TriggerHeld", BoolField(&TMainForm::TriggerHeld)},
        {"HelpPage", IntField(&TMainForm::HelpPage)},
        {"MouseX", IntField(&TMainForm::MouseX)},
        {"MouseY", IntField(&TMainForm::MouseY)},
        {"HoverArmed", BoolField(&TMainForm::HoverArmed)},
        {"MenuMusicPending", BoolField(&TMainForm::MenuMusicPending)},
        {"FocusLost", BoolField(&TMainForm::FocusLost)},
        {"ResizeSeen", BoolField(&TMainForm::ResizeSeen)},
        {"PausedBeforeFocusLoss", BoolField(&TMainForm::PausedBeforeFocusLoss)},
        {"Timer1Pending", BoolField(&TMainForm::Timer1Pending)},
        {"Timer2Pending", BoolField(&TMainForm::Timer2Pending)},
        {"Timer3Pending", BoolField(&TMainForm::Timer3Pending)},
        {"GamePause", BoolField(&TMainForm::GamePause)},
        {"GameFullScreen", BoolField(&TMainForm::GameFullScreen)},
        {"GameSound", BoolField(&TMainForm::GameSound)},
        {"GameMusic", BoolField(&TMainForm::GameMusic)},
        {"GameMainExit", BoolField(&TMainForm::GameMainExit)},
        {"GameEnterName", BoolField(&TMainForm::GameEnterName)},
        {"GameSendResult", BoolField(&TMainForm::GameSendResult)},
        {"GamegoEdit", BoolField(&TMainForm::GamegoEdit)},
        {"GameClearHighScore", BoolField(&TMainForm::GameClearHighScore)},
        {"Edit1", TextField(&TMainForm::Edit1)},
        {"Edit2", TextField(&TMainForm::Edit2)},
        {"AddText", TextField(&TMainForm::AddText)},
        {"PlayerName", TextField(&TMainForm::PlayerName)},
        {"SongHandle", IntField(&TMainForm::SongHandle)},
        {"LastSongOrder", IntField(&TMainForm::LastSongOrder)},
        {"Timer1", TimerField(&TMainForm::Timer1)},
        {"Timer2", TimerField(&TMainForm::Timer2)},
        {"Timer3", TimerField(&TMainForm::Timer3)},
        {"TimerLevel", TimerField(&TMainForm::TimerLevel)},
        {"Caption", {[](TMainForm& f) { return f.Caption(); }, {}}},
        {"Music", {[](TMainForm& f) { return f.SongTrack.empty() ? std::string("none") : "Music/" + f.SongTrack + ".xm"; }, {}}},
        {"FrameCount", {[](TMainForm& f) { return std::to_string(f.FrameCount); }, {}}},
        {"DrawCount", {[](TMainForm& f) { return std::to_string(f.SpriteEngine.Engine().DrawCount()); }, {}}},
        {"Display",
         {[](TMainForm& f) {
              if ((f.DXDraw.Options() & doFullScreen) == 0) return std::string("window");
              return std::to_string(f.DXDraw.Display.Width) + "x" + std::to_string(f.DXDraw.Display.Height) + "x" +
                     std::to_string(f.DXDraw.Display.BitCount());
          },
          {}}},
        {"HighScores",
         {[](TMainForm& f) {
              std::string text;
              for (const auto& entry : f.HighScores) {
                  if (!text.empty()) text += ',';
                  text += entry.Name + ":" + std::to_string(entry.Score);
              }
              return text;
          },
          {}}},
        {"Exited", BoolField(&TMainForm::Terminated)},
    };
    return fields;
}

} // namespace

bool PrintGameValue(TMainForm& form, const std::string& name, std::string& text)
{
    const auto it = Fields().find(name);
    if (it == Fields().end()) return false;
    text = it->second.Get(form);
    return true;
}

bool SetGameValue(TMainForm& form, const std::string& name, const std::string& text, std::string& error)
{
    const auto it = Fields().find(name);
    if (it == Fields().end()) {
        error = "unknown value \"" + name + "\"";
        return false;
    }
    if (!it->second.Set) {
        error = "\"" + name + "\" can only be read";
        return false;
    }
    if (!it->second.Set(form, text)) {
        error = "\"" + text + "\" is not a value for " + name;
        return false;
    }
    return true;
}
