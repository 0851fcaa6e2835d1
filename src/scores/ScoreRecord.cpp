// SPDX-License-Identifier: GPL-3.0-or-later
// The plain score record and the version reply's fields.
#include "ScoreRecord.h"

std::string BuildScoreRecord(std::string_view name, int32_t score, std::string_view token,
                             std::string_view addText)
{
    std::string record = "type=0|name=";
    record += name;
    record += "|score=";
    record += std::to_string(score);
    record += "|key=";
    record += ScoreKeyLetter;
    record += "|p=";
    record += token;
    record += "|add=";
    record += addText;
    record += "|z=";
    while (record.size() % 5 != 0)
        record += '0';
    return record;
}

std::string ReplyField(std::string_view reply, int index)
{
    std::string field;
    for (int i = 0; i < index; ++i) {
        const auto bar = reply.find('|');
        if (bar == std::string_view::npos) {
            field.clear();
            continue;
        }
        field = reply.substr(0, bar);
        reply.remove_prefix(bar + 1);
    }
    return field;
}

std::string PercentEncodeQuery(std::string_view query)
{
    static constexpr char hex[] = "0123456789ABCDEF";
    std::string out;
    for (const char c : query) {
        const auto u = static_cast<unsigned char>(c);
        const bool plain = (u >= 'A' && u <= 'Z') || (u >= 'a' && u <= 'z') || (u >= '0' && u <= '9') || u == '-' ||
                           u == '.' || u == '_' || u == '~' || u == '&' || u == '=';
        if (plain) {
            out += c;
        } else {
            out += '%';
            out += hex[u >> 4];
            out += hex[u & 15];
        }
    }
    return out;
}
