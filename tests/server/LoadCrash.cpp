// server-loadrun: drives real zarvenok-server processes over the loopback.
//   load  BIN BACKEND SERVERS CLIENTS SUBMISSIONS READS
//         a fixed amount of work from many clients; with two servers every
//         token is fetched from one and submitted to the other. Prints the
//         throughput and latency percentiles; fails if any submission is
//         lost or refused.
//   crash BIN BACKEND ROUNDS KILL_AFTER
//         kills the server with SIGKILL while submissions are in flight,
//         restarts it on the same database and checks that every submission
//         answered "OK" is there.
//   seed  BASE NAME SCORE SQUAD [NAME SCORE SQUAD ...]
//         submits scores the way the game does.
// BACKEND is "sqlite" (a file in a fresh folder) or "postgresql" (a fresh
// database on the cluster named by ZARVENOK_TEST_POSTGRESQL).
#include "Support.h"

#include "ScoreRecord.h"
#include "TextEncoding.h"

#include <curl/curl.h>
#include <nlohmann/json.hpp>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <mutex>
#include <random>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr int SkipCode = 77;

[[noreturn]] void Die(const std::string& message)
{
    std::fprintf(stderr, "server-loadrun: %s\n", message.c_str());
    std::exit(1);
}

// A database for the run: where it is and how the server is told.
struct TDatabase {
    std::vector<std::string> ServerArgs;
    fs::path Dir;
    std::optional<TPostgresDatabase> Postgres;

    explicit TDatabase(const std::string& backend)
    {
        if (backend == "sqlite") {
            std::random_device random;
            Dir = fs::temp_directory_path() / ("zarvenok-load-" + std::to_string(random()));
            fs::create_directories(Dir);
            ServerArgs = {"--sqlite", (Dir / "scores.db").string()};
        } else if (backend == "postgresql") {
            if (auto made = TPostgresDatabase::Create())
                Postgres.emplace(std::move(*made));
            if (!Postgres) {
                std::fprintf(stderr, "%s is not set; scripts/test sets it\n", PostgresVariable);
                std::exit(PostgresRequired() ? 1 : SkipCode);
            }
            ServerArgs = {"--postgresql", Postgres->ConnectionString()};
        } else {
            Die("unknown backend " + backend);
        }
    }
    ~TDatabase()
    {
        if (!Dir.empty())
            fs::remove_all(Dir);
    }
};

// One zarvenok-server process on a free port of its own choosing.
class TServerProcess {
public:
    TServerProcess(const std::string& binary, const std::vector<std::string>& dbArgs)
    {
        std::vector<std::string> args = {binary, "--listen", "127.0.0.1", "--port", "0",
                                         "--threads", "4", "--rate", "0", "--token-rate", "0",
                                         "--connections-per-client", "0"};
        args.insert(args.end(), dbArgs.begin(), dbArgs.end());
        int out[2];
        if (pipe(out) != 0)
            Die("pipe failed");
        Pid = fork();
        if (Pid < 0)
            Die("fork failed");
        if (Pid == 0) {
            // The server never outlives this driver, whatever ends it.
            prctl(PR_SET_PDEATHSIG, SIGKILL);
            dup2(out[1], STDOUT_FILENO);
            close(out[0]);
            close(out[1]);
            std::vector<char*> argv;
            for (auto& arg : args)
                argv.push_back(arg.data());
            argv.push_back(nullptr);
            execv(argv[0], argv.data());
            _exit(127);
        }
        close(out[1]);
        std::string line;
        const auto deadline = Clock::now() + std::chrono::seconds(60);
        while (line.find('\n') == std::string::npos) {
            pollfd fd{out[0], POLLIN, 0};
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
            if (left.count() <= 0 || poll(&fd, 1, static_cast<int>(left.count())) <= 0)
                Die("the server did not start in time");
            char buffer[256];
            const ssize_t n = read(out[0], buffer, sizeof buffer);
            if (n <= 0)
                Die("the server ended before it served");
            line.append(buffer, static_cast<std::size_t>(n));
        }
        close(out[0]);
        const auto colon = line.rfind(':');
        Base = "http://127.0.0.1:" + std::to_string(std::stoi(line.substr(colon + 1)));
    }

    ~TServerProcess() { Stop(SIGTERM); }

    void Stop(int signal)
    {
        if (Pid <= 0)
            return;
        kill(Pid, signal);
        int status = 0;
        waitpid(Pid, &status, 0);
        Pid = -1;
    }

    std::string Base;

private:
    pid_t Pid = -1;
};

// Keeps one connection open per client, as a browser or the game would.
class TClient {
public:
    TClient() : Curl(curl_easy_init())
    {
        curl_easy_setopt(Curl, CURLOPT_WRITEFUNCTION, &Collect);
        curl_easy_setopt(Curl, CURLOPT_WRITEDATA, &Body);
        curl_easy_setopt(Curl, CURLOPT_NOSIGNAL, 1L);
        curl_easy_setopt(Curl, CURLOPT_TIMEOUT, 30L);
    }
    ~TClient() { curl_easy_cleanup(Curl); }
    TClient(const TClient&) = delete;
    TClient& operator=(const TClient&) = delete;

