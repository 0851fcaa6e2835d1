// SPDX-License-Identifier: GPL-3.0-or-later
// The deep-page, slow-client and token-flood runs of server-loadrun (see
// LoadRuns.h). Every client speaks from a loopback address of its own
// choosing (127.x.y.z all reach the server), so one machine plays many
// networks.
#include "LoadRuns.h"

#include "LoadSupport.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <ctime>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace {

std::string Address(int a, int b, int c)
{
    return "127." + std::to_string(a) + "." + std::to_string(b) + "." + std::to_string(c);
}

std::vector<std::string> WithDatabase(const TDatabase& db, const std::vector<std::string>& extra)
{
    std::vector<std::string> args = {"--threads", "4"};
    args.insert(args.end(), db.ServerArgs.begin(), db.ServerArgs.end());
    args.insert(args.end(), extra.begin(), extra.end());
    return args;
}

// Calls `request` every `period` (at once again when it ran late) until
// `until`.
template <class TRequest>
void Paced(TClock::time_point until, std::chrono::milliseconds period, TRequest&& request)
{
    auto next = TClock::now();
    while (TClock::now() < until) {
        request();
        next += period;
        if (next > TClock::now())
            std::this_thread::sleep_until(std::min(next, until));
    }
}

void RaiseFileLimit(rlim_t wanted)
{
    rlimit limit{};
    getrlimit(RLIMIT_NOFILE, &limit);
    if (limit.rlim_cur < wanted) {
        limit.rlim_cur = std::min(wanted, limit.rlim_max);
        setrlimit(RLIMIT_NOFILE, &limit);
    }
}

// The rate limit allows 2 requests a second to each address; the readers
// here stay inside it.
constexpr auto ReaderPeriod = std::chrono::milliseconds(500);

struct TReadings {
    std::mutex Mutex;
    std::vector<double> Latencies;
    std::map<long, int> Statuses;

    void Add(const std::vector<double>& latencies, const std::map<long, int>& statuses)
    {
        std::lock_guard lock(Mutex);
        Latencies.insert(Latencies.end(), latencies.begin(), latencies.end());
        for (const auto& [status, count] : statuses)
            Statuses[status] += count;
    }
    std::string StatusText()
    {
        std::string text;
        for (const auto& [status, count] : Statuses)
            text += (text.empty() ? "" : ", ") + std::to_string(count) + "x " + std::to_string(status);
        return text;
    }
};

// Readers of `targets` in turn from the addresses 127.A.B.1, .2, ...
void Readers(const std::string& base, int a, int b, int count, const std::vector<std::string>& targets,
             TClock::time_point until, TReadings& readings)
{
    std::vector<std::thread> threads;
    for (int i = 0; i < count; ++i)
        threads.emplace_back([&, i] {
            TClient client(Address(a, b, i + 1));
            std::vector<double> latencies;
            std::map<long, int> statuses;
            std::size_t turn = static_cast<std::size_t>(i);
            Paced(until, ReaderPeriod, [&] {
                ++statuses[client.Get(base + targets[turn++ % targets.size()], &latencies).Status];
            });
            readings.Add(latencies, statuses);
        });
    for (auto& thread : threads)
        thread.join();
}

// Rows first to last (counted from 1), scores spread over two weeks, so that
// about half are in the weekly table.
std::string SeedSql(bool postgres, int64_t first, int64_t last, int64_t now)
{
    const std::string a = std::to_string(first), b = std::to_string(last);
    const std::string t = std::to_string(now);
    if (postgres)
        return "INSERT INTO scores (name, score, squad, token, submitted_at) "
               "SELECT 'P' || g, (g::bigint * 7919) % 100000000, 'SEED', md5(g::text), " + t + " - (g % 1209600) "
               "FROM generate_series(" + a + ", " + b + ") g";
    return "WITH RECURSIVE g(x) AS (SELECT " + a + " UNION ALL SELECT x + 1 FROM g WHERE x < " + b + ") "
           "INSERT INTO scores (name, score, squad, token, submitted_at) "
           "SELECT 'P' || x, (x * 7919) % 100000000, 'SEED', printf('%032x', x), " + t + " - (x % 1209600) FROM g";
}

