// zarvenok-replay commands.
#include "ReplayCommands.h"

#include "ReplayError.h"
#include "ReplayFile.h"

#include <ostream>

namespace {

void PrintInfo(const TReplay& replay, uint64_t fileSize, std::ostream& out)
{
    const TReplayHeader& header = replay.Header;
    out << "format: " << ReplayFormatVersion << '\n'
        << "game version: " << header.GameVersion << '\n'
        << "pictures sha256: " << HexOf(header.PictureLibrary) << '\n'
        << "sounds sha256: " << HexOf(header.SoundLibrary) << '\n'
        << "start clock: " << header.StartClock << '\n'
        << "window: " << WindowStateName(header.WindowState) << '\n'
        << "full screen: " << (header.FullScreen ? "yes" : "no") << '\n'
        << "bits per pixel: " << int{header.BitCount} << '\n'
        << "player: " << header.PlayerName << '\n'
        << "score: " << header.Score << '\n'
        << "level: " << header.Level << '\n'
        << "frames: " << header.Frames << '\n'
        << "game time ms: " << header.GameTimeMs << '\n'
        << "records: " << replay.Records.Count() << '\n'
        << "file size: " << fileSize << '\n';
}

} // namespace

const char* ReplayToolUsage()
{
    return "usage: zarvenok-replay info FILE\n"
           "  info FILE   the replay's header, one \"key: value\" line each\n";
}

int RunReplayTool(const std::vector<std::string>& args, std::ostream& out, std::ostream& err)
{
    if (args.size() != 2 || args[0] != "info") {
        err << ReplayToolUsage();
        return 2;
    }
    const std::string& file = args[1];
    try {
        const TReplay replay = ReadReplayFile(file);
        std::error_code ignored;
        PrintInfo(replay, std::filesystem::file_size(file, ignored), out);
        return 0;
    } catch (const EReplayError& e) {
        err << "zarvenok-replay: " << file << ": " << e.what() << '\n';
        return 2;
    }
}
