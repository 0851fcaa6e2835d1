// SPDX-License-Identifier: GPL-3.0-or-later
// The score server's requests.
#include "ServerRequests.h"

#include "ScoreRecord.h"

namespace {

// Bounded: a server that accepts and never answers must not hold the game
// for ever.
void SetCommon(THttpRequest& request)
{
    request.Headers = {{"User-Agent", "Mozilla/3.0 (compatible; Indy Library)"}, {"Accept", "text/html, */*"}};
    request.ConnectTimeoutMs = 5000;
    request.TimeoutMs = 10000;
}

// A request that never leaves the game, already decided.
class TSettledTransfer final : public IHttpTransfer {
public:
    explicit TSettledTransfer(THttpResult result) : Result_(std::move(result)) {}
    const THttpResult& Poll() override { return Result_; }
    void Cancel() override {}

private:
    THttpResult Result_;
};

} // namespace

THttpRequest ScoreServerRequest(const std::string& address, std::string_view query)
{
    THttpRequest request;
    request.Url = address + std::string(ScoreServerPath) + "?" + PercentEncodeQuery(query);
    SetCommon(request);
    request.Headers.emplace_back("Content-Type", "text/html");
    return request;
}

THttpRequest ReplayUploadRequest(const std::string& address, const std::string& token,
                                 std::span<const uint8_t> replay)
{
    THttpRequest request;
    request.Url = address + std::string(ReplayUploadPath) + "?" + PercentEncodeQuery("token=" + token);
    SetCommon(request);
    request.Headers.emplace_back("Content-Type", "application/octet-stream");
    // The body goes at once instead of after a "100 Continue" that some
    // proxies never send.
    request.Headers.emplace_back("Expect", "");
    request.Method = "POST";
    request.Body.assign(replay.begin(), replay.end());
    return request;
}

std::unique_ptr<IHttpTransfer> StartReplayUpload(IHttpClient& http, const std::string& address,
                                                 const std::string& token, std::span<const uint8_t> replay)
{
    if (replay.size() > MaxReplayUploadBytes) {
        THttpResult result;
        result.Outcome = THttpOutcome::Refused;
        result.Status = 413;
        result.Reason = "the replay is larger than the server takes";
        return std::make_unique<TSettledTransfer>(std::move(result));
    }
    return http.Start(ReplayUploadRequest(address, token, replay));
}
