// SPDX-License-Identifier: GPL-3.0-or-later
// fork, limits, exec, and a poll loop over the child's pipes and its pidfd.
#include "VerifierProcess.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

#include <cerrno>
#include <charconv>
#include <filesystem>
#include <vector>
#include <cstdio>
#include <cstring>

namespace {

using TClock = std::chrono::steady_clock;

// A verdict is one short line; more than this is not the verifier's.
constexpr std::size_t MaxOutput = 4096;

// Files the child writes are at most a replay's size.
constexpr rlim_t MaxChildFileBytes = rlim_t{16} << 20;

// How often the child's memory is looked at.
constexpr int WatchMs = 50;

// A build with AddressSanitizer reserves terabytes of address space for its
// shadow, so there the limit is kept by watching what the child holds.
#if defined(__SANITIZE_ADDRESS__)
constexpr bool LimitAddressSpace = false;
#else
constexpr bool LimitAddressSpace = true;
#endif

// The child's resident memory in bytes, or 0 when it cannot be read.
std::size_t ResidentBytes(pid_t pid)
{
    char path[64];
    std::snprintf(path, sizeof path, "/proc/%d/statm", static_cast<int>(pid));
    std::FILE* file = std::fopen(path, "r");
    if (file == nullptr)
        return 0;
    unsigned long long size = 0;
    unsigned long long resident = 0;
    const int read = std::fscanf(file, "%llu %llu", &size, &resident);
    std::fclose(file);
    return read == 2 ? static_cast<std::size_t>(resident) * static_cast<std::size_t>(::sysconf(_SC_PAGESIZE)) : 0;
}

class TFd {
public:
    TFd() = default;
    explicit TFd(int fd) : Fd(fd) {}
    ~TFd() { Close(); }
    TFd(const TFd&) = delete;
    TFd& operator=(const TFd&) = delete;
    int Get() const { return Fd; }
    void Close()
    {
        if (Fd >= 0)
            ::close(Fd);
        Fd = -1;
    }
    int* Out() { return &Fd; }

private:
    int Fd = -1;
};

bool MakePipe(TFd& read, TFd& write)
{
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0)
        return false;
    *read.Out() = fds[0];
    *write.Out() = fds[1];
    return true;
}

// In the child, between fork and exec: only calls that are safe there.
[[noreturn]] void StartChild(const char* program, char* const* environment, const char* folder, int input, int output,
                             int null, int started, pid_t parent, const TVerifierLimits& limits)
{
    ::setpgid(0, 0);
    // Gone with the worker, should the worker die first.
    ::prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (::getppid() != parent)
        ::_exit(127);
    ::dup2(input, 0);
    ::dup2(output, 1);
    ::dup2(null, 2);
    // Closed by the exec itself: its end tells the parent the program runs.
    ::dup2(started, 3);
    ::fcntl(3, F_SETFD, FD_CLOEXEC);
    ::close_range(4, ~0U, 0);
    const rlimit cpu{limits.CpuSeconds, limits.CpuSeconds + 1};
    const rlimit memory{limits.MemoryBytes, limits.MemoryBytes};
    const rlimit none{0, 0};
    const rlimit files{MaxChildFileBytes, MaxChildFileBytes};
    ::setrlimit(RLIMIT_CPU, &cpu);
    if (LimitAddressSpace)
        ::setrlimit(RLIMIT_AS, &memory);
    ::setrlimit(RLIMIT_CORE, &none);
    // The game it re-runs keeps its settings in a folder of its own, here
    // the job's; nothing it writes is larger than a replay.
    ::setrlimit(RLIMIT_FSIZE, &files);
    if (::chdir(folder) != 0)
        ::_exit(127);
    // The server blocks its stop signals and ignores SIGPIPE; the child
    // starts with neither.
    struct sigaction plain{};
    plain.sa_handler = SIG_DFL;
    ::sigaction(SIGPIPE, &plain, nullptr);
    sigset_t all;
    ::sigemptyset(&all);
    ::sigprocmask(SIG_SETMASK, &all, nullptr);
    char* const argv[] = {const_cast<char*>(program), nullptr};
    ::execve(program, argv, environment);
    ::_exit(127);
}

// Job folders are named after the process that made them, so that one left
// behind by a process that died can be told from a running one's.
constexpr std::string_view JobFolderPrefix = "zarvenok-verify-";

