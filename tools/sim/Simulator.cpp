// SPDX-License-Identifier: GPL-3.0-or-later
// The simulator's run of a script and the program it drives: starting it,
// passing time and input to it, reading its values.
#include "Simulator.h"

#include "Commands.h"
#include "GameValues.h"
#include "CurlHttpClient.h"
#include "HeadlessPlatform.h"
#include "Unit1.h"

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
        const TResult result = RunLine(words, out, problem);
        out.flush();
        if (result != TResult::Ok) {
            err << "line " << number << ": " << problem << '\n';
            return result == TResult::ExpectFailed ? 1 : 2;
        }
    }
    return 0;
}

TResult TSimulator::RunLine(const std::vector<std::string>& words, std::ostream& out, std::string& problem)
{
    const TCommand* command = FindCommand(words[0]);
    if (command == nullptr) {
        problem = "unknown command \"" + words[0] + "\"";
        return TResult::BadCommand;
    }
    const std::vector<std::string> args(words.begin() + 1, words.end());
    TCall call{*this, *command, args, out, problem};
    try {
        return RunCommand(call);
    } catch (const std::exception& e) {
        // The game's own errors end the run the way they end the game.
        problem = e.what();
        return TResult::BadCommand;
    }
}

void TSimulator::Start(uint32_t at, std::ostream& out)
{
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

IHttpClient& TSimulator::RealHttp()
{
    if (!RealHttp_) RealHttp_ = std::make_unique<TCurlHttpClient>();
    return *RealHttp_;
}

bool TSimulator::Print(const std::string& name, std::string& text)
{
    if (name == "Exited") {
        text = Ended_ ? "true" : "false";
        return true;
    }
    // What the desktop was asked to show: the last address opened and the
    // last message box ("none" before any).
    if (name == "Clock") {
        text = std::to_string(Platform_->Clock().Now());
        return true;
    }
    if (name == "Opened") {
        const auto& opened = Platform_->Shell().Opened();
        text = opened.empty() ? "none" : opened.back();
        return true;
    }
    if (name == "Message") {
        const auto& messages = Platform_->MessageBox().Messages();
        text = messages.empty() ? "none" : messages.back().Text;
        return true;
    }
    return Form_ && PrintGameValue(*Form_, name, text);
}
