// SPDX-License-Identifier: GPL-3.0-or-later
// Sending a score to the score server, and the two web pages of the site.
#include "Unit1.h"

#include "ScoreRecord.h"
#include "ServerAddress.h"
#include "ServerRequests.h"
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

} // namespace

void TMainForm::RequestGameToken()
{
    const std::string address = ServerAddress();
    GameTokenRequest = address.empty() ? nullptr : Platform.Http().Start(ScoreServerRequest(address, VersionQuery));
}

void TMainForm::SubmitScore()
{
    SubmittedToken.clear();
    // The token asked for as the game started, when it came.
    std::string token;
    bool haveToken = false;
    if (GameTokenRequest != nullptr) {
        const THttpResult& result = GameTokenRequest->Poll();
        if (result.Outcome == THttpOutcome::Ok && result.Body.compare(0, 2, "OK") == 0) {
            token = ReplyField(result.Body, 5);
            haveToken = true;
        }
        GameTokenRequest.reset();
    }
    const std::string address = ServerAddress();
    if (address.empty()) {
        Platform.MessageBox().Show("Zarvenok", NoServerText(Folders, "the score is kept in the local table only"));
        return;
    }
    IHttpClient& http = Platform.Http();
    // A game-start token may have expired in a long game: the submission
    // then goes once more with a token asked for now, as the game always did.
    for (bool early = haveToken;; early = false) {
        if (!haveToken) {
            std::string reply;
            try {
                reply = http.Get(ScoreServerRequest(address, VersionQuery));
            } catch (const std::exception&) {
                // Any failure leaves the reply empty.
            }
            if (reply.compare(0, 2, "OK") != 0) {
                Platform.MessageBox().Show("Zarvenok", "Can't connect to server!");
                return;
            }
            // The token is the reply's fifth field.
            token = ReplyField(reply, 5);
        }
        // The buffers as they are at this moment.
        const std::string record = BuildScoreRecord(Edit2, Score, token, Edit1);
        try {
            const std::string reply =
                http.Get(ScoreServerRequest(address, std::string(SubmissionQueryPrefix) + EncodeLine(record)));
            if (reply.compare(0, 2, "OK") == 0) SubmittedToken = token;
            return;
        } catch (const std::exception&) {
            // A failed submission is silent: the local table holds the score.
            if (!early) return;
            haveToken = false;
        }
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
