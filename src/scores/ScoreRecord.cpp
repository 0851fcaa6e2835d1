// The submitted record and the score server's queries.
#include "ScoreRecord.h"

#include <charconv>
#include <vector>

std::string FormatScoreRecord(const TScoreRecord& record)
{
    std::string text = "type=0|name=" + record.Name + "|score=" + std::to_string(record.Score) + "|key=" +
                       std::string(1, record.Key) + "|p=" + record.P + "|add=" + record.Add + "|z=";
    while (text.size() % 5 != 0) text += '0';
    return text;
}

std::optional<TScoreRecord> ParseScoreRecord(std::string_view text)
{
    // Split on "|": exactly the seven fields, each "key=value" in order.
    std::vector<std::string_view> fields;
    for (size_t start = 0;;) {
        const size_t bar = text.find('|', start);
        fields.push_back(text.substr(start, bar == std::string_view::npos ? std::string_view::npos : bar - start));
        if (bar == std::string_view::npos) break;
        start = bar + 1;
    }
    static constexpr std::string_view keys[] = {"type", "name", "score", "key", "p", "add", "z"};
    if (fields.size() != std::size(keys)) return std::nullopt;
    std::string_view values[std::size(keys)];
    for (size_t i = 0; i < fields.size(); ++i) {
        const std::string_view field = fields[i];
        if (field.size() <= keys[i].size() || field.substr(0, keys[i].size()) != keys[i] ||
            field[keys[i].size()] != '=')
            return std::nullopt;
        values[i] = field.substr(keys[i].size() + 1);
    }
    if (values[0] != "0" || values[3].size() != 1) return std::nullopt;
    if (values[6].find_first_not_of('0') != std::string_view::npos) return std::nullopt;
    TScoreRecord record;
    const std::string_view score = values[2];
    const auto [end, ec] = std::from_chars(score.data(), score.data() + score.size(), record.Score);
    if (score.empty() || ec != std::errc() || end != score.data() + score.size()) return std::nullopt;
    record.Name = values[1];
    record.Key = values[3][0];
    record.P = values[4];
    record.Add = values[5];
    return record;
}

std::string VersionReplyField(std::string_view reply)
{
    std::string_view field;
    for (int i = 0; i < 5; ++i) {
        const size_t bar = reply.find('|');
        if (bar == std::string_view::npos) {
            // No separator left: this field is empty and the reply stays.
            field = {};
            continue;
        }
        field = reply.substr(0, bar);
        reply = reply.substr(bar + 1);
    }
    return std::string(field);
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