    THttpReply Get(const std::string& url, std::vector<double>* latencies)
    {
        Body.clear();
        curl_easy_setopt(Curl, CURLOPT_URL, url.c_str());
        const auto start = Clock::now();
        THttpReply reply;
        if (curl_easy_perform(Curl) == CURLE_OK)
            curl_easy_getinfo(Curl, CURLINFO_RESPONSE_CODE, &reply.Status);
        if (latencies != nullptr)
            latencies->push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
        reply.Body = Body;
        return reply;
    }

private:
    static std::size_t Collect(char* data, std::size_t size, std::size_t count, void* out)
    {
        static_cast<std::string*>(out)->append(data, size * count);
        return size * count;
    }
    CURL* Curl;
    std::string Body;
};

// Distinct letters-only names: "L" and the number in base 26.
std::string NameOf(int n)
{
    std::string name = "L";
    do {
        name += static_cast<char>('A' + n % 26);
        n /= 26;
    } while (n > 0);
    return name;
}

// Version from one server, submission to another (or the same).
THttpReply Submit(TClient& client, const std::string& versionBase, const std::string& submitBase,
                  const std::string& name, int score, std::vector<double>* latencies)
{
    const THttpReply version = client.Get(versionBase + "/cgi/version.pl?version&prg=Zarvenok", latencies);
    if (version.Status != 200 || version.Body.rfind("OK", 0) != 0)
        return version;
    const std::string record = BuildScoreRecord(name, score, ReplyField(version.Body, 5), "LOAD");
    return client.Get(submitBase + "/cgi/version.pl?hs&prg=Zarvenok&inf=" + EncodeLine(record), latencies);
}

// Every row of the all-time table, name to score.
std::map<std::string, int64_t> ReadTable(const std::string& base)
{
    std::map<std::string, int64_t> rows;
    TClient client;
    for (int page = 1;; ++page) {
        const THttpReply reply = client.Get(base + "/api/scores?page=" + std::to_string(page), nullptr);
        if (reply.Status != 200)
            Die("table page " + std::to_string(page) + " answered " + std::to_string(reply.Status));
        const auto doc = nlohmann::json::parse(reply.Body);
        for (const auto& row : doc.at("scores"))
            rows[row.at("name").get<std::string>()] = row.at("score").get<int64_t>();
        if (page >= doc.at("pages").get<int>())
            return rows;
    }
}

double Percentile(const std::vector<double>& sorted, double p)
{
    if (sorted.empty())
        return 0;
    const auto index = static_cast<std::size_t>(p / 100.0 * static_cast<double>(sorted.size() - 1) + 0.5);
    return sorted[std::min(index, sorted.size() - 1)];
}

int Load(const std::string& binary, const std::string& backend, int serverCount, int clients,
         int submissions, int reads)
{
    TDatabase db(backend);
    std::vector<std::unique_ptr<TServerProcess>> servers;
    for (int i = 0; i < serverCount; ++i)
        servers.push_back(std::make_unique<TServerProcess>(binary, db.ServerArgs));

    std::atomic<int> nextJob{0};
    std::atomic<int> refused{0};
    std::mutex merge;
    std::vector<double> latencies;
    const int jobs = submissions + reads;
    const auto start = Clock::now();
    std::vector<std::thread> threads;
    for (int c = 0; c < clients; ++c)
        threads.emplace_back([&] {
            TClient client;
            std::vector<double> mine;
            for (int job; (job = nextJob++) < jobs;) {
                // Submissions and reads interleave: every other job is a read
                // while both kinds remain.
                const int pairs = std::min(submissions, reads);
                const bool read = job < 2 * pairs ? job % 2 == 1 : job >= submissions + pairs;
                const int n = job < 2 * pairs ? job / 2 : job - pairs;
                const std::string& base = servers[static_cast<std::size_t>(n) % servers.size()]->Base;
                if (read) {
                    const std::string target = n % 2 == 0 ? "/cgi/version.pl?prg=Zarvenok&show&type=0"
                                                          : "/api/scores?period=week";
                    if (client.Get(base + target, &mine).Status != 200)
                        ++refused;
                } else {
                    const std::string& other =
                        servers[static_cast<std::size_t>(n + 1) % servers.size()]->Base;
                    const THttpReply reply = Submit(client, base, other, NameOf(n), 1000 + n, &mine);
                    if (reply.Status != 200 || reply.Body.rfind("OK", 0) != 0)
                        ++refused;
                }
            }
            std::lock_guard lock(merge);
            latencies.insert(latencies.end(), mine.begin(), mine.end());
        });
    for (auto& thread : threads)
        thread.join();
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();

    std::sort(latencies.begin(), latencies.end());
    const auto table = ReadTable(servers[0]->Base);
    std::printf("load: %s, %d server process%s, %d clients, %d submissions (2 requests each) and %d page reads\n",
                backend.c_str(), serverCount, serverCount == 1 ? "" : "es", clients, submissions, reads);
    std::printf("load: %zu requests in %.2f s = %.0f requests/s; latency ms p50 %.2f p90 %.2f p99 %.2f max %.2f\n",
                latencies.size(), seconds, static_cast<double>(latencies.size()) / seconds,
                Percentile(latencies, 50), Percentile(latencies, 90), Percentile(latencies, 99),
                latencies.empty() ? 0.0 : latencies.back());
    std::printf("load: %d refused or failed, %zu rows stored\n", refused.load(), table.size());

    bool ok = refused == 0 && table.size() == static_cast<std::size_t>(submissions);
    for (int n = 0; n < submissions && ok; ++n) {
        const auto row = table.find(NameOf(n));
        ok = row != table.end() && row->second == 1000 + n;
    }
    if (!ok) {
        std::fprintf(stderr, "load: FAILED: every submission must be answered OK and stored once\n");
        return 1;
    }
    return 0;
}

