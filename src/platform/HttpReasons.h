// SPDX-License-Identifier: GPL-3.0-or-later
// What a player is told when a request to the score server does not
// succeed: the server's own reason when it gave one, plain words otherwise.
// Shared by the real client and the headless one, so both say the same.
#pragma once

#include <string>
#include <string_view>

namespace HttpReason {
inline constexpr std::string_view NoConnection = "could not connect to the server";
inline constexpr std::string_view TimedOut = "no answer from the server in time";
inline constexpr std::string_view TooLong = "the server's reply was too long";
inline constexpr std::string_view Broken = "the connection to the server broke";
inline constexpr std::string_view Cancelled = "cancelled";
} // namespace HttpReason

// The reason in a refusal's "ERROR|reason" body, made safe to show (one
// line of printable ASCII, at most 80 characters); without one, a phrase
// for the status.
inline std::string RefusalReason(int status, std::string_view body)
{
    constexpr std::string_view Prefix = "ERROR|";
    if (body.substr(0, Prefix.size()) == Prefix) {
        std::string reason;
        for (char c : body.substr(Prefix.size())) {
            if (c == '\n' || c == '\r' || c == '|' || reason.size() >= 80)
                break;
            if (c >= 0x20 && c < 0x7f)
                reason += c;
        }
        while (!reason.empty() && reason.back() == ' ')
            reason.pop_back();
        const auto start = reason.find_first_not_of(' ');
        if (start != std::string::npos)
            return reason.substr(start);
    }
    if (status >= 300 && status < 400)
        return "the server sent the request elsewhere";
    if (status == 429)
        return "too many requests; try again later";
    if (status >= 500)
        return "the server cannot take it now; try again later";
    return "the server refused it (status " + std::to_string(status) + ")";
}
