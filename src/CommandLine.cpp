// The program's command line.
#include "CommandLine.h"

#include <string_view>

TCommandLine ParseCommandLine(int argc, const char* const* argv)
{
    TCommandLine line;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            line.Action = TCommandLine::TAction::Help;
            return line;
        }
        if (arg == "--version") {
            line.Action = TCommandLine::TAction::Version;
            return line;
        }
        if (arg == "--window") {
            line.FullScreen = false;
        } else if (arg == "--fullscreen") {
            line.FullScreen = true;
        } else {
            line.Action = TCommandLine::TAction::Usage;
            line.Error = arg.starts_with("-") ? "unknown option '" + std::string(arg) + "'"
                                              : "unexpected argument '" + std::string(arg) + "'";
            return line;
        }
    }
    return line;
}

std::string UsageText()
{
    return "usage: zarvenok [--window | --fullscreen]\n"
           "       zarvenok --help | --version\n"
           "  --window      play in a window this time; the stored choice stays\n"
           "  --fullscreen  play in full screen this time; the stored choice stays\n"
           "  --help        show this help and end\n"
           "  --version     show the version and end\n"
           "An installed game keeps its settings and scores in $XDG_DATA_HOME/zarvenok\n"
           "(~/.local/share/zarvenok when XDG_DATA_HOME is not set).\n";
}
