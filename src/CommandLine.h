// The program's command line: help, version, and window or full screen for
// one run.
#pragma once

#include <optional>
#include <string>

struct TCommandLine {
    enum class TAction { Play, Help, Version, Usage };
    TAction Action = TAction::Play;
    // --window (false) or --fullscreen (true); the last one given counts.
    std::optional<bool> FullScreen;
    // What was wrong, for TAction::Usage.
    std::string Error;
};

TCommandLine ParseCommandLine(int argc, const char* const* argv);
// The help text, ending in a newline.
std::string UsageText();
