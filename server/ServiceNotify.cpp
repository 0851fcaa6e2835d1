// SPDX-License-Identifier: GPL-3.0-or-later
// The notification datagrams.
#include "ServiceNotify.h"

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>

TServiceNotifier::TServiceNotifier()
{
    const char* path = std::getenv("NOTIFY_SOCKET");
    if (path == nullptr || (path[0] != '/' && path[0] != '@') || std::strlen(path) >= sizeof(sockaddr_un{}.sun_path))
        return;
    Path = path;
    Socket = ::socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    // The watchdog is meant for this process when WATCHDOG_PID is absent or names it.
    const char* usec = std::getenv("WATCHDOG_USEC");
    const char* pid = std::getenv("WATCHDOG_PID");
    if (usec != nullptr && (pid == nullptr || std::atoll(pid) == static_cast<long long>(::getpid())))
        Interval = std::chrono::milliseconds(std::atoll(usec) / 2000);
}

TServiceNotifier::~TServiceNotifier()
{
    if (Socket >= 0)
        ::close(Socket);
}

void TServiceNotifier::Send(const std::string& message)
{
    if (Socket < 0)
        return;
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path, Path.data(), Path.size());
    // "@" names an abstract socket: a leading zero byte.
    if (Path[0] == '@')
        address.sun_path[0] = '\0';
    const auto length = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + Path.size());
    ::sendto(Socket, message.data(), message.size(), MSG_NOSIGNAL, reinterpret_cast<const sockaddr*>(&address),
             length);
}

void TServiceNotifier::Ready()
{
    Send("READY=1");
}

void TServiceNotifier::Status(const std::string& text)
{
    Send("STATUS=" + text);
}

void TServiceNotifier::KeepAlive()
{
    Send("WATCHDOG=1");
}

void TServiceNotifier::Stopping()
{
    Send("STOPPING=1");
}
