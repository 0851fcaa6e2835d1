// SPDX-License-Identifier: GPL-3.0-or-later
// HTML and JSON for the site.
#include "Pages.h"

#include "ScoreRecord.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <cstdio>
#include <ctime>

namespace {

// Fits a phone 360 px wide: on a narrow screen the margins and cell
// padding shrink, a long name or squad wraps inside its cell rather than
// pushing the rest off the screen, and the squad and date give way to what
// the verification found.
constexpr std::string_view Style = R"(<style>
body{font-family:sans-serif;background:#1d2416;color:#e8e4d0;max-width:48em;margin:2em auto;padding:0 1em}
a{color:#f0c040}
table{border-collapse:collapse;width:100%}
th,td{padding:.3em .6em;text-align:left;border-bottom:1px solid #46513a}
td.t{overflow-wrap:anywhere}
.n{text-align:right;font-variant-numeric:tabular-nums}
.d{white-space:nowrap}
nav a,nav strong{margin-right:1em}
a.v{text-decoration:none;color:#7fd17f}
@media (max-width:30em){body{margin:1em auto;padding:0 .5em;font-size:14px}h1{font-size:1.4em}th,td{padding:.3em .2em}nav a,nav strong{margin-right:.6em}.w{display:none}}
</style>)";

std::string Head(std::string_view title)
{
    std::string html = "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n"
                       "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n<title>";
    html += HtmlEscape(title);
    html += "</title>\n";
    html += Style;
    html += "\n</head>\n<body>\n";
    return html;
}

// The pages that can be asked for: the rows past the last of them are
// counted but not shown.
int64_t PageCount(const TScorePage& rows)
{
    const int64_t pages = rows.Total == 0 ? 1 : (rows.Total + TablePageSize - 1) / TablePageSize;
    return std::min<int64_t>(pages, MaxTablePage);
}

std::string TableLink(EPeriod period, int page, bool all)
{
    std::string link = "/cgi/version.pl?prg=Zarvenok&amp;show&amp;type=0";
    if (period == EPeriod::Week)
        link += "&amp;period=week";
    if (page > 1)
        link += "&amp;page=" + std::to_string(page);
    if (all)
        link += "&amp;all=1";
    return link;
}

std::string ReplayLink(const TScoreRow& row)
{
    return std::string(ReplayUploadPath) + "/" + std::to_string(row.Id);
}

bool Verified(const TScoreRow& row)
{
    return row.State == ScoreState::Verified;
}

// What the table says of a score's state.
std::string StateText(const TScoreRow& row)
{
    if (row.State == ScoreState::Unverified)
        return "unverified (no replay)";
    if (row.State == ScoreState::Pending)
        return "being verified";
    return row.Detail.empty() ? row.State : row.Detail;
}

} // namespace

std::string HtmlEscape(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += "&quot;"; break;
        case '\'': out += "&#39;"; break;
        default:
            // Control bytes and bytes past ASCII are never part of a name the
            // game can type; show them as a placeholder rather than raw.
            if (static_cast<unsigned char>(c) < 0x20 || static_cast<unsigned char>(c) >= 0x7f)
                out += "&#xFFFD;";
            else
                out += c;
        }
    }
    return out;
}

std::string FormatDate(int64_t seconds)
{
    const std::time_t time = static_cast<std::time_t>(seconds);
    std::tm parts{};
    if (gmtime_r(&time, &parts) == nullptr)
        return "?";
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%d", &parts);
    return text;
}

std::string HomePage()
{
    std::string html = Head("Zarvenok");
    html += R"(<h1>Zarvenok</h1>
<p>A single-player 2D shooting game for the desktop. You look at a fixed
battlefield from the front and aim a crosshair with the mouse: soldiers,
tanks, trucks and a helicopter appear, take cover behind the scenery and
shoot back. Shoot the bonuses they drop for a bomb, a medical kit, an extra
life, money, an artillery strike or ten seconds of burst fire, and stay alive
as the levels get harder.</p>
<h2>Install</h2>
<p>On Debian 12, from a copy of the source:</p>
<pre>scripts/play</pre>
<p>installs the packages the game needs, builds it and starts it.</p>
<h2>Play</h2>
<ul>
<li>Move the mouse to aim, press a button to shoot; with burst fire, hold it.</li>
<li>P pauses, Esc leaves a screen, Alt+Enter switches between window and full screen.</li>
<li>A score that enters your local table can be sent here: type your name on the
game-over screen and keep the send box ticked.</li>
</ul>
<h2>Scores</h2>
<p><a href="/cgi/version.pl?prg=Zarvenok&amp;show&amp;type=0">The online high-score table</a>
(<a href="/cgi/version.pl?prg=Zarvenok&amp;show&amp;type=0&amp;period=week">this week</a>).</p>
</body>
</html>
)";
    return html;
}

