// The libcurl client against a real server on the loopback address: the
// body, the headers, cookies kept between requests, and every way a request
// fails (an error status, nothing listening, a server that never answers).
#include "CurlHttpClient.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

namespace {

// A one-thread server on a free loopback port that answers each connection
// with the next canned reply and keeps what it was sent.
class TLoopbackServer {
public:
    explicit TLoopbackServer(std::vector<std::string> replies) : Replies_(std::move(replies))
    {
        Listener_ = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        address.sin_port = 0;
        EXPECT_EQ(::bind(Listener_, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
        EXPECT_EQ(::listen(Listener_, 8), 0);
        socklen_t size = sizeof address;
        ::getsockname(Listener_, reinterpret_cast<sockaddr*>(&address), &size);
        Port = ntohs(address.sin_port);
        Thread_ = std::thread([this] { Serve(); });
    }
    ~TLoopbackServer()
    {
        Stop_ = true;
        ::shutdown(Listener_, SHUT_RDWR);
        ::close(Listener_);
        Thread_.join();
    }
    std::string Url(const std::string& path) const { return "http://127.0.0.1:" + std::to_string(Port) + path; }

    int Port = 0;
    // The request heads received, in order.
    std::vector<std::string> Received;

private:
    void Serve()
    {
        for (const std::string& reply : Replies_) {
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
            if (reply == "hang") {
                // Accepts and never answers, until the client gives up.
                while (!Stop_ && ::recv(client, buffer, sizeof buffer, 0) > 0) {}
            } else {
                ::send(client, reply.data(), reply.size(), MSG_NOSIGNAL);
            }
            ::close(client);
        }
    }

    std::vector<std::string> Replies_;
    int Listener_ = -1;
    std::atomic<bool> Stop_{false};
    std::thread Thread_;
};

std::string Reply(const std::string& status, const std::string& body, const std::string& extra = "")
{
    return "HTTP/1.1 " + status + "\r\nContent-Length: " + std::to_string(body.size()) + "\r\nConnection: close\r\n" +
           extra + "\r\n" + body;
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

TEST(CurlHttpClient, BodyHeadersAndCookiesKeptForTheRun)
{
    TLoopbackServer server({Reply("200 OK", "OK|1|2|3|TOKEN|", "Set-Cookie: session=abc; Path=/\r\n"),
                            Reply("200 OK", "stored")});
    TCurlHttpClient client;
    EXPECT_EQ(client.Get(Request(server.Url("/cgi/version.pl?version&prg=Zarvenok"))), "OK|1|2|3|TOKEN|");
    EXPECT_EQ(client.Get(Request(server.Url("/cgi/version.pl?hs&inf=AB"))), "stored");
    ASSERT_EQ(server.Received.size(), 2u);
    EXPECT_EQ(server.Received[0].rfind("GET /cgi/version.pl?version&prg=Zarvenok HTTP/1.1\r\n", 0), 0u);
    EXPECT_NE(server.Received[0].find("User-Agent: Mozilla/3.0 (compatible; Indy Library)\r\n"), std::string::npos);
    EXPECT_NE(server.Received[0].find("Accept: text/html, */*\r\n"), std::string::npos);
    EXPECT_EQ(server.Received[0].find("Cookie:"), std::string::npos);
    EXPECT_NE(server.Received[1].find("Cookie: session=abc"), std::string::npos);
}

TEST(CurlHttpClient, EveryFailureIsAnError)
{
    TCurlHttpClient client;
    {
        TLoopbackServer server({Reply("500 Internal Server Error", "oops"), Reply("404 Not Found", "")});
        EXPECT_THROW(client.Get(Request(server.Url("/a"))), std::runtime_error);
        EXPECT_THROW(client.Get(Request(server.Url("/b"))), std::runtime_error);
    }
    // Nothing listening any more on that port.
    int freePort = 0;
    {
        TLoopbackServer server({});
        freePort = server.Port;
    }
    EXPECT_THROW(client.Get(Request("http://127.0.0.1:" + std::to_string(freePort) + "/")), std::runtime_error);
    // A server that accepts and never answers: the request gives up.
    TLoopbackServer silent({"hang"});
    // (Without the time-out this request would wait for ever; the test's
    // own time limit then fails it.)
    EXPECT_THROW(client.Get(Request(silent.Url("/"), 300)), std::runtime_error);
    // A well-formed answer still works after all that.
    TLoopbackServer server({Reply("200 OK", "fine")});
    EXPECT_EQ(client.Get(Request(server.Url("/"))), "fine");
}

} // namespace
