// SPDX-License-Identifier: GPL-3.0-or-later
// The simulator's command table, and the functions behind its rows.
#include "Commands.h"

#include "BackgroundSprite.h"
#include "GameValues.h"
#include "HeadlessPlatform.h"
#include "ImageSprite.h"
#include "PngFile.h"
#include "ReplayCheck.h"
#include "ReplayError.h"
#include "Simulator.h"
#include "SpriteRegistry.h"
#include "Unit1.h"

#include <charconv>
#include <cmath>
#include <ostream>

TResult TCall::Bad(std::string why) const
{
    Problem = std::move(why);
    return TResult::BadCommand;
}

TResult TCall::Usage() const
{
    return Bad(std::string("usage: ") + Command.Usage);
}

namespace {

using TKind = TInputEvent::TKind;

template <class T>
bool ParseNumber(const std::string& text, T& value)
{
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    return ec == std::errc() && end == text.data() + text.size();
}

bool ParseButton(const std::string& name, TMouseButton& button)
{
    if (name == "left") button = TMouseButton::Left;
    else if (name == "right") button = TMouseButton::Right;
    else if (name == "middle") button = TMouseButton::Middle;
    else return false;
    return true;
}

// Key names: Esc, Enter, Backspace, Space, A to Z, 0 to 9.
bool ParseKey(const std::string& name, int& key)
{
    if (name == "Esc") key = VirtualKey::Escape;
    else if (name == "Enter") key = VirtualKey::Enter;
    else if (name == "Backspace") key = VirtualKey::Backspace;
    else if (name == "Space") key = VirtualKey::Space;
    else if (name.size() == 1 && ((name[0] >= 'A' && name[0] <= 'Z') || (name[0] >= '0' && name[0] <= '9'))) key = name[0];
    else return false;
    return true;
}

bool ParseMode(const std::string& text, TDisplayMode& mode)
{
    const auto x1 = text.find('x');
    const auto x2 = text.find('x', x1 == std::string::npos ? x1 : x1 + 1);
    if (x1 == std::string::npos || x2 == std::string::npos) return false;
    return ParseNumber(text.substr(0, x1), mode.Width) && ParseNumber(text.substr(x1 + 1, x2 - x1 - 1), mode.Height) &&
           ParseNumber(text.substr(x2 + 1), mode.BitCount);
}

// The words from `from` on, one space between each.
std::string JoinWords(const std::vector<std::string>& words, size_t from)
{
    std::string text;
    for (size_t i = from; i < words.size(); ++i) text += (i > from ? " " : "") + words[i];
    return text;
}

TSpriteEngine& Root(TCall& c)
{
    return c.Sim.Form().SpriteEngine.Engine();
}

THeadlessVideo& Video(TCall& c)
{
    return c.Sim.Platform().Video();
}

TResult Send(TCall& c, const TInputEvent& event)
{
    c.Sim.Send(event);
    return TResult::Ok;
}

TResult Send(TCall& c, TKind kind)
{
    TInputEvent event;
    event.Kind = kind;
    return Send(c, event);
}

// ------------------------------------------------------------------ the program and its values

TResult Start(TCall& c)
{
    uint32_t at = 0;
    if (c.Args.size() == 1 && !ParseNumber(c.Args[0], at)) return c.Usage();
    c.Sim.Start(at, c.Out);
    return TResult::Ok;
}

TResult Print(TCall& c)
{
    for (const std::string& name : c.Args) {
        std::string text;
        if (!c.Sim.Print(name, text)) return c.Bad("unknown value \"" + name + "\"");
        c.Out << name << '=' << text << '\n';
    }
    return TResult::Ok;
}

TResult Expect(TCall& c)
{
    const std::string& name = c.Args[0];
    const std::string expected = JoinWords(c.Args, 1);
    std::string text;
    if (!c.Sim.Print(name, text)) return c.Bad("unknown value \"" + name + "\"");
    if (text != expected) {
        c.Problem = "expected " + name + "=" + expected + ", found " + name + "=" + text;
        return TResult::ExpectFailed;
    }
    return TResult::Ok;
}

TResult Set(TCall& c)
{
    std::string error;
    if (!SetGameValue(c.Sim.Form(), c.Args[0], c.Args[1], error)) return c.Bad(error);
    return TResult::Ok;
}

TResult Modes(TCall& c)
{
    std::vector<TDisplayMode> modes;
    for (const std::string& word : c.Args) {
        TDisplayMode mode;
        if (!ParseMode(word, mode)) return c.Bad("bad mode \"" + word + "\" (WxHxB)");
        modes.push_back(mode);
    }
    Video(c).SetFullScreenModes(modes);
    return TResult::Ok;
}

TResult Sounds(TCall& c)
{
    for (const std::string& event : c.Sim.Platform().SoundLog().Take()) c.Out << event << '\n';
    return TResult::Ok;
}

// Beyond the script language's core: moves the playing module to an order
// position, to exercise the music continuation.
TResult Order(TCall& c)
{
    int32_t order = 0;
    if (!ParseNumber(c.Args[0], order)) return c.Usage();
    c.Sim.Platform().Music().SetOrder(order);
    return TResult::Ok;
}

// The next reply of the scripted HTTP client: "ok BODY...", "fail" or
// "hang" (the request waits out its time-out, then fails); or "real": from
// now on the game's requests go out through the real client, to a real
// server.
TResult Http(TCall& c)
{
    THeadlessHttp::TReply reply;
    const std::string& kind = c.Args[0];
    if (kind == "real" && c.Args.size() == 1) {
        c.Sim.Platform().UseHttpClient(&c.Sim.RealHttp());
        return TResult::Ok;
    }
    if (kind == "ok") {
        reply.Kind = THeadlessHttp::TReply::TKind::Ok;
        reply.Body = JoinWords(c.Args, 1);
    } else if (kind == "fail" && c.Args.size() == 1) {
        reply.Kind = THeadlessHttp::TReply::TKind::Fail;
    } else if (kind == "hang" && c.Args.size() == 1) {
        reply.Kind = THeadlessHttp::TReply::TKind::Hang;
    } else {
        return c.Usage();
    }
    c.Sim.Platform().ScriptedHttp().QueueReply(std::move(reply));
    return TResult::Ok;
}

// The requests since the last call: the method and the address with its
// query, then one "NAME: VALUE" line per header, then a POST's body size.
TResult Requests(TCall& c)
{
    for (const THttpRequest& request : c.Sim.Platform().ScriptedHttp().Take()) {
        c.Out << request.Method << ' ' << request.Url << '\n';
        for (const auto& [name, value] : request.Headers) c.Out << name << ": " << value << '\n';
        if (request.Method != "GET") c.Out << "body: " << request.Body.size() << " bytes\n";
    }
    return TResult::Ok;
}

TResult Screenshot(TCall& c)
{
    const THeadlessVideo& video = Video(c);
    if (video.PresentCount() == 0) return c.Bad("no frame has been presented yet");
    TRgbaImage image{video.FrameWidth(), video.FrameHeight(), {}};
    for (uint32_t rgb : video.LastFrame()) image.Pixels.push_back(0xFF000000u | rgb);
    WritePng(c.Args[0], image);
    return TResult::Ok;
}

// ------------------------------------------------------------------ replays

// The next game, from its start to its end, goes to FILE.
TResult Record(TCall& c)
{
    c.Sim.Form().RecordTo = TMainForm::TRecordTo::OneFile;
    c.Sim.Form().RecordFile = c.Args[0];
    return TResult::Ok;
}

// Plays a replay from the menu, as fast as it goes, and says what came of
// it; the game stays where the replay left it, its clock at the replay's end.
TResult Replay(TCall& c)
{
    TReplay replay;
    try {
        replay = ReadReplayFile(c.Args[0]);
    } catch (const EReplayError& e) {
        return c.Bad(e.what());
    }
    uint32_t last = replay.Header.StartClock;
    TMainForm& form = c.Sim.Form();
    const TReplayVerdict verdict = CheckReplay(form, replay, [&form, &last] { last = form.GameClock.Now(); });
    c.Sim.Platform().Clock().SetNow(last);
    c.Out << verdict.Line() << '\n';
    return TResult::Ok;
}

// ------------------------------------------------------------------ sprites

// One line per sprite on the root, or per sprite of a class and those
// derived from it.
TResult Sprites(TCall& c)
{
    const TSpriteClass* only = nullptr;
    if (!c.Args.empty()) {
        only = FindSpriteClass(c.Args[0]);
        if (only == nullptr) return c.Bad("unknown class \"" + c.Args[0] + "\"");
    }
    TSpriteEngine& root = Root(c);
    for (int i = 0; i < root.Count(); ++i) {
        TSprite* sprite = root.Items(i);
        if (only != nullptr && !only->IsA(sprite)) continue;
        std::string image = "-", pattern = "-";
        if (auto* imageSprite = dynamic_cast<TImageSprite*>(sprite)) {
            if (imageSprite->Image != nullptr) image = imageSprite->Image->Name();
            pattern = std::to_string(imageSprite->AnimStart + static_cast<int>(std::trunc(imageSprite->AnimPos)));
        } else if (auto* background = dynamic_cast<TBackgroundSprite*>(sprite)) {
            if (background->Image != nullptr) image = background->Image->Name();
        }
        c.Out << i << ' ' << sprite->ClassName() << ' ' << image << ' ' << pattern << ' ' << FormatNumber(sprite->X)
              << ' ' << FormatNumber(sprite->Y) << ' ' << sprite->Z() << ' ' << sprite->Width << ' ' << sprite->Height
              << ' ' << (sprite->Visible ? "true" : "false") << ' ' << (sprite->MarkedDead() ? "true" : "false")
              << '\n';
    }
    return TResult::Ok;
}

TResult Inspect(TCall& c)
{
    int index = 0;
    if (!ParseNumber(c.Args[0], index)) return c.Usage();
    TSpriteEngine& root = Root(c);
    if (index < 0 || index >= root.Count()) return c.Bad("no sprite at index " + c.Args[0]);
    for (const auto& [name, value] : InspectSprite(*root.Items(index))) c.Out << name << '=' << value << '\n';
    return TResult::Ok;
}

TResult Spawn(TCall& c)
{
    std::string error;
    const std::vector<std::string> args(c.Args.begin() + 1, c.Args.end());
    if (!CreateSprite(c.Args[0], args, &Root(c), error)) return c.Bad(error);
    return TResult::Ok;
}

// ------------------------------------------------------------------ time

TResult Wait(TCall& c)
{
    uint32_t ms = 0;
    if (!ParseNumber(c.Args[0], ms)) return c.Usage();
    c.Sim.Advance(ms);
    return TResult::Ok;
}

TResult Frames(TCall& c)
{
    uint64_t n = 0;
    if (!ParseNumber(c.Args[0], n)) return c.Usage();
    return c.Sim.RunFrames(n, c.Problem) ? TResult::Ok : TResult::BadCommand;
}

// ------------------------------------------------------------------ pointer and keys

TResult Move(TCall& c)
{
    TInputEvent event;
    event.Kind = TKind::MouseMove;
    if (!ParseNumber(c.Args[0], event.X) || !ParseNumber(c.Args[1], event.Y)) return c.Usage();
    return Send(c, event);
}

TResult Button(TCall& c, bool down, bool up)
{
    TInputEvent event;
    if (!ParseButton(c.Args[0], event.Button) || !ParseNumber(c.Args[1], event.X) || !ParseNumber(c.Args[2], event.Y))
        return c.Usage();
    if (down) {
        event.Kind = TKind::MouseDown;
        c.Sim.Send(event);
    }
    // A press that ends the program has no release.
    if (up && !c.Sim.Ended()) {
        event.Kind = TKind::MouseUp;
        c.Sim.Send(event);
    }
    return TResult::Ok;
}

TResult Press(TCall& c)
{
    return Button(c, true, false);
}

TResult Release(TCall& c)
{
    return Button(c, false, true);
}

TResult Click(TCall& c)
{
    return Button(c, true, true);
}

TResult Key(TCall& c)
{
    TInputEvent event;
    event.Kind = TKind::KeyDown;
    if (!ParseKey(c.Args[0], event.Key) || (c.Args.size() == 2 && c.Args[1] != "alt")) return c.Usage();
    event.Alt = c.Args.size() == 2;
    return Send(c, event);
}

TResult Type(TCall& c)
{
    for (char ch : JoinWords(c.Args, 0)) {
        TInputEvent event;
        event.Kind = TKind::KeyDown;
        if (ch == ' ') event.Key = VirtualKey::Space;
        else if (ch >= 'a' && ch <= 'z') event.Key = ch - 'a' + 'A';
        else if ((ch >= 'A' && ch <= 'Z') || (ch >= '0' && ch <= '9')) event.Key = ch;
        else return c.Bad(std::string("no key types \"") + ch + "\"");
        if (c.Sim.Ended()) return c.Bad("the program has ended");
        c.Sim.Send(event);
    }
    return TResult::Ok;
}

// ------------------------------------------------------------------ the window

TResult Activate(TCall& c)
{
    Video(c).SetActive(true);
    return Send(c, TKind::Activate);
}

TResult Deactivate(TCall& c)
{
    Video(c).SetActive(false);
    return Send(c, TKind::Deactivate);
}

// A minimised window also loses activation, and a restored one regains it.
TResult Minimize(TCall& c)
{
    Video(c).SetWindowState(TWindowState::Minimized);
    Send(c, TKind::Minimized);
    return c.Sim.Ended() ? TResult::Ok : Deactivate(c);
}

TResult Restore(TCall& c)
{
    Video(c).SetWindowState(TWindowState::Normal);
    Send(c, TKind::Restored);
    return c.Sim.Ended() ? TResult::Ok : Activate(c);
}

TResult Maximize(TCall& c)
{
    Video(c).SetWindowState(TWindowState::Maximized);
    return Send(c, TKind::Maximized);
}

TResult Close(TCall& c)
{
    return Send(c, TKind::Close);
}

using enum TNeeds;
constexpr size_t kAny = kAnyCount;

const TCommand kCommands[] = {
    // name          usage                               needs       args      run
    {"start",        "start [MS]",                       NotStarted, 0, 1,     Start},
    {"print",        "print NAME...",                    Nothing,    1, kAny,  Print},
    {"expect",       "expect NAME VALUE",                Nothing,    1, kAny,  Expect},
    {"modes",        "modes WxHxB...",                   Nothing,    0, kAny,  Modes},
    {"sounds",       "sounds",                           Nothing,    0, 0,     Sounds},
    {"order",        "order N",                          Nothing,    1, 1,     Order},
    {"http",         "http ok BODY|fail|hang|real",      Nothing,    1, kAny,  Http},
    {"requests",     "requests",                         Nothing,    0, 0,     Requests},
    {"sprites",      "sprites [CLASS]",                  Started,    0, 1,     Sprites},
    {"inspect",      "inspect INDEX",                    Started,    1, 1,     Inspect},
    {"screenshot",   "screenshot FILE",                  Started,    1, 1,     Screenshot},
    {"set",          "set NAME VALUE",                   Started,    2, 2,     Set},
    {"wait",         "wait MS",                          Running,    1, 1,     Wait},
    {"frames",       "frames N",                         Running,    1, 1,     Frames},
    {"move",         "move X Y",                         Running,    2, 2,     Move},
    {"press",        "press left|right|middle X Y",      Running,    3, 3,     Press},
    {"release",      "release left|right|middle X Y",    Running,    3, 3,     Release},
    {"click",        "click left|right|middle X Y",      Running,    3, 3,     Click},
    {"key",          "key NAME [alt]",                   Running,    1, 2,     Key},
    {"type",         "type TEXT",                        Running,    1, kAny,  Type},
    {"activate",     "activate",                         Running,    0, 0,     Activate},
    {"deactivate",   "deactivate",                       Running,    0, 0,     Deactivate},
    {"minimize",     "minimize",                         Running,    0, 0,     Minimize},
    {"restore",      "restore",                          Running,    0, 0,     Restore},
    {"maximize",     "maximize",                         Running,    0, 0,     Maximize},
    {"close",        "close",                            Running,    0, 0,     Close},
    {"spawn",        "spawn CLASS ARGS...",              Running,    1, kAny,  Spawn},
    {"record",       "record FILE",                      Started,    1, 1,     Record},
    {"replay",       "replay FILE",                      Running,    1, 1,     Replay},
};

} // namespace

const TCommand* FindCommand(const std::string& name)
{
    for (const TCommand& command : kCommands)
        if (name == command.Name) return &command;
    return nullptr;
}

TResult RunCommand(TCall& call)
{
    const TCommand& command = call.Command;
    TSimulator& sim = call.Sim;
    if (command.Needs == NotStarted && sim.Started()) return call.Bad("the program was started already");
    if ((command.Needs == Started || command.Needs == Running) && !sim.Started())
        return call.Bad("the program has not been started");
    if (command.Needs == Running && sim.Ended()) return call.Bad("the program has ended");
    if (call.Args.size() < command.MinArgs || call.Args.size() > command.MaxArgs) return call.Usage();
    return command.Run(call);
}
