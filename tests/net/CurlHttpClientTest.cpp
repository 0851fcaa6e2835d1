// SPDX-License-Identifier: GPL-3.0-or-later
// The libcurl client against a small server on the loopback address that
// misbehaves on purpose: replies that never end or are far too long, a
// redirect whose body looks like a good reply, a reply that trickles in,
// refusals with a reason, a server that never answers. The asynchronous
// form is polled as the game polls it, once a frame.
#include "CurlHttpClient.h"
#include "ScoreRecord.h"
#include "ServerRequests.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <string>
#include <thread>
#include <vector>

namespace {

using namespace std::chrono_literals;
using TClock = std::chrono::steady_clock;

class TLoopbackServer;
// Writes a reply to the client's socket; returns when done with it.
using TBehaviour = std::function<void(TLoopbackServer& server, int client)>;

// A one-thread server on a free loopback port that serves each connection
// with the next behaviour in its list and keeps what it was sent.
class TLoopbackServer {
public:
    explicit TLoopbackServer(std::vector<TBehaviour> behaviours) : Behaviours_(std::move(behaviours))
    {
        Listener_ = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        EXPECT_EQ(::bind(Listener_, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
        EXPECT_EQ(::listen(Listener_, 8), 0);
        socklen_t size = sizeof address;
        ::getsockname(Listener_, reinterpret_cast<sockaddr*>(&address), &size);
        Port = ntohs(address.sin_port);
        Thread_ = std::thread([this] { Serve(); });
    }
    ~TLoopbackServer()
    {
        Stop = true;
        ::shutdown(Listener_, SHUT_RDWR);
        ::close(Listener_);
        Thread_.join();
    }
    std::string Url(const std::string& path) const { return "http://127.0.0.1:" + std::to_string(Port) + path; }

    // Sends `text`; false once the client has gone.
    bool Send(int client, const std::string& text)
    {
        if (::send(client, text.data(), text.size(), MSG_NOSIGNAL) != static_cast<ssize_t>(text.size())) {
            ClientLeft = true;
            return false;
        }
        Sent += text.size();
        return true;
    }
    // Waits until the client closes its end (or the server stops).
    void AwaitClose(int client)
    {
        char buffer[256];
        while (!Stop) {
            pollfd entry{client, POLLIN, 0};
            if (::poll(&entry, 1, 50) > 0 && ::recv(client, buffer, sizeof buffer, 0) <= 0) {
                ClientLeft = true;
                return;
            }
        }
    }

    int Port = 0;
    // The request heads received, in order (read them once the server is
    // done), and how many there are so far.
    std::vector<std::string> Received;
    std::atomic<int> Arrived{0};
    std::atomic<bool> Stop{false};
    // Bytes the server managed to send, and whether the client hung up.
    std::atomic<size_t> Sent{0};
    std::atomic<bool> ClientLeft{false};

private:
    void Serve()
    {
        for (const TBehaviour& behaviour : Behaviours_) {
            const int client = ::accept(Listener_, nullptr, nullptr);
            if (client < 0) return;
            std::string head;
            char buffer[1024];
            while (head.find("\r\n\r\n") == std::string::npos) {
                const ssize_t got = ::recv(client, buffer, sizeof buffer, 0);
                if (got <= 0) break;
                head.append(buffer, static_cast<size_t>(got));
            }
            Received.push_back(head);
            ++Arrived;
            behaviour(*this, client);
            ::close(client);
        }
    }

    std::vector<TBehaviour> Behaviours_;
    int Listener_ = -1;
    std::thread Thread_;
};

std::string Reply(const std::string& status, const std::string& body, const std::string& extra = "")
{
    return "HTTP/1.1 " + status + "\r\nContent-Length: " + std::to_string(body.size()) + "\r\nConnection: close\r\n" +
           extra + "\r\n" + body;
}

TBehaviour Canned(std::string reply)
{
    return [reply](TLoopbackServer& server, int client) { server.Send(client, reply); };
}

// Accepts and never answers, until the client gives up.
void Hang(TLoopbackServer& server, int client)
{
    server.AwaitClose(client);
}

THttpRequest Request(const std::string& url, uint32_t timeoutMs = 5000)
{
    THttpRequest request;
    request.Url = url;
    request.Headers = {{"User-Agent", "Mozilla/3.0 (compatible; Indy Library)"}, {"Accept", "text/html, */*"}};
    request.ConnectTimeoutMs = timeoutMs;
    request.TimeoutMs = timeoutMs;
    return request;
}

// Polls as a frame loop would, a frame every 10 ms, until the outcome is
// known; counts the frames it took.
struct TPolled {
    THttpResult Result;
    int Frames = 0;
};

TPolled PollUntilDone(IHttpTransfer& transfer)
{
    TPolled polled;
    for (;;) {
        const THttpResult& result = transfer.Poll();
        if (result.Outcome != THttpOutcome::Pending) {
            polled.Result = result;
            return polled;
        }
        ++polled.Frames;
        std::this_thread::sleep_for(10ms);
    }
}

TEST(CurlHttpClient, BodyHeadersAndCookiesKeptForTheRun)
{
    TLoopbackServer server({Canned(Reply("200 OK", "OK|1|2|3|TOKEN|", "Set-Cookie: session=abc; Path=/\r\n")),
                            Canned(Reply("200 OK", "stored"))});
    TCurlHttpClient client;
    EXPECT_EQ(client.Get(Request(server.Url("/cgi/version.pl?version&prg=Zarvenok"))), "OK|1|2|3|TOKEN|");
    auto transfer = client.Start(Request(server.Url("/cgi/version.pl?hs&inf=AB")));
    const TPolled polled = PollUntilDone(*transfer);
    EXPECT_EQ(polled.Result.Outcome, THttpOutcome::Ok);
    EXPECT_EQ(polled.Result.Status, 200);
    EXPECT_EQ(polled.Result.Body, "stored");
    ASSERT_EQ(server.Received.size(), 2u);
    EXPECT_EQ(server.Received[0].rfind("GET /cgi/version.pl?version&prg=Zarvenok HTTP/1.1\r\n", 0), 0u);
    EXPECT_NE(server.Received[0].find("User-Agent: Mozilla/3.0 (compatible; Indy Library)\r\n"), std::string::npos);
    EXPECT_NE(server.Received[0].find("Accept: text/html, */*\r\n"), std::string::npos);
    EXPECT_EQ(server.Received[0].find("Cookie:"), std::string::npos);
    EXPECT_NE(server.Received[1].find("Cookie: session=abc"), std::string::npos);
}

// Every answer that is not a 2xx is a refusal, with the server's reason when
// it gave one; a redirect is neither followed nor taken as the reply, even
// when its body looks like one.
TEST(CurlHttpClient, AnythingButSuccessIsRefusedWithItsReason)
{
    struct Case {
        std::string Reply;
        int Status;
        std::string Reason;
    };
    const Case cases[] = {
        {Reply("403 Forbidden", "ERROR|unknown or expired token\n"), 403, "unknown or expired token"},
        {Reply("409 Conflict", "ERROR|token already used\n"), 409, "token already used"},
        {Reply("302 Found", "OK|Zarvenok|1|3600|abc|", "Location: /elsewhere\r\n"), 302,
         "the server sent the request elsewhere"},
        {Reply("503 Service Unavailable", "ERROR|storage unavailable\n", "Retry-After: 5\r\n"), 503,
         "storage unavailable"},
        {Reply("500 Internal Server Error", "<html>oops</html>"), 500, "the server cannot take it now; try again later"},
        {Reply("404 Not Found", ""), 404, "the server refused it (status 404)"},
        // A reason is shown as one short line of plain text, whatever was sent.
        {Reply("400 Bad Request", "ERROR|bad\x01 name\x1b[31m|more\n"), 400, "bad name[31m"},
    };
    std::vector<TBehaviour> behaviours;
    for (const Case& c : cases) behaviours.push_back(Canned(c.Reply));
    TLoopbackServer server(behaviours);
    TCurlHttpClient client;
    for (const Case& c : cases) {
        auto transfer = client.Start(Request(server.Url("/cgi/version.pl?version&prg=Zarvenok")));
        const THttpResult result = PollUntilDone(*transfer).Result;
        EXPECT_EQ(result.Outcome, THttpOutcome::Refused) << c.Reply;
        EXPECT_EQ(result.Status, c.Status);
        EXPECT_EQ(result.Reason, c.Reason);
        EXPECT_TRUE(result.Body.empty());
    }
    // One request each: the redirect was not followed.
    EXPECT_EQ(server.Received.size(), std::size(cases));
    // The blocking form raises them all.
    TLoopbackServer again({Canned(Reply("302 Found", "OK|x|y|z|w|", "Location: /\r\n"))});
    EXPECT_THROW(client.Get(Request(again.Url("/"))), std::runtime_error);
}

// A reply far larger than any the game needs, sent with its length or as
// chunks that never end: the client stops reading at its cap, with little
// read and little kept, and says the reply was too long.
TEST(CurlHttpClient, OversizedAndEndlessRepliesAreCutOffAtTheCap)
{
    const std::string chunk(64 * 1024, 'K');
    auto huge = [&](TLoopbackServer& server, int client) {
        if (!server.Send(client, "HTTP/1.1 200 OK\r\nContent-Length: 100000000\r\n\r\n")) return;
        for (size_t sent = 0; sent < 100'000'000 && server.Send(client, chunk);) sent += chunk.size();
    };
    auto endless = [&](TLoopbackServer& server, int client) {
        if (!server.Send(client, "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n")) return;
        char size[16];
        std::snprintf(size, sizeof size, "%zx\r\n", chunk.size());
        while (!server.Stop && server.Send(client, size + chunk + "\r\n")) {}
    };
    auto headers = [&](TLoopbackServer& server, int client) {
        if (!server.Send(client, "HTTP/1.1 200 OK\r\n")) return;
        while (!server.Stop && server.Send(client, "X-Filler: " + std::string(1000, 'h') + "\r\n")) {}
    };
    for (const TBehaviour& behaviour : {TBehaviour(huge), TBehaviour(endless), TBehaviour(headers)}) {
        TLoopbackServer server({behaviour});
        TCurlHttpClient client;
        auto transfer = client.Start(Request(server.Url("/"), 20000));
        const TPolled polled = PollUntilDone(*transfer);
        EXPECT_EQ(polled.Result.Outcome, THttpOutcome::Unreachable);
        EXPECT_EQ(polled.Result.Reason, "the server's reply was too long");
        EXPECT_TRUE(polled.Result.Body.empty());
        transfer.reset();
        // The client hung up long before the server was through.
        const auto until = TClock::now() + 10s;
        while (!server.ClientLeft && TClock::now() < until) std::this_thread::sleep_for(10ms);
        EXPECT_TRUE(server.ClientLeft);
        EXPECT_LT(server.Sent.load(), 50'000'000u);
    }
}

// A reply that trickles in, a byte at a time, fails at the request's one
// deadline, however steadily the bytes come (it would take 5 s to arrive);
// meanwhile the polls return, so a frame loop keeps drawing.
TEST(CurlHttpClient, ReplyThatTricklesInEndsAtTheDeadline)
{
    TLoopbackServer server({[](TLoopbackServer& s, int client) {
        for (char c : Reply("200 OK", "OK|Zarvenok|1|3600|0123456789abcdef0123456789abcdef|")) {
            if (s.Stop || !s.Send(client, std::string(1, c))) return;
            std::this_thread::sleep_for(50ms);
        }
    }});
    TCurlHttpClient client;
    auto transfer = client.Start(Request(server.Url("/"), 800));
    const TPolled polled = PollUntilDone(*transfer);
    EXPECT_EQ(polled.Result.Outcome, THttpOutcome::Unreachable);
    EXPECT_EQ(polled.Result.Reason, "no answer from the server in time");
    EXPECT_GT(polled.Frames, 10);
}

TEST(CurlHttpClient, NoServerOrNoAnswerIsUnreachable)
{
    TCurlHttpClient client;
    int freePort = 0;
    {
        TLoopbackServer server({});
        freePort = server.Port;
    }
    auto refused = client.Start(Request("http://127.0.0.1:" + std::to_string(freePort) + "/"));
    const THttpResult down = PollUntilDone(*refused).Result;
    EXPECT_EQ(down.Outcome, THttpOutcome::Unreachable);
    EXPECT_EQ(down.Reason, "could not connect to the server");
    EXPECT_THROW(client.Get(Request("http://127.0.0.1:" + std::to_string(freePort) + "/")), std::runtime_error);

    TLoopbackServer silent({Hang, Hang});
    auto waiting = client.Start(Request(silent.Url("/"), 300));
    const THttpResult hung = PollUntilDone(*waiting).Result;
    EXPECT_EQ(hung.Outcome, THttpOutcome::Unreachable);
    EXPECT_EQ(hung.Reason, "no answer from the server in time");
    EXPECT_THROW(client.Get(Request(silent.Url("/"), 300)), std::runtime_error);
    // A well-formed answer still works after all that.
    TLoopbackServer server({Canned(Reply("200 OK", "fine"))});
    EXPECT_EQ(client.Get(Request(server.Url("/"))), "fine");
}

// The game gives up on a request (the player left the screen): the
// connection is dropped at once and the outcome says so.
TEST(CurlHttpClient, CancelDropsTheConnection)
{
    TLoopbackServer server({Hang});
    TCurlHttpClient client;
    auto transfer = client.Start(Request(server.Url("/"), 60000));
    const auto until = TClock::now() + 10s;
    while (server.Arrived == 0 && TClock::now() < until) {
        EXPECT_EQ(transfer->Poll().Outcome, THttpOutcome::Pending);
        std::this_thread::sleep_for(10ms);
    }
    transfer->Cancel();
    EXPECT_EQ(transfer->Poll().Outcome, THttpOutcome::Unreachable);
    EXPECT_EQ(transfer->Poll().Reason, "cancelled");
    while (!server.ClientLeft && TClock::now() < until) std::this_thread::sleep_for(10ms);
    EXPECT_TRUE(server.ClientLeft);
}

// A replay goes up as the bytes of a POST, whatever they hold, at once (no
// wait for a "100 Continue"); one larger than the server takes never leaves.
TEST(CurlHttpClient, ReplayUploadSendsItsBytesExactly)
{
    std::vector<uint8_t> replay(300 * 1024);
    for (size_t i = 0; i < replay.size(); ++i) replay[i] = static_cast<uint8_t>(i * 7 + i / 256);
    std::string body;
    TLoopbackServer server({[&body](TLoopbackServer& self, int client) {
        const std::string& head = self.Received.back();
        const size_t end = head.find("\r\n\r\n") + 4;
        const size_t at = head.find("Content-Length: ");
        const size_t length = at == std::string::npos ? 0 : std::stoul(head.substr(at + 16));
        body = head.substr(end);
        char buffer[65536];
        while (body.size() < length) {
            const ssize_t got = ::recv(client, buffer, sizeof buffer, 0);
            if (got <= 0) break;
            body.append(buffer, static_cast<size_t>(got));
        }
        self.Send(client, Reply("200 OK", "OK|queued|7|"));
    }});
    TCurlHttpClient client;
    const std::string address = server.Url("");
    auto transfer = StartReplayUpload(client, address, "0123456789abcdef0123456789abcdef", replay);
    const TPolled polled = PollUntilDone(*transfer);
    EXPECT_EQ(polled.Result.Outcome, THttpOutcome::Ok) << polled.Result.Reason;
    EXPECT_EQ(polled.Result.Body, "OK|queued|7|");
    ASSERT_EQ(server.Received.size(), 1u);
    const std::string& head = server.Received[0];
    EXPECT_EQ(head.rfind("POST /api/replays?token=0123456789abcdef0123456789abcdef HTTP/1.1\r\n", 0), 0u) << head;
    EXPECT_NE(head.find("Content-Type: application/octet-stream\r\n"), std::string::npos);
    EXPECT_EQ(head.find("Expect:"), std::string::npos);
    EXPECT_TRUE(body == std::string(replay.begin(), replay.end())) << body.size() << " bytes arrived";

    const std::vector<uint8_t> tooLarge(MaxReplayUploadBytes + 1);
    auto refused = StartReplayUpload(client, address, "0123456789abcdef0123456789abcdef", tooLarge);
    EXPECT_EQ(refused->Poll().Outcome, THttpOutcome::Refused);
    EXPECT_EQ(refused->Poll().Status, 413);
    EXPECT_EQ(server.Received.size(), 1u);
}

}  // namespace
