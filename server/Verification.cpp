// SPDX-License-Identifier: GPL-3.0-or-later
// Reading the verifier's line.
#include "Verification.h"

#include <charconv>

namespace {

// Kept for the table: printable ASCII, and short.
constexpr std::size_t MaxDetail = 200;

bool TakePrefix(std::string_view& text, std::string_view prefix)
{
    if (text.substr(0, prefix.size()) != prefix)
        return false;
    text.remove_prefix(prefix.size());
    return true;
}

bool TakeNumber(std::string_view& text, int64_t& value)
{
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end == text.data())
        return false;
    text.remove_prefix(static_cast<std::size_t>(end - text.data()));
    return true;
}

bool Printable(std::string_view text)
{
    for (char c : text)
        if (c < 0x20 || c > 0x7e)
            return false;
    return !text.empty() && text.size() <= MaxDetail;
}

TVerifierLine Settled(std::string_view state, std::string_view line)
{
    TVerifierLine read;
    read.Ok = true;
    read.Outcome.State = std::string(state);
    read.Outcome.Detail = std::string(line);
    return read;
}

} // namespace

TVerifierLine ReadVerifierLine(std::string_view line, int exitStatus)
{
    if (!line.empty() && line.back() == '\n')
        line.remove_suffix(1);
    if (!Printable(line))
        return {};
    std::string_view rest = line;
    int64_t a = 0;
    int64_t b = 0;
    int64_t c = 0;
    switch (exitStatus) {
    case 0:
        if (TakePrefix(rest, "verified: score ") && TakeNumber(rest, a) && TakePrefix(rest, ", level ") &&
            TakeNumber(rest, b) && TakePrefix(rest, ", frames ") && TakeNumber(rest, c) && rest.empty()) {
            TVerifierLine read = Settled(ScoreState::Verified, "verified");
            read.Score = a;
            read.Level = b;
            read.Frames = c;
            read.Outcome.Level = b;
            return read;
        }
        break;
    case 1:
        if (TakePrefix(rest, "desync at frame ") && TakeNumber(rest, a) && rest.empty())
            return Settled(ScoreState::Desync, line);
        rest = line;
        if (TakePrefix(rest, "result differs: claimed ") && TakeNumber(rest, a) && TakePrefix(rest, ", replayed ") &&
            TakeNumber(rest, b) && rest.empty())
            return Settled(ScoreState::Differs, line);
        break;
    case 2:
        if (TakePrefix(rest, "refused: ") && !rest.empty())
            return Settled(ScoreState::Refused, line);
        break;
    case 3:
        if (TakePrefix(rest, "unsupported version: ") && !rest.empty())
            return Settled(ScoreState::Unsupported, line);
        break;
    default:
        break;
    }
    return {};
}

std::string DetailText(std::string_view text)
{
    std::string out;
    for (char c : text.substr(0, MaxDetail))
        out += c >= 0x20 && c <= 0x7e ? c : '?';
    return out;
}
