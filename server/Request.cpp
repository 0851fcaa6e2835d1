// SPDX-License-Identifier: GPL-3.0-or-later
// Reading a request's target.
#include "Request.h"

#include "ScoreRecord.h"
#include "Submission.h"

#include <algorithm>
#include <charconv>
#include <initializer_list>

namespace {

int HexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

std::optional<std::string> PercentDecode(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '+') {
            out += ' ';
        } else if (c == '%') {
            if (text.size() - i < 3)
                return std::nullopt;
            const int high = HexValue(text[i + 1]);
            const int low = HexValue(text[i + 2]);
            if (high < 0 || low < 0)
                return std::nullopt;
            out += static_cast<char>(high * 16 + low);
            i += 2;
        } else {
            out += c;
        }
    }
    return out;
}

TRequest Fail(int status, std::string error)
{
    TRequest request;
    request.Status = status;
    request.Error = std::move(error);
    return request;
}

const TQueryParam* Find(const std::vector<TQueryParam>& params, std::string_view key)
{
    for (const auto& param : params)
        if (param.Key == key)
            return &param;
    return nullptr;
}

// Every key present must be one of `allowed`; returns the first stranger.
const TQueryParam* Stranger(const std::vector<TQueryParam>& params,
                            std::initializer_list<std::string_view> allowed)
{
    for (const auto& param : params)
        if (std::find(allowed.begin(), allowed.end(), param.Key) == allowed.end())
            return &param;
    return nullptr;
}

bool IsBare(const TQueryParam* param)
{
    return param != nullptr && (!param->Value || param->Value->empty());
}

// The optional paging parameters shared by the HTML and JSON tables.
bool ReadPaging(const std::vector<TQueryParam>& params, TRequest& request)
{
    if (const auto* period = Find(params, "period")) {
        if (period->Value == "all")
            request.Period = EPeriod::AllTime;
        else if (period->Value == "week")
            request.Period = EPeriod::Week;
        else {
            request = Fail(400, "period must be all or week");
            return false;
        }
    }
    if (const auto* page = Find(params, "page")) {
        const std::string& text = page->Value.value_or("");
        int value = 0;
        const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
        if (text.empty() || ec != std::errc() || end != text.data() + text.size() || value < 1 ||
            value > MaxTablePage) {
            request = Fail(400, "page must be a number from 1 to " + std::to_string(MaxTablePage));
            return false;
        }
        request.Page = value;
    }
    if (const auto* all = Find(params, "all")) {
        if (all->Value != "1" && all->Value != "0") {
            request = Fail(400, "all must be 0 or 1");
            return false;
        }
        request.All = all->Value == "1";
    }
    return true;
}

TRequest ClassifyCgi(const std::vector<TQueryParam>& params)
{
    const auto* prg = Find(params, "prg");
    if (prg == nullptr || prg->Value != ScoreProgram)
        return Fail(400, "unknown program");

    const bool version = Find(params, "version") != nullptr;
    const bool submit = Find(params, "hs") != nullptr;
    const bool show = Find(params, "show") != nullptr;
    if (version + submit + show != 1)
        return Fail(400, "ask for exactly one of version, hs and show");

    TRequest request;
    if (version) {
        if (const auto* other = Stranger(params, {"version", "prg"}))
            return Fail(400, "unknown parameter " + other->Key);
        if (!IsBare(Find(params, "version")))
            return Fail(400, "version takes no value");
        request.Kind = ERequestKind::Version;
        return request;
    }
    if (submit) {
        if (const auto* other = Stranger(params, {"hs", "prg", "inf"}))
            return Fail(400, "unknown parameter " + other->Key);
        if (!IsBare(Find(params, "hs")))
            return Fail(400, "hs takes no value");
        const auto* inf = Find(params, "inf");
        if (inf == nullptr || !inf->Value || inf->Value->empty())
            return Fail(400, "no record");
        if (inf->Value->size() > MaxEncodedRecord)
            return Fail(414, "record too long");
        request.Kind = ERequestKind::Submit;
        request.Inf = *inf->Value;
        return request;
    }
    if (const auto* other = Stranger(params, {"show", "prg", "type", "period", "page", "all"}))
        return Fail(400, "unknown parameter " + other->Key);
    if (!IsBare(Find(params, "show")))
        return Fail(400, "show takes no value");
    const auto* type = Find(params, "type");
    if (type == nullptr || type->Value != "0")
        return Fail(400, "type must be 0");
    request.Kind = ERequestKind::Table;
    ReadPaging(params, request);
    return request;
}

} // namespace

