// SPDX-License-Identifier: GPL-3.0-or-later
// The score submission as the game sends it and the server reads it: the
// plain record, the field of the version reply that carries the token, and
// the server's path and queries.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// The program name both queries carry ("prg=").
inline constexpr std::string_view ScoreProgram = "Zarvenok";

// The fixed letter of the record's "key" field.
inline constexpr char ScoreKeyLetter = 'Z';

// "type=0|name=...|score=...|key=Z|p=...|add=...|z=" followed by the "0"
// characters (0 to 4) that make the length a multiple of 5, so that its
// EncodeLine decodes back exactly.
std::string BuildScoreRecord(std::string_view name, int32_t score, std::string_view token,
                             std::string_view addText);

// Field `index` (1 = the one that begins with "OK") of a "|"-separated
// reply, read the way the game reads it: each step takes the text before
// the first "|" and keeps the text after it; once no "|" is left the field
// is empty. So the last field only counts when a "|" follows it.
std::string ReplyField(std::string_view reply, int index);

// The path and queries of the score server.
inline constexpr std::string_view ScoreServerPath = "/cgi/version.pl";
inline constexpr std::string_view VersionQuery = "version&prg=Zarvenok";
inline constexpr std::string_view SubmissionQueryPrefix = "hs&prg=Zarvenok&inf=";
inline constexpr std::string_view OnlineTableQuery = "prg=Zarvenok&show&type=0";

// A finished game's replay goes to this path as a POST, with the token its
// score was submitted with ("?token="), once the submission has succeeded.
// The server fetches a stored one at this path + "/" + its id.
inline constexpr std::string_view ReplayUploadPath = "/api/replays";
// A game of several hours fits; anything larger is refused by both sides.
inline constexpr size_t MaxReplayUploadBytes = size_t{1} << 20;

// A query with every byte outside the unreserved set percent-encoded, but
// its "&" and "=" separators kept.
std::string PercentEncodeQuery(std::string_view query);
