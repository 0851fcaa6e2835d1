// SPDX-License-Identifier: GPL-3.0-or-later
// Decoding and checking a submitted record.
#include "Submission.h"

#include "ScoreRecord.h"
#include "TextEncoding.h"

#include <array>
#include <charconv>

namespace {

TSubmissionCheck Refuse(std::string error)
{
    TSubmissionCheck check;
    check.Error = std::move(error);
    return check;
}

// Decimal with an optional minus, no leading zeros, so that one score has
// one spelling.
bool ParseScore(std::string_view text, int64_t& score)
{
    if (text.empty() || text.size() > 12)
        return false;
    const std::string_view digits = text.front() == '-' ? text.substr(1) : text;
    if (digits.empty() || (digits.front() == '0' && text.size() > 1))
        return false;
    for (char c : digits)
        if (c < '0' || c > '9')
            return false;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), score);
    return ec == std::errc() && end == text.data() + text.size();
}

} // namespace

bool IsLetters(std::string_view text, std::size_t maxLength, bool allowEmpty)
{
    if (text.size() > maxLength || (text.empty() && !allowEmpty))
        return false;
    for (char c : text)
        if (c < 'A' || c > 'Z')
            return false;
    return true;
}

TSubmissionCheck CheckSubmission(std::string_view encoded)
{
    if (encoded.size() > MaxEncodedRecord) {
        auto check = Refuse("record too long");
        check.TooLong = true;
        return check;
    }
    if (encoded.empty())
        return Refuse("empty record");
    for (char c : encoded)
        if (Base32Alphabet.find(c) == std::string_view::npos)
            return Refuse("record holds a character outside the alphabet");
    // A record of 5n bytes encodes to exactly 8n characters; any other length
    // was not made by padding the record.
    if (encoded.size() % 8 != 0)
        return Refuse("record length is not a whole number of groups");

    const std::string plain = DecodeLine(encoded);

    static constexpr std::array<std::string_view, 7> Keys = {"type", "name", "score", "key",
                                                             "p",    "add",  "z"};
    std::array<std::string_view, 7> values;
    std::string_view rest = plain;
    for (std::size_t i = 0; i < Keys.size(); ++i) {
        const auto bar = rest.find('|');
        const std::string_view field = rest.substr(0, bar);
        const auto eq = field.find('=');
        if (eq == std::string_view::npos || field.substr(0, eq) != Keys[i])
            return Refuse("field " + std::to_string(i + 1) + " is not \"" + std::string(Keys[i]) + "=\"");
        values[i] = field.substr(eq + 1);
        if (bar == std::string_view::npos) {
            if (i + 1 != Keys.size())
                return Refuse("record has too few fields");
            rest = {};
        } else {
            if (i + 1 == Keys.size())
                return Refuse("record has too many fields");
            rest.remove_prefix(bar + 1);
        }
    }

    TSubmissionCheck check;
    if (values[0] != "0")
        return Refuse("type must be 0");
    if (!IsLetters(values[1], 10, false))
        return Refuse("name must be 1 to 10 letters A-Z");
    if (!ParseScore(values[2], check.Record.Score))
        return Refuse("score is not a decimal integer");
    if (check.Record.Score < 0 || check.Record.Score > MaxPlausibleScore)
        return Refuse("score is out of range");
    if (values[3] != std::string_view(&ScoreKeyLetter, 1))
        return Refuse("wrong key");
    if (!IsToken(values[4]))
        return Refuse("malformed token");
    if (!IsLetters(values[5], 10, true))
        return Refuse("add text must be up to 10 letters A-Z");
    // The whole record is 5n bytes, so at most four zeros are exactly the
    // padding the game appends.
    const std::string_view zeros = values[6];
    if (zeros.find_first_not_of('0') != std::string_view::npos || zeros.size() > 4)
        return Refuse("bad padding");

    check.Ok = true;
    check.Record.Name = values[1];
    check.Record.Token = values[4];
    check.Record.AddText = values[5];
    return check;
}

bool IsToken(std::string_view text)
{
    if (text.size() != TokenLength)
        return false;
    for (char c : text)
        if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f')))
            return false;
    return true;
}
