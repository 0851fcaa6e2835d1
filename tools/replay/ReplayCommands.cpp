// SPDX-License-Identifier: GPL-3.0-or-later
// zarvenok-replay commands.
#include "ReplayCommands.h"

#include "HeadlessGame.h"
#include "ReplayCheck.h"
#include "ReplayError.h"
#include "ReplayFile.h"
#include "Sha256.h"

#include <chrono>
#include <cstdio>
#include <exception>
#include <optional>
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
        << "generator: " << header.GeneratorState << '\n'
        << "pointer: " << header.PointerX << ',' << header.PointerY << '\n'
        << "player: " << header.PlayerName << '\n'
        << "score: " << header.Score << '\n'
        << "level: " << header.Level << '\n'
        << "frames: " << header.Frames << '\n'
        << "game time ms: " << header.GameTimeMs << '\n'
        << "records: " << replay.Records.Count() << '\n'
        << "file size: " << fileSize << '\n';
}

struct TRun {
    TReplayVerdict Verdict;
    double Seconds = 0.0;
};

TRun Replay(const TReplay& replay, const std::filesystem::path& dataFolder, bool draw)
{
    THeadlessGame game(dataFolder, draw, replay.Header.StartClock);
    const auto start = std::chrono::steady_clock::now();
    TRun run;
    run.Verdict = CheckReplay(game.Form(), replay);
    run.Seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    return run;
}

std::string Fixed(double value, int decimals)
{
    char text[64];
    std::snprintf(text, sizeof text, "%.*f", decimals, value);
    return text;
}

} // namespace

const char* ReplayToolUsage()
{
    return "usage: zarvenok-replay [--data DIR] COMMAND FILE\n"
           "  info FILE                the replay's header, one \"key: value\" line each\n"
           "  verify FILE              plays the game again without drawing; exit 0 when it\n"
           "                           plays out the same with the claimed result, 1 when not\n"
           "  timedemo FILE [--nodraw] plays it again as fast as it goes and tells how fast\n"
           "  --data DIR               the folder with the game's Data/ (default: the game's own)\n";
}

int RunReplayTool(const std::vector<std::string>& args, const std::filesystem::path& dataFolder, std::ostream& out,
                  std::ostream& err)
{
    const bool info = args.size() == 2 && args[0] == "info";
    const bool verify = args.size() == 2 && args[0] == "verify";
    const bool timedemo = (args.size() == 2 || (args.size() == 3 && args[2] == "--nodraw")) && args[0] == "timedemo";
    if (!info && !verify && !timedemo) {
        err << ReplayToolUsage();
        return 2;
    }
    const std::string& file = args[1];
    TReplay replay;
    try {
        replay = ReadReplayFile(file);
        if (info) {
            std::error_code ignored;
            PrintInfo(replay, std::filesystem::file_size(file, ignored), out);
            return 0;
        }
        if (const auto mismatch = ReplayMismatch(replay.Header, dataFolder)) {
            err << "zarvenok-replay: " << file << ": " << *mismatch << '\n';
            return 2;
        }
    } catch (const EReplayError& e) {
        err << "zarvenok-replay: " << file << ": " << e.what() << '\n';
        return 2;
    }
    try {
        const TRun run = Replay(replay, dataFolder, timedemo && args.size() == 2);
        const TReplayVerdict& verdict = run.Verdict;
        const bool verified = verdict.Kind == TReplayVerdict::TKind::Verified;
        if (verify) {
            out << verdict.Line() << '\n';
            if (!verified && !verdict.Problem.empty()) err << "zarvenok-replay: " << verdict.Problem << '\n';
        } else {
            const double gameSeconds = verdict.GameTimeMs / 1000.0;
            out << "frames " << verdict.Frames << ", game time " << Fixed(gameSeconds, 1) << " s, run time "
                << Fixed(run.Seconds, 3) << " s, " << Fixed(run.Seconds > 0 ? gameSeconds / run.Seconds : 0.0, 0)
                << "x real time\n";
            if (!verified) err << "zarvenok-replay: " << verdict.Line() << '\n';
        }
        return verified ? 0 : 1;
    } catch (const std::exception& e) {
        err << "zarvenok-replay: " << e.what() << '\n';
        return 2;
    }
}

int VerifyReplayBytes(const std::vector<uint8_t>& bytes, const std::filesystem::path& dataFolder, std::ostream& out)
{
    TReplay replay;
    try {
        replay = DecodeReplay(bytes);
        if (const auto mismatch = ReplayMismatch(replay.Header, dataFolder)) {
            out << "unsupported version: " << replay.Header.GameVersion << " (" << *mismatch << ")\n";
            return 3;
        }
    } catch (const EReplayError& e) {
        out << "refused: " << e.what() << '\n';
        return 2;
    }
    try {
        const TReplayVerdict verdict = Replay(replay, dataFolder, false).Verdict;
        if (verdict.Kind == TReplayVerdict::TKind::Verified && !verdict.GameOver) {
            out << "refused: the game did not end in a game over\n";
            return 2;
        }
        out << verdict.Line() << '\n';
        return verdict.Kind == TReplayVerdict::TKind::Verified ? 0 : 1;
    } catch (const std::exception& e) {
        out << "refused: " << e.what() << '\n';
        return 2;
    }
}