std::string TablePage(const TScorePage& rows, EPeriod period, int page, bool all)
{
    const bool week = period == EPeriod::Week;
    std::string html = Head(week ? "Zarvenok: scores of the week" : "Zarvenok: all-time scores");
    html += week ? "<h1>Scores of the week</h1>\n" : "<h1>All-time scores</h1>\n";
    html += "<nav>";
    html += week ? "<a href=\"" + TableLink(EPeriod::AllTime, 1, all) + "\">All time</a><strong>This week</strong>"
                 : "<strong>All time</strong><a href=\"" + TableLink(EPeriod::Week, 1, all) + "\">This week</a>";
    html += all ? "<a href=\"" + TableLink(period, 1, false) + "\">Verified only</a>"
                : "<a href=\"" + TableLink(period, 1, true) + "\">Every score</a>";
    html += "<a href=\"/\">Home</a></nav>\n";
    html += all ? "<p>Every score sent, with what its replay showed. &#10003; marks a score the server re-ran "
                  "from its replay and found true.</p>\n"
                : "<p>Scores the server re-ran from their replays and found true (&#10003;: the replay).</p>\n";
    if (rows.Rows.empty()) {
        html += "<p id=\"empty\">No scores yet.</p>\n";
    } else {
        html += "<table id=\"scores\">\n<thead><tr><th class=\"n\">Rank</th><th>Name</th><th class=\"n\">Score</th>"
                "<th></th><th class=\"w\">Squad</th><th class=\"n\">Level</th><th class=\"n\">Time</th>"
                "<th class=\"d w\">Date</th>";
        if (all)
            html += "<th>State</th>";
        html += "</tr></thead>\n<tbody>\n";
        for (const auto& row : rows.Rows) {
            html += "<tr><td class=\"n\">" + std::to_string(row.Rank) + "</td><td class=\"t\">" +
                    HtmlEscape(row.Name) + "</td><td class=\"n\">" + std::to_string(row.Score) + "</td><td>";
            if (Verified(row))
                html += "<a class=\"v\" href=\"" + ReplayLink(row) + "\" title=\"verified: its replay\">&#10003;</a>";
            html += "</td><td class=\"t w\">" + HtmlEscape(row.Squad) + "</td><td class=\"n\">" +
                    (row.Level ? std::to_string(*row.Level) : "") + "</td><td class=\"n\">" +
                    (row.GameTimeMs ? FormatGameTime(*row.GameTimeMs) : "") + "</td><td class=\"d w\">" +
                    FormatDate(row.SubmittedAt) + "</td>";
            if (all)
                html += "<td class=\"t s\">" + HtmlEscape(StateText(row)) + "</td>";
            html += "</tr>\n";
        }
        html += "</tbody>\n</table>\n";
    }
    const int64_t pages = PageCount(rows);
    html += "<p class=\"pages\">";
    if (page > 1)
        html += "<a rel=\"prev\" href=\"" + TableLink(period, page - 1, all) + "\">Previous</a> ";
    html += "Page " + std::to_string(page) + " of " + std::to_string(pages);
    if (rows.Total > pages * TablePageSize)
        html += " (the best " + std::to_string(pages * TablePageSize) + " of " + std::to_string(rows.Total) +
                " scores)";
    if (page < pages)
        html += " <a rel=\"next\" href=\"" + TableLink(period, page + 1, all) + "\">Next</a>";
    html += "</p>\n<p><a href=\"" + std::string(JsonPath) + "?period=" +
            std::string(PeriodName(period)) + "&amp;page=" + std::to_string(page) + (all ? "&amp;all=1" : "") +
            "\">JSON</a></p>\n</body>\n</html>\n";
    return html;
}