TQueryParse ParseQuery(std::string_view query)
{
    TQueryParse parse;
    while (!query.empty()) {
        const auto amp = query.find('&');
        const std::string_view part = query.substr(0, amp);
        query = amp == std::string_view::npos ? std::string_view{} : query.substr(amp + 1);
        if (part.empty())
            continue;
        const auto eq = part.find('=');
        TQueryParam param;
        auto key = PercentDecode(part.substr(0, eq));
        if (!key || key->empty()) {
            parse.Error = key ? "empty parameter name" : "broken percent escape";
            return parse;
        }
        param.Key = std::move(*key);
        if (eq != std::string_view::npos) {
            param.Value = PercentDecode(part.substr(eq + 1));
            if (!param.Value) {
                parse.Error = "broken percent escape";
                return parse;
            }
        }
        if (Find(parse.Params, param.Key) != nullptr) {
            parse.Error = "parameter " + param.Key + " given twice";
            return parse;
        }
        parse.Params.push_back(std::move(param));
    }
    parse.Ok = true;
    return parse;
}

TRequest ClassifyRequest(std::string_view target)
{
    if (target.size() > MaxTargetLength)
        return Fail(414, "request too long");
    const auto mark = target.find('?');
    const std::string_view path = target.substr(0, mark);
    const std::string_view query =
        mark == std::string_view::npos ? std::string_view{} : target.substr(mark + 1);

    const TQueryParse parse = ParseQuery(query);
    if (!parse.Ok)
        return Fail(400, parse.Error);

    if (path == "/" || path == "/index.html") {
        if (!parse.Params.empty())
            return Fail(400, "the home page takes no parameters");
        TRequest request;
        request.Kind = ERequestKind::Home;
        return request;
    }
    if (path == HealthPath) {
        if (!parse.Params.empty())
            return Fail(400, "the health check takes no parameters");
        TRequest request;
        request.Kind = ERequestKind::Health;
        return request;
    }
    if (path == "/cgi/version.pl")
        return ClassifyCgi(parse.Params);
    if (path == JsonPath) {
        if (const auto* other = Stranger(parse.Params, {"period", "page", "all"}))
            return Fail(400, "unknown parameter " + other->Key);
        TRequest request;
        request.Kind = ERequestKind::TableJson;
        ReadPaging(parse.Params, request);
        return request;
    }
    if (path == ReplayUploadPath) {
        if (const auto* other = Stranger(parse.Params, {"token"}))
            return Fail(400, "unknown parameter " + other->Key);
        const auto* token = Find(parse.Params, "token");
        if (token == nullptr || !token->Value || !IsToken(*token->Value))
            return Fail(400, "no token of the right form");
        TRequest request;
        request.Kind = ERequestKind::Upload;
        request.Token = *token->Value;
        return request;
    }
    if (path.substr(0, ReplayUploadPath.size() + 1) == std::string(ReplayUploadPath) + "/") {
        const std::string_view digits = path.substr(ReplayUploadPath.size() + 1);
        int64_t id = 0;
        const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), id);
        if (digits.empty() || ec != std::errc() || end != digits.data() + digits.size() || id < 1 || !parse.Params.empty())
            return Fail(404, "no such replay");
        TRequest request;
        request.Kind = ERequestKind::ReplayFile;
        request.ReplayId = id;
        return request;
    }
    if (path == MetricsPath) {
        if (!parse.Params.empty())
            return Fail(400, "the metrics take no parameters");
        TRequest request;
        request.Kind = ERequestKind::Metrics;
        return request;
    }
    return Fail(404, "no such page");
}

std::string_view PeriodName(EPeriod period)
{
    return period == EPeriod::Week ? "week" : "all";
}
