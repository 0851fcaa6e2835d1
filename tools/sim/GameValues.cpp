// SPDX-License-Identifier: GPL-3.0-or-later
// Name tables over the main form's fields and flags.
#include "GameValues.h"

#include "SpriteRegistry.h"
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

// A field reached through an accessor, so that values inside the form's
// structs are named as plainly as its own fields.
template <class Get>
TField IntField(Get get)
{
    return {[get](TMainForm& f) { return std::to_string(get(f)); },
            [get](TMainForm& f, const std::string& t) { return ParseInt(t, get(f)); }};
}

template <class Get>
TField BoolField(Get get)
{
    return {[get](TMainForm& f) { return Bool(get(f)); },
            [get](TMainForm& f, const std::string& t) { return ParseBool(t, get(f)); }};
}

template <class Get>
TField DoubleField(Get get)
{
    return {[get](TMainForm& f) { return FormatNumber(get(f)); },
            [get](TMainForm& f, const std::string& t) {
                double v = 0;
                const auto [end, ec] = std::from_chars(t.data(), t.data() + t.size(), v);
                if (ec != std::errc() || end != t.data() + t.size()) return false;
                get(f) = v;
                return true;
            }};
}

template <class Get>
TField TextField(Get get)
{
    return {[get](TMainForm& f) { return get(f); },
            [get](TMainForm& f, const std::string& t) {
                get(f) = t;
                return true;
            }};
}

// "enabled/interval", as "1/5000"; set the same way.
TField TimerField(TMessageTimer TMainForm::*member)
{
    return {[member](TMainForm& f) {
                const TMessageTimer& t = f.*member;
                return std::string(t.Enabled() ? "1" : "0") + "/" + std::to_string(t.Interval());
            },
            [member](TMainForm& f, const std::string& t) {
                const auto slash = t.find('/');
                bool enabled = false;
                uint32_t interval = 0;
                if (slash == std::string::npos || !ParseBool(t.substr(0, slash), enabled) ||
                    !ParseInt(t.substr(slash + 1), interval))
                    return false;
                (f.*member).SetInterval(interval);
                (f.*member).SetEnabled(enabled);
                return true;
            }};
}

TField TimerEnabledField(TMessageTimer TMainForm::*member)
{
    return {[member](TMainForm& f) { return Bool((f.*member).Enabled()); },
            [member](TMainForm& f, const std::string& t) {
                bool enabled = false;
                if (!ParseBool(t, enabled)) return false;
                (f.*member).SetEnabled(enabled);
                return true;
            }};
}

TField TimerIntervalField(TMessageTimer TMainForm::*member)
{
    return {[member](TMainForm& f) { return std::to_string((f.*member).Interval()); },
            [member](TMainForm& f, const std::string& t) {
                uint32_t interval = 0;
                if (!ParseInt(t, interval)) return false;
                (f.*member).SetInterval(interval);
                return true;
            }};
}

#define FIELD(Kind, Name, Path) {#Name, Kind([](TMainForm& f) -> auto& { return f.Path; })}

const std::map<std::string, TField>& Fields()
{
    static const std::map<std::string, TField> fields = {
        FIELD(IntField, GameState, GameState),
        FIELD(IntField, LevelNo, LevelNo),
        FIELD(IntField, SceneNo, SceneNo),
        FIELD(IntField, Score, Score),
        FIELD(IntField, Lives, Lives),
        FIELD(IntField, Health, Health),
        FIELD(IntField, InfantryCount, InfantryCount),
        FIELD(IntField, VehicleCount, VehicleCount),
        FIELD(IntField, LevelCountdown, Progress.LevelCountdown),
        FIELD(BoolField, LevelIntro, Progress.LevelIntro),
        FIELD(BoolField, LevelWordArrived, Progress.LevelWordArrived),
        FIELD(IntField, InfantryLimit, Progress.InfantryLimit),
        FIELD(IntField, VehicleLimit, Progress.VehicleLimit),
        FIELD(DoubleField, SpawnChance, Progress.SpawnChance),
        FIELD(BoolField, CountdownBlink, Progress.CountdownBlink),
        FIELD(BoolField, GameOver, Progress.GameOver),
        FIELD(BoolField, PlayerHit, Progress.PlayerHit),
        FIELD(BoolField, SingleFire, Fire.SingleFire),
        FIELD(BoolField, ShotFired, Fire.ShotFired),
        FIELD(IntField, ShotPower, Fire.ShotPower),
        FIELD(BoolField, TriggerHeld, Input.TriggerHeld),
        FIELD(IntField, MouseX, Input.MouseX),
        FIELD(IntField, MouseY, Input.MouseY),
        FIELD(IntField, HelpPage, Menus.HelpPage),
        FIELD(BoolField, HoverArmed, Menus.HoverArmed),
        FIELD(BoolField, MenuMusicPending, Menus.MenuMusicPending),
        FIELD(BoolField, FocusLost, Activation.FocusLost),
        FIELD(BoolField, ResizeSeen, Activation.ResizeSeen),
        FIELD(BoolField, PausedBeforeFocusLoss, Activation.PausedBeforeFocusLoss),
        FIELD(BoolField, Timer1Pending, Activation.Timer1Pending),
        FIELD(BoolField, Timer2Pending, Activation.Timer2Pending),
        FIELD(BoolField, Timer3Pending, Activation.Timer3Pending),
        FIELD(BoolField, GamePause, GamePause),
        FIELD(BoolField, GameFullScreen, GameFullScreen),
        FIELD(BoolField, GameSound, GameSound),
        FIELD(BoolField, GameMusic, GameMusic),
        FIELD(BoolField, GameMainExit, GameMainExit),
        FIELD(BoolField, GameEnterName, GameEnterName),
        FIELD(BoolField, GameSendResult, GameSendResult),
        FIELD(BoolField, GamegoEdit, GamegoEdit),
        FIELD(BoolField, GameClearHighScore, GameClearHighScore),
        FIELD(TextField, Edit1, Edit1),
        FIELD(TextField, Edit2, Edit2),
        FIELD(TextField, AddText, AddText),
        FIELD(TextField, PlayerName, PlayerName),
        FIELD(IntField, SongHandle, Music.SongHandle),
        FIELD(IntField, LastSongOrder, Music.LastSongOrder),
        {"Timer1", TimerField(&TMainForm::Timer1)},
        {"Timer2", TimerField(&TMainForm::Timer2)},
        {"Timer3", TimerField(&TMainForm::Timer3)},
        {"TimerLevel", TimerField(&TMainForm::TimerLevel)},
        {"Timer1.Enabled", TimerEnabledField(&TMainForm::Timer1)},
        {"Timer2.Enabled", TimerEnabledField(&TMainForm::Timer2)},
        {"Timer3.Enabled", TimerEnabledField(&TMainForm::Timer3)},
        {"TimerLevel.Enabled", TimerEnabledField(&TMainForm::TimerLevel)},
        {"Timer1.Interval", TimerIntervalField(&TMainForm::Timer1)},
        {"Timer2.Interval", TimerIntervalField(&TMainForm::Timer2)},
        {"Timer3.Interval", TimerIntervalField(&TMainForm::Timer3)},
        {"TimerLevel.Interval", TimerIntervalField(&TMainForm::TimerLevel)},
        {"Caption", {[](TMainForm& f) { return f.Caption(); }, {}}},
        {"Music", {[](TMainForm& f) { return f.Music.SongTrack.empty() ? std::string("none") : "Music/" + f.Music.SongTrack + ".xm"; }, {}}},
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
        FIELD(BoolField, Exited, Terminated),
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