std::string TableJson(const TScorePage& rows, EPeriod period, int page, bool all)
{
    nlohmann::json scores = nlohmann::json::array();
    for (const auto& row : rows.Rows) {
        nlohmann::json score = {{"rank", row.Rank},
                                {"name", row.Name},
                                {"score", row.Score},
                                {"squad", row.Squad},
                                {"date", FormatDate(row.SubmittedAt)},
                                {"time", row.SubmittedAt},
                                {"id", row.Id},
                                {"verified", Verified(row)},
                                {"state", row.State}};
        if (row.Level)
            score["level"] = *row.Level;
        if (row.GameTimeMs)
            score["gameTimeMs"] = *row.GameTimeMs;
        if (!row.Detail.empty())
            score["detail"] = row.Detail;
        if (row.State != ScoreState::Unverified)
            score["replay"] = ReplayLink(row);
        scores.push_back(std::move(score));
    }
    const nlohmann::json doc = {{"period", PeriodName(period)},
                                {"page", page},
                                {"pageSize", TablePageSize},
                                {"pages", PageCount(rows)},
                                {"total", rows.Total},
                                {"all", all},
                                {"scores", scores}};
    // Stored bytes need not be UTF-8; replace rather than throw.
    return doc.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace) + "\n";
}

std::string FormatGameTime(int64_t milliseconds)
{
    const int64_t seconds = std::max<int64_t>(0, milliseconds) / 1000;
    const int64_t rest = seconds % 60;
    return std::to_string(seconds / 60) + (rest < 10 ? ":0" : ":") + std::to_string(rest);
}

std::string MetricsPage(const TVerifyCounts& counts)
{
    std::string text;
    auto metric = [&](std::string_view name, std::string_view type, std::string_view help) {
        text += "# HELP " + std::string(name) + " " + std::string(help) + "\n# TYPE " + std::string(name) + " " +
                std::string(type) + "\n";
    };
    auto line = [&](std::string_view name, const std::string& labels, const std::string& value) {
        text += std::string(name) + (labels.empty() ? "" : "{" + labels + "}") + " " + value + "\n";
    };
    metric("zarvenok_verify_queue_length", "gauge", "Replays waiting for a worker.");
    line("zarvenok_verify_queue_length", "", std::to_string(counts.Queued));
    int64_t settled = 0;
    int64_t failed = 0;
    metric("zarvenok_scores", "gauge", "Scores by the state of their verification.");
    for (const auto& [state, n] : counts.Scores) {
        line("zarvenok_scores", "state=\"" + state + "\"", std::to_string(n));
        if (state == ScoreState::Failed)
            failed += n;
        else if (state != ScoreState::Unverified && state != ScoreState::Pending)
            settled += n;
    }
    metric("zarvenok_verify_jobs", "gauge", "Verification jobs by state.");
    line("zarvenok_verify_jobs", "state=\"queued\"", std::to_string(counts.Queued));
    line("zarvenok_verify_jobs", "state=\"running\"", std::to_string(counts.Running));
    line("zarvenok_verify_jobs", "state=\"done\"", std::to_string(settled));
    line("zarvenok_verify_jobs", "state=\"failed\"", std::to_string(failed));
    metric("zarvenok_verify_seconds", "histogram", "Time a settled verification took, the re-run included.");
    int64_t count = 0;
    int64_t totalMs = 0;
    for (const auto& bucket : counts.Times) {
        const bool last = &bucket == &counts.Times.back();
        char bound[32];
        std::snprintf(bound, sizeof bound, "%g", static_cast<double>(bucket.UpToMs) / 1000);
        line("zarvenok_verify_seconds_bucket", std::string("le=\"") + (last ? "+Inf" : bound) + "\"",
             std::to_string(bucket.Jobs));
        count = bucket.Jobs;
        totalMs = bucket.TotalMs;
    }
    char sum[32];
    std::snprintf(sum, sizeof sum, "%.3f", static_cast<double>(totalMs) / 1000);
    line("zarvenok_verify_seconds_sum", "", sum);
    line("zarvenok_verify_seconds_count", "", std::to_string(count));
    return text;
}