// A folder of the job's own for what the child writes, removed with all in
// it when the run is over, however it ended.
class TJobFolder {
public:
    TJobFolder()
    {
        std::error_code error;
        std::string pattern = (std::filesystem::temp_directory_path(error) /
                               (std::string(JobFolderPrefix) + std::to_string(::getpid()) + ".XXXXXX"))
                                  .string();
        if (::mkdtemp(pattern.data()) != nullptr)
            Path = pattern;
    }
    ~TJobFolder()
    {
        std::error_code error;
        if (!Path.empty())
            std::filesystem::remove_all(Path, error);
    }
    TJobFolder(const TJobFolder&) = delete;
    TJobFolder& operator=(const TJobFolder&) = delete;
    std::string Path;
};

// The server's environment with TMPDIR set to `folder`.
std::vector<std::string> ChildEnvironment(const std::string& folder)
{
    std::vector<std::string> variables;
    for (char** entry = environ; *entry != nullptr; ++entry)
        if (std::strncmp(*entry, "TMPDIR=", 7) != 0)
            variables.emplace_back(*entry);
    variables.push_back("TMPDIR=" + folder);
    return variables;
}

std::string SignalName(int signal)
{
    const char* name = ::sigabbrev_np(signal);
    return name != nullptr ? std::string("SIG") + name : "signal " + std::to_string(signal);
}

} // namespace

