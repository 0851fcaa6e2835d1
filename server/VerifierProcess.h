// SPDX-License-Identifier: GPL-3.0-or-later
// Runs the verifier program on one replay in a child process of its own,
// with limits on processor time, memory and wall time, in a folder of the
// job's own (its working folder and TMPDIR, removed afterwards): it reads
// the replay on standard input and writes one line. Whatever the replay does to it (a
// crash, a hang, an endless allocation or output), the run ends in bounded
// time with the child and anything it started gone.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <span>
#include <string>

struct TVerifierLimits {
    std::chrono::milliseconds Wall{30000};
    unsigned CpuSeconds = 20;
    std::size_t MemoryBytes = std::size_t{512} << 20;
};

struct TVerifierRun {
    enum class EEnd {
        Exited,    // it exited by itself: Line and ExitStatus hold what it said
        TimedOut,  // past the wall deadline or out of processor time
        Broke,     // it crashed, was killed, wrote too much or could not start
    };
    EEnd End = EEnd::Broke;
    std::string Line;  // the first line of its output, without the newline
    int ExitStatus = -1;
    std::string Why;  // for TimedOut and Broke, in words
    std::chrono::milliseconds Took{0};
    std::chrono::milliseconds Cpu{0};  // the child's processor time, its own and the system's
};

TVerifierRun RunVerifier(const std::string& program, std::span<const uint8_t> replay, const TVerifierLimits& limits);

// Removes the job folders in `temp` that a process no longer running left
// behind (a worker killed mid-job cannot remove its own); returns how many.
int RemoveStaleJobFolders(const std::filesystem::path& temp);
