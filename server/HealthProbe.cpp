// SPDX-License-Identifier: GPL-3.0-or-later
// A minimal blocking HTTP GET, for the one request the server makes.
#include "HealthProbe.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace {

using TClock = std::chrono::steady_clock;

// Waits for `events` on `fd` until `deadline`.
bool WaitFor(int fd, short events, TClock::time_point deadline)
{
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - TClock::now()).count();
        if (left <= 0)
            return false;
        pollfd entry{fd, events, 0};
        const int ready = ::poll(&entry, 1, static_cast<int>(left));
        if (ready > 0)
            return true;
        if (ready < 0 && errno != EINTR)
            return false;
    }
}

THealth Fail(int fd, std::string why)
{
    if (fd >= 0)
        ::close(fd);
    return THealth{0, std::move(why)};
}

} // namespace

THealth ProbeHealth(const std::string& address, uint16_t port, std::chrono::milliseconds timeout)
{
    const auto deadline = TClock::now() + timeout;
    sockaddr_storage storage{};
    socklen_t length = 0;
    std::string host = address;
    auto* v4 = reinterpret_cast<sockaddr_in*>(&storage);
    auto* v6 = reinterpret_cast<sockaddr_in6*>(&storage);
    if (inet_pton(AF_INET, address.c_str(), &v4->sin_addr) == 1) {
        if (v4->sin_addr.s_addr == htonl(INADDR_ANY))
            v4->sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        v4->sin_family = AF_INET;
        v4->sin_port = htons(port);
        length = sizeof *v4;
    } else if (inet_pton(AF_INET6, address.c_str(), &v6->sin6_addr) == 1) {
        if (IN6_IS_ADDR_UNSPECIFIED(&v6->sin6_addr))
            v6->sin6_addr = in6addr_loopback;
        v6->sin6_family = AF_INET6;
        v6->sin6_port = htons(port);
        length = sizeof *v6;
        host = "[" + address + "]";
    } else {
        return Fail(-1, "not a numeric address: " + address);
    }

    const int fd = ::socket(storage.ss_family, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return Fail(fd, std::strerror(errno));
    if (::connect(fd, reinterpret_cast<const sockaddr*>(&storage), length) != 0 && errno != EINPROGRESS)
        return Fail(fd, std::strerror(errno));
    if (!WaitFor(fd, POLLOUT, deadline))
        return Fail(fd, "no connection in time");
    int error = 0;
    socklen_t size = sizeof error;
    ::getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &size);
    if (error != 0)
        return Fail(fd, std::strerror(error));

    const std::string request = "GET /health HTTP/1.1\r\nHost: " + host + "\r\nConnection: close\r\n\r\n";
    std::size_t sent = 0;
    while (sent < request.size()) {
        if (!WaitFor(fd, POLLOUT, deadline))
            return Fail(fd, "could not send in time");
        const ssize_t n = ::send(fd, request.data() + sent, request.size() - sent, MSG_NOSIGNAL);
        if (n < 0 && errno != EAGAIN && errno != EINTR)
            return Fail(fd, std::strerror(errno));
        if (n > 0)
            sent += static_cast<std::size_t>(n);
    }
    std::string reply;
    while (reply.find("\r\n") == std::string::npos && reply.size() < 1024) {
        if (!WaitFor(fd, POLLIN, deadline))
            return Fail(fd, "no reply in time");
        char buffer[512];
        const ssize_t n = ::recv(fd, buffer, sizeof buffer, 0);
        if (n == 0)
            break;
        if (n < 0 && errno != EAGAIN && errno != EINTR)
            return Fail(fd, std::strerror(errno));
        if (n > 0)
            reply.append(buffer, static_cast<std::size_t>(n));
    }
    ::close(fd);
    const std::string line = reply.substr(0, reply.find("\r\n"));
    // "HTTP/1.1 200 OK"
    const auto space = line.find(' ');
    if (line.rfind("HTTP/", 0) != 0 || space == std::string::npos)
        return THealth{0, "not an HTTP reply"};
    return THealth{std::atoi(line.c_str() + space + 1), line};
}
