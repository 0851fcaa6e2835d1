// Sending a score to the score server, and the two web pages of the site.
#include "Unit1.h"

#include "ScoreRecord.h"
#include "TextEncoding.h"

#include <cstdlib>
#include <exception>

std::string TMainForm::ServerAddress() const
{
    // A build-time default that the environment can point elsewhere.
    if (const char* address = std::getenv("ZARVENOK_SERVER"); address != nullptr && *address != '\0') {
        std::string text = address;
        while (!text.empty() && text.back() == '/') text.pop_back();
        return text;
    }
    return ZARVENOK_SERVER_URL;
}

namespace {

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
    IHttpClient& http = Platform.Http();
    const std::string address = ServerAddress();
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
    Platform.Shell().Open(address);
}

std::string TMainForm::HomePageAddress() const
{
    return ServerAddress() + "/";
}

std::string TMainForm::OnlineTableAddress() const
{
    return ServerAddress() + std::string(ScoreServerPath) + "?" + std::string(OnlineTableQuery);
}
