// SPDX-License-Identifier: GPL-3.0-or-later
// Telling the service manager how the server is: ready once it serves, a
// line of status, and the watchdog's keep-alive while its health check
// passes (systemd's notification protocol, used only when systemd asks for
// it through NOTIFY_SOCKET and WATCHDOG_USEC).
#pragma once

#include <chrono>
#include <string>

class TServiceNotifier {
public:
    TServiceNotifier();
    TServiceNotifier(const TServiceNotifier&) = delete;
    TServiceNotifier& operator=(const TServiceNotifier&) = delete;
    ~TServiceNotifier();

    void Ready();
    void Status(const std::string& text);
    void KeepAlive();
    void Stopping();
    // How often to check health and keep the watchdog fed: half its
    // time-out; zero when there is no watchdog.
    std::chrono::milliseconds WatchdogInterval() const { return Interval; }

private:
    void Send(const std::string& message);

    int Socket = -1;
    std::string Path;
    std::chrono::milliseconds Interval{0};
};
