// SPDX-License-Identifier: GPL-3.0-or-later
// Requests through libcurl, sharing what a run keeps.
#include "CurlHttpClient.h"

#include "CurlTransfer.h"

#include <curl/curl.h>

#include <mutex>
#include <stdexcept>

namespace {

// libcurl's global setup, once for the process.
void InitialiseCurl()
{
    static std::once_flag once;
    std::call_once(once, [] {
        if (curl_global_init(CURL_GLOBAL_DEFAULT) != CURLE_OK) throw std::runtime_error("libcurl cannot start");
    });
}

} // namespace

TCurlHttpClient::TCurlHttpClient()
{
    InitialiseCurl();
    CURLSH* share = curl_share_init();
    if (share == nullptr) throw std::runtime_error("libcurl cannot make a share handle");
    // One thread uses them all, so no locks are needed.
    curl_share_setopt(share, CURLSHOPT_SHARE, CURL_LOCK_DATA_COOKIE);
    curl_share_setopt(share, CURLSHOPT_SHARE, CURL_LOCK_DATA_DNS);
    curl_share_setopt(share, CURLSHOPT_SHARE, CURL_LOCK_DATA_CONNECT);
    Share_ = share;
}

TCurlHttpClient::~TCurlHttpClient()
{
    curl_share_cleanup(static_cast<CURLSH*>(Share_));
}

std::unique_ptr<IHttpTransfer> TCurlHttpClient::Start(const THttpRequest& request)
{
    return std::make_unique<TCurlTransfer>(Share_, request);
}

std::string TCurlHttpClient::Get(const THttpRequest& request)
{
    TCurlTransfer transfer(Share_, request);
    while (transfer.Poll().Outcome == THttpOutcome::Pending) transfer.Wait(100);
    const THttpResult& result = transfer.Poll();
    if (result.Outcome != THttpOutcome::Ok) throw std::runtime_error(request.Url + ": " + result.Reason);
    return result.Body;
}