// The table's counts are kept by triggers, so every row updates the same
// count rows; on PostgreSQL each update inside one transaction leaves a row
// version that the next must step over, so one statement's cost grows with
// the square of its rows (a million did not finish in minutes). A server's
// rows come one a transaction.
void Seed(TDatabase& db, int64_t rows, int64_t now)
{
    constexpr int64_t Chunk = 2000;
    for (int64_t first = 1; first <= rows; first += Chunk)
        db.Execute(SeedSql(db.Postgres(), first, std::min(rows, first + Chunk - 1), now));
}

// A database that grew over months has been vacuumed and written out; one
// seeded a minute ago is still busy with both, and that, not the table's
// size, is what a run right after seeding would measure.
void Settle(TDatabase& db)
{
    if (db.Postgres()) {
        db.Execute("VACUUM ANALYZE");
        db.Execute("CHECKPOINT");
    } else {
        db.Execute("ANALYZE");
    }
}

} // namespace

int Deep(const std::string& binary, const std::string& backend, int64_t rows, int deepReaders, double seconds,
         int deepPage, const std::vector<std::string>& serverArgs)
{
    TDatabase db(backend);
    // Started once to make the tables, then given the rows, then started
    // again as a server is on a database that grew over time.
    TServerProcess(binary, WithDatabase(db, serverArgs)).Stop(SIGTERM);
    const auto seedStart = TClock::now();
    const auto now = static_cast<int64_t>(std::time(nullptr));
    Seed(db, rows, now);
    Settle(db);
    std::printf("deep: %s, %lld rows seeded and settled in %.1f s\n", backend.c_str(), static_cast<long long>(rows),
                std::chrono::duration<double>(TClock::now() - seedStart).count());
    TServerProcess server(binary, WithDatabase(db, serverArgs));
    // Half the rows are older than a week; a server that keeps its weekly
    // rows apart has swept them out long since when rows arrive over time.
    const auto sweepStart = TClock::now();
    const std::string stale = "SELECT COUNT(*) FROM week_scores WHERE submitted_at < " + std::to_string(now - 7 * 24 * 3600);
    try {
        while (db.Number(stale) > 0 && TClock::now() - sweepStart < std::chrono::minutes(10))
            std::this_thread::sleep_for(std::chrono::milliseconds(500));
        std::printf("deep: the week's older rows swept in %.1f s\n",
                    std::chrono::duration<double>(TClock::now() - sweepStart).count());
    } catch (const std::exception&) {
        // A server without a weekly table of its own.
    }
    Settle(db);

    // Every score: the seeded rows have no replays to verify them.
    const std::vector<std::string> first = {"/cgi/version.pl?prg=Zarvenok&show&type=0&all=1",
                                            "/api/scores?period=week&all=1"};
    const std::string page = std::to_string(deepPage);
    const std::vector<std::string> deep = {"/cgi/version.pl?prg=Zarvenok&show&type=0&all=1&page=" + page,
                                           "/api/scores?period=week&all=1&page=" + page};
    const auto span = std::chrono::milliseconds(static_cast<int64_t>(seconds * 1000));
    constexpr int FirstReaders = 4;

    TReadings alone;
    Readers(server.Base, 20, 0, FirstReaders, first, TClock::now() + span, alone);
    TReadings beside;
    TReadings deepReadings;
    const auto until = TClock::now() + span;
    std::thread deepThread([&] { Readers(server.Base, 21, 0, deepReaders, deep, until, deepReadings); });
    Readers(server.Base, 20, 1, FirstReaders, first, until, beside);
    deepThread.join();

    std::printf("deep: page 1 alone: %s; %s\n", Percentiles(alone.Latencies).c_str(), alone.StatusText().c_str());
    std::printf("deep: page 1 beside %d readers of page %d: %s; %s\n", deepReaders, deepPage,
                Percentiles(beside.Latencies).c_str(), beside.StatusText().c_str());
    std::printf("deep: page %d itself: %s; %s\n", deepPage, Percentiles(deepReadings.Latencies).c_str(),
                deepReadings.StatusText().c_str());
    const bool ok = alone.Statuses.size() == 1 && alone.Statuses.count(200) == 1 && beside.Statuses.size() == 1 &&
                    beside.Statuses.count(200) == 1;
    if (!ok)
        std::fprintf(stderr, "deep: FAILED: every page-1 read must be answered 200\n");
    return ok ? 0 : 1;
}

