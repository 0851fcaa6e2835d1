// SPDX-License-Identifier: GPL-3.0-or-later
// Reading a submitted record: the encoded "inf" value is decoded, split into
// its fields and every field checked before anything reaches the store.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// Longest "inf" value accepted; a record of the longest name, add text,
// score and token encodes to well under this.
inline constexpr std::size_t MaxEncodedRecord = 256;

// Scores above this are not believed.
inline constexpr int64_t MaxPlausibleScore = 100'000'000;

// Tokens the server hands out: this many characters of [0-9a-f].
inline constexpr std::size_t TokenLength = 32;

struct TSubmission {
    std::string Name;
    int64_t Score = 0;
    std::string Token;
    std::string AddText;
};

struct TSubmissionCheck {
    bool Ok = false;
    bool TooLong = false;  // refused for its size alone
    std::string Error;     // why it was refused, for the reply
    TSubmission Record;
};

TSubmissionCheck CheckSubmission(std::string_view encoded);

// True for 1 to `maxLength` letters A-Z (0 allowed when `allowEmpty`).
bool IsLetters(std::string_view text, std::size_t maxLength, bool allowEmpty);

// True for a token of the form the server hands out.
bool IsToken(std::string_view text);
