// SPDX-License-Identifier: GPL-3.0-or-later
// A request on its own multi handle.
#include "CurlTransfer.h"

#include "HttpReasons.h"

#include <curl/curl.h>

#include <stdexcept>

namespace {

// More header bytes than any honest reply sends.
constexpr size_t MaxHeaderBytes = 16 * 1024;

} // namespace

TCurlTransfer::TCurlTransfer(void* share, const THttpRequest& request) : MaxBytes(request.MaxReplyBytes)
{
    CURL* easy = curl_easy_init();
    CURLM* multi = curl_multi_init();
    if (easy == nullptr || multi == nullptr) {
        curl_easy_cleanup(easy);
        curl_multi_cleanup(multi);
        throw std::runtime_error("libcurl cannot make a handle");
    }
    Easy = easy;
    Multi = multi;
    curl_slist* headers = nullptr;
    for (const auto& [name, value] : request.Headers) {
        curl_slist* list = curl_slist_append(headers, (name + ": " + value).c_str());
        if (list == nullptr) {
            curl_slist_free_all(headers);
            Release();
            throw std::runtime_error("out of memory for the request's headers");
        }
        headers = list;
    }
    HeaderList = headers;
    curl_easy_setopt(easy, CURLOPT_SHARE, static_cast<CURLSH*>(share));
    // An empty cookie file turns the cookie engine on: cookies are kept in
    // the share for the run.
    curl_easy_setopt(easy, CURLOPT_COOKIEFILE, "");
    // No proxy, whatever the environment says.
    curl_easy_setopt(easy, CURLOPT_NOPROXY, "*");
    curl_easy_setopt(easy, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(easy, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(easy, CURLOPT_URL, request.Url.c_str());
    if (request.Method == "POST") {
        // Set before the data, which may hold zero bytes; copied, so the
        // request need not outlive the transfer.
        curl_easy_setopt(easy, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(request.Body.size()));
        curl_easy_setopt(easy, CURLOPT_COPYPOSTFIELDS, request.Body.data());
    } else {
        curl_easy_setopt(easy, CURLOPT_HTTPGET, 1L);
    }
    curl_easy_setopt(easy, CURLOPT_HTTPHEADER, headers);
    // A redirect is an answer of its own, never followed.
    curl_easy_setopt(easy, CURLOPT_FOLLOWLOCATION, 0L);
    curl_easy_setopt(easy, CURLOPT_WRITEFUNCTION, &TakeBody);
    curl_easy_setopt(easy, CURLOPT_WRITEDATA, this);
    curl_easy_setopt(easy, CURLOPT_HEADERFUNCTION, &TakeHeader);
    curl_easy_setopt(easy, CURLOPT_HEADERDATA, this);
    curl_easy_setopt(easy, CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(request.ConnectTimeoutMs));
    // The whole request, not each read: a reply that trickles in still ends
    // in time.
    curl_easy_setopt(easy, CURLOPT_TIMEOUT_MS, static_cast<long>(request.TimeoutMs));
    curl_multi_add_handle(multi, easy);
}

TCurlTransfer::~TCurlTransfer()
{
    Release();
}

void TCurlTransfer::Release()
{
    if (Multi != nullptr && Easy != nullptr)
        curl_multi_remove_handle(static_cast<CURLM*>(Multi), static_cast<CURL*>(Easy));
    curl_easy_cleanup(static_cast<CURL*>(Easy));
    curl_multi_cleanup(static_cast<CURLM*>(Multi));
    curl_slist_free_all(static_cast<curl_slist*>(HeaderList));
    Easy = nullptr;
    Multi = nullptr;
    HeaderList = nullptr;
}

size_t TCurlTransfer::TakeBody(char* data, size_t size, size_t count, void* self)
{
    auto& transfer = *static_cast<TCurlTransfer*>(self);
    const size_t bytes = size * count;
    if (transfer.Body.size() + bytes > transfer.MaxBytes) {
        // Anything but `bytes` makes libcurl stop reading.
        transfer.TooLong = true;
        return 0;
    }
    transfer.Body.append(data, bytes);
    return bytes;
}

size_t TCurlTransfer::TakeHeader(char*, size_t size, size_t count, void* self)
{
    auto& transfer = *static_cast<TCurlTransfer*>(self);
    transfer.HeaderBytes += size * count;
    if (transfer.HeaderBytes > MaxHeaderBytes) {
        transfer.TooLong = true;
        return 0;
    }
    return size * count;
}

const THttpResult& TCurlTransfer::Poll()
{
    if (Result.Outcome != THttpOutcome::Pending)
        return Result;
    auto* multi = static_cast<CURLM*>(Multi);
    int running = 0;
    curl_multi_perform(multi, &running);
    int left = 0;
    while (CURLMsg* message = curl_multi_info_read(multi, &left))
        if (message->msg == CURLMSG_DONE)
            Finish(message->data.result);
    return Result;
}

void TCurlTransfer::Wait(int milliseconds)
{
    if (Result.Outcome == THttpOutcome::Pending)
        curl_multi_poll(static_cast<CURLM*>(Multi), nullptr, 0, milliseconds, nullptr);
}

void TCurlTransfer::Finish(int code)
{
    long status = 0;
    curl_easy_getinfo(static_cast<CURL*>(Easy), CURLINFO_RESPONSE_CODE, &status);
    Result.Status = static_cast<int>(status);
    const auto result = static_cast<CURLcode>(code);
    if (result == CURLE_OK && status >= 200 && status < 300) {
        Result.Outcome = THttpOutcome::Ok;
        Result.Body = std::move(Body);
    } else if (result == CURLE_OK && status != 0) {
        Result.Outcome = THttpOutcome::Refused;
        Result.Reason = RefusalReason(Result.Status, Body);
    } else {
        Result.Outcome = THttpOutcome::Unreachable;
        if (TooLong)
            Result.Reason = HttpReason::TooLong;
        else if (result == CURLE_OPERATION_TIMEDOUT)
            Result.Reason = HttpReason::TimedOut;
        else if (result == CURLE_COULDNT_CONNECT || result == CURLE_COULDNT_RESOLVE_HOST ||
                 result == CURLE_COULDNT_RESOLVE_PROXY || result == CURLE_UNSUPPORTED_PROTOCOL ||
                 result == CURLE_URL_MALFORMAT)
            Result.Reason = HttpReason::NoConnection;
        else
            Result.Reason = HttpReason::Broken;
    }
    Body.clear();
    // The connection goes back to the share's cache, or is closed.
    curl_multi_remove_handle(static_cast<CURLM*>(Multi), static_cast<CURL*>(Easy));
}

void TCurlTransfer::Cancel()
{
    if (Result.Outcome != THttpOutcome::Pending)
        return;
    Result.Outcome = THttpOutcome::Unreachable;
    Result.Reason = HttpReason::Cancelled;
    Body.clear();
    Release();
}
