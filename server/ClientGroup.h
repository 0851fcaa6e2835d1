// SPDX-License-Identifier: GPL-3.0-or-later
// Clients counted together: the addresses of one IPv4 /24 or one IPv6 /64
// (by default) usually belong to one household, office or host, and an
// attacker with many addresses usually has them in one such block.
#pragma once

#include <string>
#include <string_view>

struct sockaddr;

struct TGroupPrefixes {
    unsigned V4 = 24;  // 32 counts each IPv4 address alone
    unsigned V6 = 64;  // 128 counts each IPv6 address alone
};

// "203.0.113.0/24", "2001:db8:1:2::/64"; an IPv4 address mapped into IPv6
// counts as IPv4. Anything else is its own group under its own name.
std::string ClientGroup(const sockaddr* address, TGroupPrefixes prefixes);
// The same from a numeric address in text (as a proxy forwards it).
std::string ClientGroup(std::string_view address, TGroupPrefixes prefixes);
// The address itself in text, "?" when there is none.
std::string AddressText(const sockaddr* address);