int Crash(const std::string& binary, const std::string& backend, int rounds, int killAfter)
{
    TDatabase db(backend);
    std::map<std::string, int64_t> answeredOk;
    std::map<std::string, int64_t> attempted;
    int serial = 0;
    for (int round = 1; round <= rounds; ++round) {
        TServerProcess server(binary, db.ServerArgs);
        std::atomic<bool> stop{false};
        std::atomic<int> oks{0};
        std::mutex merge;
        std::vector<std::thread> threads;
        for (int c = 0; c < 8; ++c)
            threads.emplace_back([&, c] {
                TClient client;
                std::map<std::string, int64_t> mineOk;
                std::map<std::string, int64_t> mineTried;
                for (int i = 0; !stop; ++i) {
                    const int n = serial + c * 100000 + i;
                    mineTried[NameOf(n)] = n;
                    const THttpReply reply = Submit(client, server.Base, server.Base, NameOf(n), n, nullptr);
                    if (reply.Status == 200 && reply.Body.rfind("OK", 0) == 0) {
                        mineOk[NameOf(n)] = n;
                        ++oks;
                    } else if (reply.Status != 0) {
                        stop = true;  // refused by a live server: a fault of its own
                        std::fprintf(stderr, "crash: a submission was refused with %ld %s\n",
                                     reply.Status, reply.Body.c_str());
                    } else {
                        break;  // the server is gone
                    }
                }
                std::lock_guard lock(merge);
                answeredOk.insert(mineOk.begin(), mineOk.end());
                attempted.insert(mineTried.begin(), mineTried.end());
            });
        const auto deadline = Clock::now() + std::chrono::seconds(120);
        while (oks < killAfter && !stop && Clock::now() < deadline)
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        const bool reached = oks >= killAfter;
        server.Stop(SIGKILL);
        stop = true;
        for (auto& thread : threads)
            thread.join();
        if (!reached)
            Die("crash: the submissions did not run as expected before the kill");
        serial += 1000000;
        std::printf("crash: round %d: SIGKILL after %d submissions answered OK\n", round, oks.load());
    }

    TServerProcess restarted(binary, db.ServerArgs);
    const auto table = ReadTable(restarted.Base);
    std::size_t missing = 0;
    for (const auto& [name, score] : answeredOk) {
        const auto row = table.find(name);
        if (row == table.end() || row->second != score)
            ++missing;
    }
    std::size_t strangers = 0;
    for (const auto& [name, score] : table)
        if (attempted.find(name) == attempted.end())
            ++strangers;
    std::printf("crash: %zu answered OK in all, %zu rows after restart (in-flight ones may be stored "
                "unanswered), %zu answered-OK rows missing, %zu rows never sent\n",
                answeredOk.size(), table.size(), missing, strangers);
    if (missing != 0 || strangers != 0 || answeredOk.empty()) {
        std::fprintf(stderr, "crash: FAILED\n");
        return 1;
    }
    return 0;
}

int Seed(const std::string& base, char** rest, int count)
{
    for (int i = 0; i + 2 < count; i += 3) {
        const THttpReply reply = SubmitScore(base, base, rest[i], std::atoi(rest[i + 1]), rest[i + 2]);
        if (reply.Status != 200)
            Die(std::string("seeding ") + rest[i] + " answered " + std::to_string(reply.Status) + " " + reply.Body);
    }
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    curl_global_init(CURL_GLOBAL_DEFAULT);
    signal(SIGPIPE, SIG_IGN);
    const std::string mode = argc > 1 ? argv[1] : "";
    if (mode == "load" && argc == 8)
        return Load(argv[2], argv[3], std::atoi(argv[4]), std::atoi(argv[5]), std::atoi(argv[6]),
                    std::atoi(argv[7]));
    if (mode == "crash" && argc == 6)
        return Crash(argv[2], argv[3], std::atoi(argv[4]), std::atoi(argv[5]));
    if (mode == "seed" && argc >= 6)
        return Seed(argv[2], argv + 3, argc - 3);
    std::fprintf(stderr, "usage: server-loadrun load BIN BACKEND SERVERS CLIENTS SUBMISSIONS READS\n"
                         "       server-loadrun crash BIN BACKEND ROUNDS KILL_AFTER\n"
                         "       server-loadrun seed BASE NAME SCORE SQUAD...\n");
    return 2;
}
