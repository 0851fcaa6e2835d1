// SPDX-License-Identifier: GPL-3.0-or-later
// The verifier's child process on its own: what it said when it ends by
// itself, and each way it can fail to, with the limits that end it.
#include "TestReplay.h"
#include "VerifierProcess.h"

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

namespace {

using namespace std::chrono_literals;

TEST(VerifierProcess, EachEndOfARun)
{
    std::vector<uint8_t> stalled = ReplayBytes("HANG", 1, 1, 1, 100);
    // More than a pipe holds, to a child that no longer reads.
    stalled.resize(std::size_t{1} << 20, 'x');
    struct Case {
        std::string Program;
        std::vector<uint8_t> Input;
        TVerifierRun::EEnd End;
        std::string Said;  // the line, or a part of the reason
        unsigned CpuSeconds = 1;
    };
    const Case cases[] = {
        {FAKE_VERIFIER, ReplayBytes("ACE", 2600, 3, 900, 30'000), TVerifierRun::EEnd::Exited,
         "verified: score 2600, level 3, frames 900"},
        {FAKE_VERIFIER, {}, TVerifierRun::EEnd::Exited, "refused: Replay file is empty"},
        {FAKE_VERIFIER, stalled, TVerifierRun::EEnd::TimedOut, "took longer than 1 s"},
        {FAKE_VERIFIER, ReplayBytes("SPIN", 1, 1, 1, 100), TVerifierRun::EEnd::TimedOut,
         "more than 1 s of processor time"},
        {FAKE_VERIFIER, ReplayBytes("CRASH", 1, 1, 1, 100), TVerifierRun::EEnd::Broke, "stopped on SIGABRT"},
        {FAKE_VERIFIER, ReplayBytes("CHATTER", 1, 1, 1, 100), TVerifierRun::EEnd::Broke, "more than a line"},
        // Out of address space (SIGABRT from a failed allocation), or killed
        // for what it holds where that limit cannot be set.
        {FAKE_VERIFIER, ReplayBytes("BOMB", 1, 1, 1, 100), TVerifierRun::EEnd::Broke, "the verifier ", 30},
        {"/nonexistent/zarvenok-verifier", {}, TVerifierRun::EEnd::Broke, "could not be started"},
    };
    for (const Case& c : cases) {
        TVerifierLimits limits;
        // Processor time runs out long before the wall clock, however busy the machine.
        limits.Wall = c.Input.size() > 65536 ? 1s : 60s;
        limits.CpuSeconds = c.CpuSeconds;
        limits.MemoryBytes = std::size_t{256} << 20;
        const TVerifierRun run = RunVerifier(c.Program, c.Input, limits);
        EXPECT_EQ(run.End, c.End) << c.Said << ": " << run.Why;
        EXPECT_NE((run.End == TVerifierRun::EEnd::Exited ? run.Line : run.Why).find(c.Said), std::string::npos)
            << run.Line << run.Why;
        EXPECT_LT(run.Took, 30s) << c.Said;
    }
}

TEST(VerifierProcess, FoldersOfDeadWorkersAreRemoved)
{
    namespace fs = std::filesystem;
    const fs::path temp = fs::temp_directory_path() / ("zarvenok-stale-test." + std::to_string(::getpid()));
    fs::remove_all(temp);
    fs::create_directories(temp);
    // A process that has ended and been waited for: its id names nobody.
    const pid_t gone = ::fork();
    if (gone == 0)
        ::_exit(0);
    ASSERT_GT(gone, 0);
    ::waitpid(gone, nullptr, 0);
    const std::string dead = "zarvenok-verify-" + std::to_string(gone) + ".a1b2c3";
    const std::string alive = "zarvenok-verify-" + std::to_string(::getpid()) + ".d4e5f6";
    for (const std::string& name : {dead, alive, std::string("zarvenok-verify-x.123456"), std::string("other.1")})
        fs::create_directory(temp / name);
    std::ofstream(temp / dead / "Config.cfg") << "left behind";
    // A file by the name is not a job's folder.
    std::ofstream(temp / ("zarvenok-verify-" + std::to_string(gone) + ".file")) << "not a folder";

    EXPECT_EQ(RemoveStaleJobFolders(temp), 1);
    EXPECT_FALSE(fs::exists(temp / dead));
    for (const std::string& kept : {alive, std::string("zarvenok-verify-x.123456"), std::string("other.1"),
                                    "zarvenok-verify-" + std::to_string(gone) + ".file"})
        EXPECT_TRUE(fs::exists(temp / kept)) << kept;
    fs::remove_all(temp);
}

} // namespace
