// What a submitted score looks like on the wire, shared by the game that
// sends it and the server that checks it: the record, the field the
// version reply hands out, and the queries of the score server.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// The letter every submission carries in its "key" field.
inline constexpr char ScoreKeyLetter = 'K';

// The path and queries of the score server.
inline constexpr std::string_view ScoreServerPath = "/cgi/version.pl";
inline constexpr std::string_view VersionQuery = "version&prg=Zarvenok";
inline constexpr std::string_view SubmissionQueryPrefix = "hs&prg=Zarvenok&inf=";
inline constexpr std::string_view OnlineTableQuery = "prg=Zarvenok&show&type=0";

struct TScoreRecord {
    std::string Name;
    int32_t Score = 0;
    char Key = ScoreKeyLetter;
    // The fifth field of the version reply, as received.
    std::string P;
    std::string Add;

    friend bool operator==(const TScoreRecord&, const TScoreRecord&) = default;
};

// "type=0|name=..|score=..|key=..|p=..|add=..|z=" and 0 to 4 "0" characters,
// so that the length is a multiple of 5 and the encoding decodes exactly.
std::string FormatScoreRecord(const TScoreRecord& record);

// The record's text read back; empty when it does not have the fields in
// their order, a type of 0 and a whole decimal score. Names and texts are
// returned as they stand: judging them is the reader's business.
std::optional<TScoreRecord> ParseScoreRecord(std::string_view text);

// The fifth "|"-separated field of a version reply (the first begins with
// "OK"); empty when the reply has fewer than five separators.
std::string VersionReplyField(std::string_view reply);

// A query with every byte outside the unreserved set percent-encoded, but
// its "&" and "=" separators kept.
std::string PercentEncodeQuery(std::string_view query);
