// zarvenok-sim: the real game on the headless platform, driven by a script
// of one command per line. Its command language is the contract of the
// scenario tests.
#pragma once

#include <iosfwd>
#include <memory>
#include <string>
#include <vector>

class THeadlessPlatform;
class TMainForm;

class TSimulator {
public:
    TSimulator();
    ~TSimulator();

    // Runs a whole script. Returns 0 when it ran to its end, 1 when an
    // expect failed, 2 for a bad command (with the line on err).
    int Run(std::istream& script, std::ostream& out, std::ostream& err);

private:
    enum class TResult { Ok, ExpectFailed, BadCommand };
    TResult Execute(const std::vector<std::string>& words, std::ostream& out, std::string& problem);

    bool RequireRunning(std::string& problem) const;
    void Advance(uint32_t milliseconds);
    bool RunFrames(uint64_t count, std::string& problem);
    void Send(const struct TInputEvent& event);
    void AfterInput();
    bool Print(const std::string& name, std::string& text);
    void ListSprites(const std::string& className, std::ostream& out, std::string& problem);

    std::unique_ptr<THeadlessPlatform> Platform_;
    std::unique_ptr<TMainForm> Form_;
    bool Ended_ = false;
    std::vector<std::string> StartFailure_;
};
