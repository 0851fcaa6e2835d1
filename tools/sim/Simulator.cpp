// The simulator's commands.
#include "Simulator.h"

#include "BackgroundSprite.h"
#include "GameValues.h"
#include "ImageSprite.h"
#include "HeadlessPlatform.h"
#include "PngFile.h"
#include "SpriteClasses.h"
#include "SpriteRegistry.h"
#include "Unit1.h"

#include <charconv>
#include <cmath>
#include <istream>
#include <ostream>
#include <sstream>

namespace {

std::vector<std::string> SplitWords(const std::string& line)
{
    std::vector<std::string> words;
    std::istringstream in(line);
    std::string word;
    while (in >> word) words.push_back(word);
    return words;
}

template <class T>
bool ParseNumber(const std::string& text, T& value)
{
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    return ec == std::errc() && end == text.data() + text.size();
}

// Doubles as the shortest text that reads back the same.
std::string FormatDouble(double value)
{
    char text[64];
    const auto [end, ec] = std::to_chars(text, text + sizeof text, value);
    return ec == std::errc() ? std::string(text, end) : "nan";
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

} // namespace

TSimulator::TSimulator() : Platform_(std::make_unique<THeadlessPlatform>()) {}

TSimulator::~TSimulator()
{
    // The form goes before the platform it runs on.
    Form_.reset();
}

int TSimulator::Run(std::istream& script, std::ostream& out, std::ostream& err)
{
    std::string line;
    int number = 0;
    while (std::getline(script, line)) {
        ++number;
        const auto hash = line.find('#');
        const auto words = SplitWords(hash == std::string::npos ? line : line.substr(0, hash));
        if (words.empty()) continue;
        std::string problem;
        TResult result;
        try {
            result = Execute(words, out, problem);
        } catch (const std::exception& e) {
            // The game's own errors end the run the way they end the game.
            problem = e.what();
            result = TResult::BadCommand;
        }
        out.flush();
        if (result == TResult::ExpectFailed) {
            err << "line " << number << ": " << problem << '\n';
            return 1;
        }
        if (result == TResult::BadCommand) {
            err << "line " << number << ": " << problem << '\n';
            return 2;
        }
    }
    return 0;
}

bool TSimulator::RequireRunning(std::string& problem) const
{
    if (!Form_) {
        problem = "the program has not been started";
        return false;
    }
    if (Ended_) {
        problem = "the program has ended";
        return false;
    }
    return true;
}

void TSimulator::AfterInput()
{
    if (Form_ && Form_->Terminated && !Ended_) {
        Ended_ = true;
        Form_->AfterLoop();
    }
}

void TSimulator::Send(const TInputEvent& event)
{
    Form_->HandleEvent(event);
    AfterInput();
}

void TSimulator::Advance(uint32_t milliseconds)
{
    THeadlessClock& clock = Platform_->Clock();
    const uint32_t target = clock.Now() + milliseconds;
    // Every timer and frame runs at the very millisecond it falls due.
    for (int guard = 0; guard < 10'000'000 && !Ended_; ++guard) {
        const auto next = Form_->NextDeadline();
        const uint32_t left = target - clock.Now();
        if (!next) break;
        const int32_t ahead = static_cast<int32_t>(*next - clock.Now());
        const uint32_t step = ahead < 0 ? 0u : static_cast<uint32_t>(ahead);
        if (step > left) break;
        clock.SetNow(clock.Now() + step);
        Form_->RunDue();
        AfterInput();
    }
    if (!Ended_) clock.SetNow(target);
}

bool TSimulator::RunFrames(uint64_t count, std::string& problem)
{
    const uint64_t target = Form_->FrameCount + count;
    THeadlessClock& clock = Platform_->Clock();
    for (int guard = 0; guard < 10'000'000 && Form_->FrameCount < target && !Ended_; ++guard) {
        const auto next = Form_->NextDeadline();
        if (!next) {
            problem = "no frame will come: the frame clock is stopped";
            return false;
        }
        const int32_t ahead = static_cast<int32_t>(*next - clock.Now());
        if (ahead > 0) clock.SetNow(*next);
        Form_->RunDue();
        AfterInput();
    }
    return true;
}

bool TSimulator::Print(const std::string& name, std::string& text)
{
    if (!Form_) {
        if (name == "Exited") {
            text = "false";
            return true;
        }
        return false;
    }
    if (name == "Exited") {
        text = Ended_ ? "true" : "false";
        return true;
    }
    return PrintGameValue(*Form_, name, text);
}

void TSimulator::ListSprites(const std::string& className, std::ostream& out, std::string& problem)
{
    TSpriteEngine& root = Form_->SpriteEngine.Engine();
    for (int i = 0; i < root.Count(); ++i) {
        TSprite* sprite = root.Items(i);
        if (!className.empty()) {
            bool known = false;
            const bool isA = SpriteIsA(sprite, className, known);
            if (!known) {
                problem = "unknown class \"" + className + "\"";
                return;
            }
            if (!isA) continue;
        }
        std::string image = "-", pattern = "-";
        if (auto* imageSprite = dynamic_cast<TImageSprite*>(sprite)) {
            if (imageSprite->Image != nullptr) image = imageSprite->Image->Name();
            pattern = std::to_string(imageSprite->AnimStart + static_cast<int>(std::trunc(imageSprite->AnimPos)));
        } else if (auto* background = dynamic_cast<TBackgroundSprite*>(sprite)) {
            if (background->Image != nullptr) image = background->Image->Name();
        }
        out << i << ' ' << sprite->ClassName() << ' ' << image << ' ' << pattern << ' ' << FormatDouble(sprite->X)
            << ' ' << FormatDouble(sprite->Y) << ' ' << sprite->Z() << ' ' << sprite->Width << ' ' << sprite->Height
            << ' ' << (sprite->Visible ? "true" : "false") << ' ' << (sprite->MarkedDead() ? "true" : "false") << '\n';
    }
}

TSimulator::TResult TSimulator::Execute(const std::vector<std::string>& words, std::ostream& out, std::string& problem)
{
    const std::string& command = words[0];
    const size_t argc = words.size() - 1;
    const auto bad = [&](const std::string& why) {
        problem = why;
        return TResult::BadCommand;
    };
    using TKind = TInputEvent::TKind;

    if (command == "start") {
        if (Form_) return bad("the program was started already");
        uint32_t at = 0;
        if (argc > 1 || (argc == 1 && !ParseNumber(words[1], at))) return bad("usage: start [MS]");
        Platform_->Clock().SetNow(at);
        Form_ = std::make_unique<TMainForm>(*Platform_);
        try {
            Form_->Start();
        } catch (const std::exception& e) {
            // As the game does: the library's message, and the program stops.
            Platform_->MessageBox().Show("Zarvenok", e.what());
            out << "error: " << e.what() << '\n';
            Ended_ = true;
        }
        return TResult::Ok;
    }
    if (command == "print") {
        if (argc == 0) return bad("usage: print NAME...");
        for (size_t i = 1; i < words.size(); ++i) {
            std::string text;
            if (!Print(words[i], text)) return bad("unknown value \"" + words[i] + "\"");
            out << words[i] << '=' << text << '\n';
        }
        return TResult::Ok;
    }
    if (command == "expect") {
        if (argc < 1) return bad("usage: expect NAME VALUE");
        std::string expected;
        for (size_t i = 2; i < words.size(); ++i) expected += (i > 2 ? " " : "") + words[i];
        std::string text;
        if (!Print(words[1], text)) return bad("unknown value \"" + words[1] + "\"");
        if (text != expected) {
            problem = "expected " + words[1] + "=" + expected + ", found " + words[1] + "=" + text;
            return TResult::ExpectFailed;
        }
        return TResult::Ok;
    }
    if (command == "modes") {
        std::vector<TDisplayMode> modes;
        for (size_t i = 1; i < words.size(); ++i) {
            TDisplayMode mode;
            if (!ParseMode(words[i], mode)) return bad("bad mode \"" + words[i] + "\" (WxHxB)");
            modes.push_back(mode);
        }
        Platform_->Video().SetFullScreenModes(modes);
        return TResult::Ok;
    }
    if (command == "sounds") {
        if (argc != 0) return bad("usage: sounds");
        for (const std::string& event : Platform_->SoundLog().Take()) out << event << '\n';
        return TResult::Ok;
    }
    if (command == "order") {
        // Beyond the script language's core: moves the playing module to an
        // order position, to exercise the music continuation.
        int32_t order = 0;
        if (argc != 1 || !ParseNumber(words[1], order)) return bad("usage: order N");
        Platform_->Music().SetOrder(order);
        return TResult::Ok;
    }
    if (command == "http" || command == "requests") return bad("the HTTP client is not built yet");

    // Everything below needs the running program.
    if (!Form_) return bad("the program has not been started");
    if (command == "sprites") {
        if (argc > 1) return bad("usage: sprites [CLASS]");
        ListSprites(argc == 1 ? words[1] : "", out, problem);
        return problem.empty() ? TResult::Ok : TResult::BadCommand;
    }
    if (command == "inspect") {
        int index = 0;
        TSpriteEngine& root = Form_->SpriteEngine.Engine();
        if (argc != 1 || !ParseNumber(words[1], index)) return bad("usage: inspect INDEX");
        if (index < 0 || index >= root.Count()) return bad("no sprite at index " + words[1]);
        for (const auto& [name, value] : InspectSprite(*root.Items(index))) out << name << '=' << value << '\n';
        return TResult::Ok;
    }
    if (command == "screenshot") {
        if (argc != 1) return bad("usage: screenshot FILE");
        THeadlessVideo& video = Platform_->Video();
        if (video.PresentCount() == 0) return bad("no frame has been presented yet");
        TRgbaImage image{video.FrameWidth(), video.FrameHeight(), {}};
        for (uint32_t rgb : video.LastFrame()) image.Pixels.push_back(0xFF000000u | rgb);
        WritePng(words[1], image);
        return TResult::Ok;
    }
    if (command == "set") {
        if (argc != 2) return bad("usage: set NAME VALUE");
        std::string error;
        if (!SetGameValue(*Form_, words[1], words[2], error)) return bad(error);
        return TResult::Ok;
    }

    if (!RequireRunning(problem)) return TResult::BadCommand;
    if (command == "wait") {
        uint32_t ms = 0;
        if (argc != 1 || !ParseNumber(words[1], ms)) return bad("usage: wait MS");
        Advance(ms);
        return TResult::Ok;
    }
    if (command == "frames") {
        uint64_t n = 0;
        if (argc != 1 || !ParseNumber(words[1], n)) return bad("usage: frames N");
        return RunFrames(n, problem) ? TResult::Ok : TResult::BadCommand;
    }
    if (command == "move") {
        TInputEvent event;
        event.Kind = TKind::MouseMove;
        if (argc != 2 || !ParseNumber(words[1], event.X) || !ParseNumber(words[2], event.Y)) return bad("usage: move X Y");
        Send(event);
        return TResult::Ok;
    }
    if (command == "press" || command == "release" || command == "click") {
        TInputEvent event;
        if (argc != 3 || !ParseButton(words[1], event.Button) || !ParseNumber(words[2], event.X) ||
            !ParseNumber(words[3], event.Y))
            return bad("usage: " + command + " left|right|middle X Y");
        if (command != "release") {
            event.Kind = TKind::MouseDown;
            Send(event);
        }
        if (command != "press" && !Ended_) {
            event.Kind = TKind::MouseUp;
            Send(event);
        }
        return TResult::Ok;
    }
    if (command == "key") {
        TInputEvent event;
        event.Kind = TKind::KeyDown;
        if (argc < 1 || argc > 2 || !ParseKey(words[1], event.Key) || (argc == 2 && words[2] != "alt"))
            return bad("usage: key NAME [alt]");
        event.Alt = argc == 2;
        Send(event);
        return TResult::Ok;
    }
    if (command == "type") {
        if (argc < 1) return bad("usage: type TEXT");
        std::string text;
        for (size_t i = 1; i < words.size(); ++i) text += (i > 1 ? " " : "") + words[i];
        for (char c : text) {
            TInputEvent event;
            event.Kind = TKind::KeyDown;
            if (c == ' ') event.Key = VirtualKey::Space;
            else if (c >= 'a' && c <= 'z') event.Key = c - 'a' + 'A';
            else if ((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')) event.Key = c;
            else return bad(std::string("no key types \"") + c + "\"");
            if (Ended_) return bad("the program has ended");
            Send(event);
        }
        return TResult::Ok;
    }
    if (argc == 0) {
        THeadlessVideo& video = Platform_->Video();
        TInputEvent event;
        if (command == "activate") {
            video.SetActive(true);
            event.Kind = TKind::Activate;
        } else if (command == "deactivate") {
            video.SetActive(false);
            event.Kind = TKind::Deactivate;
        } else if (command == "minimize") {
            // A minimised window also loses activation.
            video.SetWindowState(TWindowState::Minimized);
            event.Kind = TKind::Minimized;
            Send(event);
            if (Ended_) return TResult::Ok;
            video.SetActive(false);
            event.Kind = TKind::Deactivate;
        } else if (command == "restore") {
            video.SetWindowState(TWindowState::Normal);
            event.Kind = TKind::Restored;
            Send(event);
            if (Ended_) return TResult::Ok;
            video.SetActive(true);
            event.Kind = TKind::Activate;
        } else if (command == "maximize") {
            video.SetWindowState(TWindowState::Maximized);
            event.Kind = TKind::Maximized;
        } else if (command == "close") {
            event.Kind = TKind::Close;
        } else {
            return bad("unknown command \"" + command + "\"");
        }
        Send(event);
        return TResult::Ok;
    }
    if (command == "spawn") {
        if (argc < 1) return bad("usage: spawn CLASS ARGS...");
        std::string error;
        const std::vector<std::string> args(words.begin() + 2, words.end());
        if (!SpawnSprite(words[1], args, &Form_->SpriteEngine.Engine(), error)) return bad(error);
        return TResult::Ok;
    }
    return bad("unknown command \"" + command + "\"");
}
