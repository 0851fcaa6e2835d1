// SPDX-License-Identifier: GPL-3.0-or-later
// zarvenok-sim: the real game on the headless platform, driven by a script
// of one command per line. Its command language is the contract of the
// scenario tests; the commands themselves are rows of Commands.cpp.
#pragma once

#include <cstdint>
#include <iosfwd>
#include <memory>
#include <string>
#include <vector>

class THeadlessPlatform;
class IHttpClient;
class TMainForm;
struct TInputEvent;
enum class TResult;

class TSimulator {
public:
    TSimulator();
    ~TSimulator();

    // Runs a whole script. Returns 0 when it ran to its end, 1 when an
    // expect failed, 2 for a bad command (with the line on err).
    int Run(std::istream& script, std::ostream& out, std::ostream& err);

    // What the commands work with.
    THeadlessPlatform& Platform() { return *Platform_; }
    // The game's real HTTP client, made when a script first asks for it.
    IHttpClient& RealHttp();
    bool Started() const { return Form_ != nullptr; }
    // The game stopped: by its own choice, or because it could not start.
    bool Ended() const { return Ended_; }
    // Only once started.
    TMainForm& Form() { return *Form_; }

    // Starts the game with the clock at `at`; a failure is reported on out
    // as the game reports it, and ends the program.
    void Start(uint32_t at, std::ostream& out);
    // Lets time pass, running every timer and frame at the very millisecond
    // it falls due.
    void Advance(uint32_t milliseconds);
    // False with a reason when no frame will come.
    bool RunFrames(uint64_t count, std::string& problem);
    void Send(const TInputEvent& event);
    // The text of a game value, or of "Exited"; false for an unknown name.
    bool Print(const std::string& name, std::string& text);

private:
    TResult RunLine(const std::vector<std::string>& words, std::ostream& out, std::string& problem);
    void AfterInput();

    std::unique_ptr<THeadlessPlatform> Platform_;
    std::unique_ptr<IHttpClient> RealHttp_;
    std::unique_ptr<TMainForm> Form_;
    bool Ended_ = false;
};
