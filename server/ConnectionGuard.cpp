// SPDX-License-Identifier: GPL-3.0-or-later
// Connection caps per group and the request deadline.
#include "ConnectionGuard.h"

#include <sys/socket.h>

TConnectionGuard::TConnectionGuard(unsigned perGroup, TGroupPrefixes prefixes,
                                   std::chrono::milliseconds deadline)
    : PerGroup(perGroup), Prefixes(prefixes), Deadline(deadline), Reaper([this] { Reap(); })
{
}

TConnectionGuard::~TConnectionGuard()
{
    {
        std::lock_guard lock(Mutex);
        Stopping = true;
    }
    Wake.notify_all();
    Reaper.join();
}

void TConnectionGuard::Shut(TEntry& entry)
{
    // Shut down, not closed: the descriptor stays the server's until it
    // notices and closes it itself, so it cannot be reused under it.
    if (!entry.Shut)
        ::shutdown(entry.Fd, SHUT_RDWR);
    entry.Shut = true;
}

bool TConnectionGuard::Opened(const void* connection, int fd, const sockaddr* peer)
{
    std::lock_guard lock(Mutex);
    TEntry& entry = Entries[connection];
    entry.Fd = fd;
    entry.Group = ClientGroup(peer, Prefixes);
    entry.Since = TClock::now();
    const unsigned count = ++Groups[entry.Group];
    if (PerGroup != 0 && count > PerGroup) {
        Shut(entry);
        return false;
    }
    return true;
}

void TConnectionGuard::Closed(const void* connection)
{
    std::lock_guard lock(Mutex);
    const auto it = Entries.find(connection);
    if (it == Entries.end())
        return;
    const auto group = Groups.find(it->second.Group);
    if (group != Groups.end() && --group->second == 0)
        Groups.erase(group);
    Entries.erase(it);
}

void TConnectionGuard::RequestArrived(const void* connection)
{
    std::lock_guard lock(Mutex);
    if (const auto it = Entries.find(connection); it != Entries.end())
        it->second.Busy = true;
}

void TConnectionGuard::Answered(const void* connection)
{
    std::lock_guard lock(Mutex);
    if (const auto it = Entries.find(connection); it != Entries.end()) {
        it->second.Busy = false;
        it->second.Since = TClock::now();
    }
}

std::size_t TConnectionGuard::OpenConnections()
{
    std::lock_guard lock(Mutex);
    return Entries.size();
}

std::size_t TConnectionGuard::Reaped()
{
    std::lock_guard lock(Mutex);
    return ReapedCount;
}

void TConnectionGuard::Reap()
{
    // Checked ten times a deadline: a connection lives at most a tenth of
    // it past its time.
    const auto step = std::max(std::chrono::milliseconds(50), Deadline / 10);
    std::unique_lock lock(Mutex);
    while (!Stopping) {
        Wake.wait_for(lock, step);
        const auto now = TClock::now();
        for (auto& [connection, entry] : Entries) {
            if (!entry.Busy && !entry.Shut && now - entry.Since > Deadline) {
                Shut(entry);
                ++ReapedCount;
            }
        }
    }
}