int Slow(const std::string& binary, int slow, int groups, double seconds, const std::vector<std::string>& serverArgs)
{
    RaiseFileLimit(static_cast<rlim_t>(slow) + 512);
    TDatabase db("sqlite");
    TServerProcess server(binary, WithDatabase(db, serverArgs));
    const auto start = TClock::now();
    const auto until = start + std::chrono::milliseconds(static_cast<int64_t>(seconds * 1000));

    // Each slow connection: connected, the request line sent, then one
    // header line every 5 s; never the blank line that ends the headers.
    struct TSlow {
        int Fd = -1;
        TClock::time_point Opened;
        TClock::time_point NextLine;
        bool Closed = false;
        double Lifetime = 0;
    };
    std::vector<TSlow> sockets(static_cast<std::size_t>(slow));
    int refused = 0;
    sockaddr_in target{};
    target.sin_family = AF_INET;
    target.sin_port = htons(static_cast<uint16_t>(server.Port));
    target.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    for (int k = 0; k < slow; ++k) {
        TSlow& s = sockets[static_cast<std::size_t>(k)];
        s.Fd = socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in source{};
        source.sin_family = AF_INET;
        inet_pton(AF_INET, Address(100 + k % groups, 0, (k / groups) % 8 + 1).c_str(), &source.sin_addr);
        s.Opened = TClock::now();
        const std::string line = "GET / HTTP/1.1\r\nHost: slow\r\n";
        if (s.Fd < 0 || bind(s.Fd, reinterpret_cast<sockaddr*>(&source), sizeof source) != 0 ||
            connect(s.Fd, reinterpret_cast<sockaddr*>(&target), sizeof target) != 0 ||
            send(s.Fd, line.data(), line.size(), MSG_NOSIGNAL) < 0) {
            ++refused;
            s.Closed = true;
            if (s.Fd >= 0)
                close(s.Fd);
            s.Fd = -1;
            continue;
        }
        s.NextLine = s.Opened + std::chrono::seconds(5);
    }

    TReadings ordinary;
    std::thread ordinaryThread([&] {
        std::vector<std::thread> clients;
        for (int i = 0; i < 6; ++i)
            clients.emplace_back([&, i] {
                TClient client(Address(30, 0, i + 1), true, 5);
                std::vector<double> latencies;
                std::map<long, int> statuses;
                int turn = i;
                Paced(until, ReaderPeriod, [&] {
                    const std::string path = turn++ % 2 == 0 ? "/" : "/api/scores";
                    ++statuses[client.Get(server.Base + path, &latencies).Status];
                });
                ordinary.Add(latencies, statuses);
            });
        for (auto& client : clients)
            client.join();
    });

    while (TClock::now() < until) {
        std::vector<pollfd> polled;
        std::vector<std::size_t> owners;
        for (std::size_t i = 0; i < sockets.size(); ++i)
            if (!sockets[i].Closed) {
                polled.push_back({sockets[i].Fd, POLLIN, 0});
                owners.push_back(i);
            }
        poll(polled.data(), polled.size(), 100);
        const auto now = TClock::now();
        for (std::size_t j = 0; j < polled.size(); ++j) {
            TSlow& s = sockets[owners[j]];
            if ((polled[j].revents & (POLLIN | POLLHUP | POLLERR)) != 0) {
                char buffer[512];
                // Whatever the server says, a slow client only waits for the end.
                if (recv(s.Fd, buffer, sizeof buffer, MSG_DONTWAIT) <= 0) {
                    s.Closed = true;
                    s.Lifetime = std::chrono::duration<double>(now - s.Opened).count();
                    close(s.Fd);
                    continue;
                }
            }
            if (now >= s.NextLine) {
                static const std::string header = "X-Slow: 1\r\n";
                send(s.Fd, header.data(), header.size(), MSG_NOSIGNAL);
                s.NextLine += std::chrono::seconds(5);
            }
        }
    }
    ordinaryThread.join();

    std::vector<double> lifetimes;
    int open = 0;
    for (TSlow& s : sockets) {
        if (s.Closed && s.Fd >= 0)
            lifetimes.push_back(s.Lifetime * 1000);
        if (!s.Closed) {
            ++open;
            close(s.Fd);
        }
    }
    std::printf("slow: %d slow connections from %d groups for %.0f s: %d refused at once, %zu closed by the "
                "server after %s, %d still open at the end\n",
                slow, groups, seconds, refused, lifetimes.size(), Percentiles(lifetimes).c_str(), open);
    std::printf("slow: ordinary requests beside them: %s; %s\n", Percentiles(ordinary.Latencies).c_str(),
                ordinary.StatusText().c_str());
    const bool answered = ordinary.Statuses.size() == 1 && ordinary.Statuses.count(200) == 1;
    if (!answered)
        std::fprintf(stderr, "slow: FAILED: every ordinary request must be answered 200\n");
    if (open != 0)
        std::fprintf(stderr, "slow: FAILED: slow connections must be closed by the server's deadline\n");
    return answered && open == 0 ? 0 : 1;
}

