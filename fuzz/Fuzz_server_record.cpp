// SPDX-License-Identifier: GPL-3.0-or-later
// Fuzzes the server's record check, both from the encoded value and from
// plain records encoded the way the game does. Whatever it accepts must be
// exactly what the game would have sent for those fields.
#include "ScoreRecord.h"
#include "Submission.h"
#include "TextEncoding.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace {

void CheckAccepted(const TSubmissionCheck& check, const std::string& encoded)
{
    if (!check.Ok)
        return;
    const TSubmission& r = check.Record;
    if (!IsLetters(r.Name, 10, false) || !IsLetters(r.AddText, 10, true) || r.Score < 0 ||
        r.Score > MaxPlausibleScore || r.Token.size() != TokenLength)
        __builtin_trap();
    if (EncodeLine(BuildScoreRecord(r.Name, static_cast<int32_t>(r.Score), r.Token, r.AddText)) != encoded)
        __builtin_trap();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string input(reinterpret_cast<const char*>(data), size);
    CheckAccepted(CheckSubmission(input), input);

    std::string plain = input;
    while (plain.size() % 5 != 0)
        plain += '0';
    const std::string encoded = EncodeLine(plain);
    CheckAccepted(CheckSubmission(encoded), encoded);
    return 0;
}
