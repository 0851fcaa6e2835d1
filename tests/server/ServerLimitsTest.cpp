// SPDX-License-Identifier: GPL-3.0-or-later
// What the server refuses and how: methods that could change what is stored,
// bodies, too many connections from one network, requests that never finish
// arriving, token floods; and what it says while its database is away.
#include "ServerFixture.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <thread>
#include <vector>

namespace {

using Limits = Server;
using namespace std::chrono_literals;

// A raw connection from `source` to the server, for the tests that need to
// hold one open or send it something odd.
class TRawConnection {
public:
    TRawConnection(const std::string& source, uint16_t port)
    {
        Fd = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in from{};
        from.sin_family = AF_INET;
        inet_pton(AF_INET, source.c_str(), &from.sin_addr);
        sockaddr_in to{};
        to.sin_family = AF_INET;
        to.sin_port = htons(port);
        to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        EXPECT_EQ(::bind(Fd, reinterpret_cast<sockaddr*>(&from), sizeof from), 0);
        EXPECT_EQ(::connect(Fd, reinterpret_cast<sockaddr*>(&to), sizeof to), 0);
    }
    ~TRawConnection() { ::close(Fd); }
    TRawConnection(const TRawConnection&) = delete;
    TRawConnection& operator=(const TRawConnection&) = delete;