TVerifierRun RunVerifier(const std::string& program, std::span<const uint8_t> replay, const TVerifierLimits& limits)
{
    TVerifierRun run;
    const auto start = TClock::now();
    const auto deadline = start + limits.Wall;
    const TJobFolder folder;
    if (folder.Path.empty()) {
        run.Why = std::string("cannot make a folder for the verifier: ") + std::strerror(errno);
        return run;
    }
    std::vector<std::string> variables = ChildEnvironment(folder.Path);
    std::vector<char*> environment;
    for (std::string& variable : variables)
        environment.push_back(variable.data());
    environment.push_back(nullptr);
    TFd inRead, inWrite, outRead, outWrite, startedRead, startedWrite;
    TFd null(::open("/dev/null", O_WRONLY | O_CLOEXEC));
    if (!MakePipe(inRead, inWrite) || !MakePipe(outRead, outWrite) || !MakePipe(startedRead, startedWrite) ||
        null.Get() < 0) {
        run.Why = std::string("cannot make pipes: ") + std::strerror(errno);
        return run;
    }
    const pid_t parent = ::getpid();
    const pid_t pid = ::fork();
    if (pid < 0) {
        run.Why = std::string("cannot start the verifier: ") + std::strerror(errno);
        return run;
    }
    if (pid == 0)
        StartChild(program.c_str(), environment.data(), folder.Path.c_str(), inRead.Get(), outWrite.Get(), null.Get(),
                   startedWrite.Get(), parent, limits);
    // Set here too, so that a kill of the group cannot miss a child that
    // has not run yet.
    ::setpgid(pid, pid);
    inRead.Close();
    outWrite.Close();
    startedWrite.Close();
    null.Close();
    ::fcntl(inWrite.Get(), F_SETFL, O_NONBLOCK);
    ::fcntl(outRead.Get(), F_SETFL, O_NONBLOCK);
    TFd exited(static_cast<int>(::syscall(SYS_pidfd_open, pid, 0)));

    std::size_t written = 0;
    std::string output;
    bool tooMuch = false;
    bool timedOut = false;
    bool tooLarge = false;
    if (replay.empty())
        inWrite.Close();
    for (;;) {
        pollfd fds[4] = {{exited.Get(), POLLIN, 0},
                         {outRead.Get(), POLLIN, 0},
                         {inWrite.Get(), POLLOUT, 0},
                         {startedRead.Get(), POLLIN, 0}};
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - TClock::now()).count();
        if (left <= 0) {
            timedOut = true;
            break;
        }
        // Without a pidfd (an old kernel), the end of its output stands for its exit.
        const int ready = ::poll(fds, 4, static_cast<int>(std::min<long long>(left, WatchMs)));
        if (ready < 0 && errno != EINTR)
            break;
        if (fds[3].revents != 0)
            startedRead.Close();
        // A second guard beside the address-space limit, and the only one
        // where that cannot be set. Only once the program runs: until its
        // exec, the child counts the server's pages as its own.
        if (startedRead.Get() < 0 && ResidentBytes(pid) > limits.MemoryBytes) {
            tooLarge = true;
            break;
        }
        if (fds[2].revents != 0) {
            const ssize_t n = ::write(inWrite.Get(), replay.data() + written, replay.size() - written);
            if (n > 0)
                written += static_cast<std::size_t>(n);
            // Done, or the child closed its input: either way it has all it takes.
            if (written == replay.size() || (n < 0 && errno != EAGAIN && errno != EINTR))
                inWrite.Close();
        }
        if (fds[1].revents != 0) {
            char buffer[1024];
            const ssize_t n = ::read(outRead.Get(), buffer, sizeof buffer);
            if (n > 0) {
                output.append(buffer, static_cast<std::size_t>(n));
                if (output.size() > MaxOutput) {
                    tooMuch = true;
                    break;
                }
            } else if (n == 0) {
                outRead.Close();
                if (exited.Get() < 0)
                    break;
            }
        }
        if (fds[0].revents != 0) {
            // Whatever it wrote before it exited is in the pipe still.
            for (char buffer[1024]; outRead.Get() >= 0 && output.size() <= MaxOutput;) {
                const ssize_t n = ::read(outRead.Get(), buffer, sizeof buffer);
                if (n <= 0)
                    break;
                output.append(buffer, static_cast<std::size_t>(n));
            }
            tooMuch = output.size() > MaxOutput;
            break;
        }
    }
    // The whole group: anything the child started goes with it.
    ::kill(-pid, SIGKILL);
    int status = 0;
    rusage usage{};
    while (::wait4(pid, &status, 0, &usage) < 0 && errno == EINTR) {
    }
    run.Took = std::chrono::duration_cast<std::chrono::milliseconds>(TClock::now() - start);
    run.Cpu = std::chrono::milliseconds((usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1000 +
                                        (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1000);
    if (timedOut) {
        run.End = TVerifierRun::EEnd::TimedOut;
        char seconds[32];
        std::snprintf(seconds, sizeof seconds, "%g", static_cast<double>(limits.Wall.count()) / 1000);
        run.Why = std::string("the re-run took longer than ") + seconds + " s";
        return run;
    }
    if (WIFSIGNALED(status) && WTERMSIG(status) == SIGXCPU) {
        run.End = TVerifierRun::EEnd::TimedOut;
        run.Why = "the re-run used more than " + std::to_string(limits.CpuSeconds) + " s of processor time";
        return run;
    }
    if (tooMuch) {
        run.Why = "the verifier wrote more than a line";
        return run;
    }
    if (tooLarge) {
        run.Why = "the verifier took more than " + std::to_string(limits.MemoryBytes >> 20) + " MiB";
        return run;
    }
    if (WIFSIGNALED(status)) {
        run.Why = "the verifier stopped on " + SignalName(WTERMSIG(status));
        return run;
    }
    run.ExitStatus = WEXITSTATUS(status);
    if (run.ExitStatus == 127) {
        run.Why = "the verifier " + program + " could not be started";
        return run;
    }
    run.End = TVerifierRun::EEnd::Exited;
    run.Line = output.substr(0, output.find('\n'));
    return run;
}

int RemoveStaleJobFolders(const std::filesystem::path& temp)
{
    int removed = 0;
    std::error_code error;
    for (std::filesystem::directory_iterator it(temp, error), last; !error && it != last; it.increment(error)) {
        const std::string name = it->path().filename().string();
        if (name.rfind(JobFolderPrefix, 0) != 0)
            continue;
        const std::string_view rest = std::string_view(name).substr(JobFolderPrefix.size());
        pid_t owner = 0;
        const auto [end, ec] = std::from_chars(rest.data(), rest.data() + rest.size(), owner);
        struct stat info{};
        // Only this user's, and only when its maker is gone: a running
        // worker on the same host keeps its own.
        if (ec != std::errc() || end == rest.data() + rest.size() || *end != '.' || owner <= 0 ||
            ::lstat(it->path().c_str(), &info) != 0 || !S_ISDIR(info.st_mode) || info.st_uid != ::geteuid() ||
            ::kill(owner, 0) == 0 || errno != ESRCH)
            continue;
        std::error_code ignored;
        if (std::filesystem::remove_all(it->path(), ignored) > 0)
            ++removed;
    }
    return removed;
}