int Flood(const std::string& binary, const std::string& backend, int addresses, int groups, double seconds,
          int maxPerGroup)
{
    TDatabase db(backend);
    TServerProcess server(binary, WithDatabase(db, {}));
    const auto until = TClock::now() + std::chrono::milliseconds(static_cast<int64_t>(seconds * 1000));
    std::mutex merge;
    std::map<int, int> tokensPerGroup;
    std::map<long, int> statuses;
    std::vector<std::thread> threads;
    for (int i = 0; i < addresses; ++i)
        threads.emplace_back([&, i] {
            const int group = i % groups;
            TClient client(Address(50 + group, 0, i / groups + 1));
            int tokens = 0;
            std::map<long, int> mine;
            while (TClock::now() < until) {
                const THttpReply reply = client.Get(server.Base + "/cgi/version.pl?version&prg=Zarvenok");
                ++mine[reply.Status];
                tokens += reply.Status == 200 && reply.Body.rfind("OK|", 0) == 0;
            }
            std::lock_guard lock(merge);
            tokensPerGroup[group] += tokens;
            for (const auto& [status, count] : mine)
                statuses[status] += count;
        });
    for (auto& thread : threads)
        thread.join();
    int total = 0;
    int most = 0;
    for (const auto& [group, tokens] : tokensPerGroup) {
        total += tokens;
        most = std::max(most, tokens);
    }
    const int64_t rows = db.Number("SELECT COUNT(*) FROM tokens");
    std::string answers;
    for (const auto& [status, count] : statuses)
        answers += (answers.empty() ? "" : ", ") + std::to_string(count) + "x " + std::to_string(status);
    std::printf("flood: %d addresses in %d groups for %.1f s: %d tokens issued (at most %d to one group), %lld "
                "token rows stored; answers %s\n",
                addresses, groups, seconds, total, most, static_cast<long long>(rows), answers.c_str());
    if (maxPerGroup >= 0 && most > maxPerGroup) {
        std::fprintf(stderr, "flood: FAILED: a group got %d tokens, more than %d\n", most, maxPerGroup);
        return 1;
    }
    return 0;
}