    void Send(const std::string& text) { ::send(Fd, text.data(), text.size(), MSG_NOSIGNAL); }
    // Everything the server sends until it closes the connection or
    // `wait` passes; Closed says which.
    std::string Read(std::chrono::milliseconds wait)
    {
        std::string got;
        const auto until = std::chrono::steady_clock::now() + wait;
        for (;;) {
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(until - std::chrono::steady_clock::now());
            pollfd entry{Fd, POLLIN, 0};
            if (left.count() <= 0 || ::poll(&entry, 1, static_cast<int>(left.count())) <= 0)
                return got;
            char buffer[4096];
            const ssize_t n = ::recv(Fd, buffer, sizeof buffer, 0);
            if (n <= 0) {
                Closed = true;
                return got;
            }
            got.append(buffer, static_cast<std::size_t>(n));
        }
    }
    bool Closed = false;

private:
    int Fd = -1;
};

TEST_P(Limits, HeadAndOtherMethodsChangeNothing)
{
    Start();
    const std::string token = IssueToken();
    const std::string submission = Submission(BuildScoreRecord("HEADY", 500, token, ""));
    struct Case {
        std::string Method;
        std::string Target;
        long Status;
        std::string Allow;
    };
    const Case cases[] = {
        {"HEAD", "/cgi/version.pl?version&prg=Zarvenok", 405, "GET"},
        {"HEAD", submission, 405, "GET"},
        {"POST", submission, 405, "GET, HEAD"},
        {"PUT", submission, 405, "GET, HEAD"},
        {"DELETE", "/cgi/version.pl?version&prg=Zarvenok", 405, "GET, HEAD"},
        {"OPTIONS", "/", 405, "GET, HEAD"},
        {"HEAD", "/", 200, ""},
        {"HEAD", "/cgi/version.pl?prg=Zarvenok&show&type=0", 200, ""},
        {"HEAD", "/health", 200, ""},
    };
    for (const Case& c : cases) {
        const THttpReply reply = HttpCall(c.Method, Base, c.Target);
        EXPECT_EQ(reply.Status, c.Status) << c.Method << " " << c.Target;
        if (!c.Allow.empty()) {
            EXPECT_NE(reply.Headers.find("Allow: " + c.Allow + "\r\n"), std::string::npos) << reply.Headers;
        }
    }
    EXPECT_EQ(Store->CountScores(), 0);
    // Only the GET's token was issued, and it is still unused.
    EXPECT_EQ(Get(submission).Status, 200);
    EXPECT_EQ(Store->CountScores(), 1);
}

TEST_P(Limits, RequestWithABodyIsRefused)
{
    Start();
    TRawConnection connection("127.0.0.1", Http->Port());
    connection.Send("GET /cgi/version.pl?version&prg=Zarvenok HTTP/1.1\r\nHost: x\r\nContent-Length: 100000000\r\n\r\n" +
                    std::string(10000, 'x'));
    const std::string reply = connection.Read(10s);
    EXPECT_EQ(reply.rfind("HTTP/1.1 413", 0), 0U) << reply;
}

TEST_P(Limits, ConnectionsAreCappedPerNetwork)
{
    Start([](TServerConfig& config) { config.ConnectionsPerGroup = 3; });
    // Four addresses of one /24: the fourth connection is one too many.
    std::vector<std::unique_ptr<TRawConnection>> held;
    for (int i = 1; i <= 3; ++i)
        held.push_back(std::make_unique<TRawConnection>("127.0.7." + std::to_string(i), Http->Port()));
    // The server's threads take connections in no set order: the fourth is
    // only the one refused once the first three are counted.
    const auto counted = std::chrono::steady_clock::now() + 10s;
    while (Http->OpenConnections() < 3 && std::chrono::steady_clock::now() < counted)
        std::this_thread::sleep_for(10ms);
    ASSERT_EQ(Http->OpenConnections(), 3U);
    TRawConnection extra("127.0.7.4", Http->Port());
    extra.Read(10s);
    EXPECT_TRUE(extra.Closed);
    // The first three still work, and so does another network.
    held[0]->Send("GET /health HTTP/1.1\r\nHost: x\r\nConnection: close\r\n\r\n");
    const std::string answer = held[0]->Read(10s);
    EXPECT_EQ(answer.rfind("HTTP/1.1 200", 0), 0U) << answer;
    EXPECT_EQ(HttpCall("GET", Base, "/", "127.0.8.1").Status, 200);
    held.clear();
    // Their places are free again once they close.
    const auto until = std::chrono::steady_clock::now() + 10s;
    while (Http->OpenConnections() > 0 && std::chrono::steady_clock::now() < until)
        std::this_thread::sleep_for(10ms);
    EXPECT_EQ(HttpCall("GET", Base, "/", "127.0.7.4").Status, 200);
}

TEST_P(Limits, RequestsThatNeverFinishArrivingAreCutOff)
{
    Start([](TServerConfig& config) { config.RequestDeadline = 2s; });
    TRawConnection slow("127.0.9.1", Http->Port());
    slow.Send("GET / HTTP/1.1\r\n");
    // A header line every 100 ms keeps the idle time-out from ever firing;
    // only the deadline for the whole request ends it.
    const auto until = std::chrono::steady_clock::now() + 20s;
    while (!slow.Closed && std::chrono::steady_clock::now() < until) {
        slow.Send("X-Slow: 1\r\n");
        slow.Read(100ms);
    }
    EXPECT_TRUE(slow.Closed);
    EXPECT_GE(Http->ReapedConnections(), 1U);
    // A request that arrives within the deadline is answered, however it
    // trickles in; the next request on the connection has a deadline of its
    // own, counted from that answer.
    TRawConnection steady("127.0.9.2", Http->Port());
    steady.Send("GET /health HTTP/1.1\r\n");
    steady.Read(400ms);
    steady.Send("Host: x\r\n");
    steady.Read(400ms);
    steady.Send("\r\n");
    EXPECT_NE(steady.Read(1600ms).find("200 OK"), std::string::npos);
    steady.Send("GET / HTTP/1.1\r\nHost: x\r\nConnection: close\r\n\r\n");
    EXPECT_NE(steady.Read(10s).find("200 OK"), std::string::npos);
}

TEST_P(Limits, TokensAreLimitedPerNetwork)
{
    Start([](TServerConfig& config) {
        config.TokenRatePerSecond = 0.001;
        config.TokenBurst = 5;
    });
    auto tokens = [&](const std::string& prefix) {
        int issued = 0;
        for (int i = 1; i <= 10; ++i) {
            const THttpReply reply = HttpCall("GET", Base, "/cgi/version.pl?version&prg=Zarvenok",
                                              prefix + std::to_string(i));
            if (reply.Status == 200)
                ++issued;
            else
                EXPECT_EQ(reply.Status, 429);
        }
        return issued;
    };
    // Ten addresses of one /24 share one allowance; another /24 has its own.
    EXPECT_EQ(tokens("127.0.10."), 5);
    EXPECT_EQ(tokens("127.0.11."), 5);
    // Pages and submissions are not held back by it.
    EXPECT_EQ(HttpCall("GET", Base, "/api/scores", "127.0.10.1").Status, 200);
}

// The database refuses every connection for a while, then lets them in
// again: refusals say to come back later, and service returns without a
// restart. The home page never waits.
TEST_P(Limits, DatabaseAwayMeansRetryLaterThenServiceAgain)
{
    if (!IsPostgres())
        GTEST_SKIP() << "a file does not go away";
    Start({}, 1500ms);
    const std::string token = IssueToken();
    ASSERT_EQ(Get("/health").Status, 200);

    const std::string database = Postgres->Name();
    ExecSql(Postgres->AdminConnectionString(), "ALTER DATABASE " + database + " ALLOW_CONNECTIONS false");
    ExecSql(Postgres->AdminConnectionString(),
            "SELECT pg_terminate_backend(pid) FROM pg_stat_activity WHERE datname = '" + database + "'");
    for (const std::string& target : {std::string("/api/scores"), std::string("/health"),
                                      std::string("/cgi/version.pl?version&prg=Zarvenok"),
                                      Submission(BuildScoreRecord("AWAY", 10, token, ""))}) {
        const THttpReply reply = HttpGet(Base, target);
        EXPECT_EQ(reply.Status, 503) << target;
        EXPECT_NE(reply.Headers.find("Retry-After: "), std::string::npos) << target;
    }
    EXPECT_EQ(Get("/").Status, 200);

    ExecSql(Postgres->AdminConnectionString(), "ALTER DATABASE " + database + " ALLOW_CONNECTIONS true");
    const auto until = std::chrono::steady_clock::now() + 20s;
    while (Get("/health").Status != 200 && std::chrono::steady_clock::now() < until)
        std::this_thread::sleep_for(50ms);
    EXPECT_EQ(Get("/api/scores").Status, 200);
    // The refused submission stored nothing: its token still works once.
    EXPECT_EQ(Get(Submission(BuildScoreRecord("AWAY", 10, token, ""))).Status, 200);
    EXPECT_EQ(Store->CountScores(), 1);
}

INSTANTIATE_TEST_SUITE_P(, Limits, ::testing::Values(EStoreBackend::Sqlite, EStoreBackend::PostgreSql),
                         BackendName);

} // namespace
