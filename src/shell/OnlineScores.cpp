// SPDX-License-Identifier: GPL-3.0-or-later
// Sending a score to the score server, and the two web pages of the site.
#include "Unit1.h"

#include "ScoreRecord.h"
#include "ServerAddress.h"
#include "TextEncoding.h"

#include <cstdlib>
#include <exception>

std::string TMainForm::ServerAddress() const
{
    // Read at each use: a server.url written while the game runs counts.
    return ResolveServerAddress(std::getenv("ZARVENOK_SERVER"), Folders.Settings / "server.url", ZARVENOK_SERVER_URL);
}

namespace {

// Without a server, what was not done and how to name one.
std::string NoServerText(const TGameFolders& folders, const std::string& what)
{
    const std::string file = folders.Settings.empty() ? "server.url in the folder the game runs from"
                                                      : (folders.Settings / "server.url").string();
    return "No score server is set, so " + what +
           ".\nTo name one, write its address (such as http://scores.example.org) on the first line of " + file +
           ", or set the environment variable ZARVENOK_SERVER.";
}

THttpRequest ServerRequest(const std::string& address, std::string_view query)
{
    THttpRequest request;
    request.Url = address + std::string(ScoreServerPath) + "?" + PercentEncodeQuery(query);
    request.Headers = {{"User-Agent", "Mozilla/3.0 (compatible; Indy Library)"},
                       {"Accept", "text/html, */*"},
                       {"Content-Type", "text/html"}};
    // Bounded: a server that accepts and never answers must not freeze the
    // game for ever (the display waits for each reply).
    request.ConnectTimeoutMs = 5000;
    request.TimeoutMs = 10000;
    return request;
}

} // namespace

void TMainForm::SubmitScore()
{
    const std::string address = ServerAddress();
    if (address.empty()) {
        Platform.MessageBox().Show("Zarvenok", NoServerText(Folders, "the score is kept in the local table only"));
        return;
    }
    IHttpClient& http = Platform.Http();
    std::string reply;
    try {
        reply = http.Get(ServerRequest(address, VersionQuery));
    } catch (const std::exception&) {
        // Any failure leaves the reply empty.
    }
    if (reply.compare(0, 2, "OK") != 0) {
        Platform.MessageBox().Show("Zarvenok", "Can't connect to server!");
        return;
    }
    // The buffers as they are at this moment; the token is the reply's fifth field.
    const std::string record = BuildScoreRecord(Edit2, Score, ReplyField(reply, 5), Edit1);
    try {
        http.Get(ServerRequest(address, std::string(SubmissionQueryPrefix) + EncodeLine(record)));
    } catch (const std::exception&) {
        // A failed submission is silent: the local table holds the score.
    }
}

void TMainForm::GoWeb(const std::string& address)
{
    // The page addresses are empty when no server is set.
    if (address.empty()) {
        Platform.MessageBox().Show("Zarvenok", NoServerText(Folders, "there is no web site to open"));
        return;
    }
    Platform.Shell().Open(address);
}

std::string TMainForm::HomePageAddress() const
{
    const std::string server = ServerAddress();
    return server.empty() ? server : server + "/";
}

std::string TMainForm::OnlineTableAddress() const
{
    const std::string server = ServerAddress();
    return server.empty() ? server : server + std::string(ScoreServerPath) + "?" + std::string(OnlineTableQuery);
}
