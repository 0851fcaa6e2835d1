// SPDX-License-Identifier: GPL-3.0-or-later
// Addresses to their groups.
#include "ClientGroup.h"

#include <arpa/inet.h>
#include <netinet/in.h>

#include <algorithm>
#include <cstring>

namespace {

// Keeps the first `bits` bits of `bytes`.
void Mask(unsigned char* bytes, std::size_t size, unsigned bits)
{
    for (std::size_t i = 0; i < size; ++i) {
        const unsigned keep = std::min(8U, bits - std::min(bits, static_cast<unsigned>(i * 8)));
        bytes[i] &= static_cast<unsigned char>(0xff00U >> keep);
    }
}

std::string V4Group(in_addr address, unsigned bits)
{
    bits = std::min(bits, 32U);
    Mask(reinterpret_cast<unsigned char*>(&address), sizeof address, bits);
    char text[INET_ADDRSTRLEN] = "?";
    inet_ntop(AF_INET, &address, text, sizeof text);
    return std::string(text) + "/" + std::to_string(bits);
}

std::string V6Group(in6_addr address, TGroupPrefixes prefixes)
{
    if (IN6_IS_ADDR_V4MAPPED(&address)) {
        in_addr v4;
        std::memcpy(&v4, address.s6_addr + 12, sizeof v4);
        return V4Group(v4, prefixes.V4);
    }
    const unsigned bits = std::min(prefixes.V6, 128U);
    Mask(address.s6_addr, sizeof address.s6_addr, bits);
    char text[INET6_ADDRSTRLEN] = "?";
    inet_ntop(AF_INET6, &address, text, sizeof text);
    return std::string(text) + "/" + std::to_string(bits);
}

} // namespace

std::string ClientGroup(const sockaddr* address, TGroupPrefixes prefixes)
{
    if (address == nullptr)
        return "?";
    if (address->sa_family == AF_INET)
        return V4Group(reinterpret_cast<const sockaddr_in*>(address)->sin_addr, prefixes.V4);
    if (address->sa_family == AF_INET6)
        return V6Group(reinterpret_cast<const sockaddr_in6*>(address)->sin6_addr, prefixes);
    return "?";
}

std::string ClientGroup(std::string_view address, TGroupPrefixes prefixes)
{
    const std::string text(address);
    in_addr v4;
    if (inet_pton(AF_INET, text.c_str(), &v4) == 1)
        return V4Group(v4, prefixes.V4);
    in6_addr v6;
    if (inet_pton(AF_INET6, text.c_str(), &v6) == 1)
        return V6Group(v6, prefixes);
    return text;
}

std::string AddressText(const sockaddr* address)
{
    char text[INET6_ADDRSTRLEN] = "?";
    if (address == nullptr)
        return text;
    if (address->sa_family == AF_INET)
        inet_ntop(AF_INET, &reinterpret_cast<const sockaddr_in*>(address)->sin_addr, text, sizeof text);
    else if (address->sa_family == AF_INET6)
        inet_ntop(AF_INET6, &reinterpret_cast<const sockaddr_in6*>(address)->sin6_addr, text, sizeof text);
    return text;
}
