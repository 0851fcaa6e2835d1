// Blocking GETs through libcurl.
#include "CurlHttpClient.h"

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

size_t AppendBody(char* data, size_t size, size_t count, void* body)
{
    static_cast<std::string*>(body)->append(data, size * count);
    return size * count;
}

// Frees the header list whatever way the request ends.
struct THeaderList {
    curl_slist* List = nullptr;
    ~THeaderList() { curl_slist_free_all(List); }
};

} // namespace

TCurlHttpClient::TCurlHttpClient()
{
    InitialiseCurl();
    CURL* curl = curl_easy_init();
    if (curl == nullptr) throw std::runtime_error("libcurl cannot make a handle");
    // An empty cookie file turns the cookie engine on: cookies are kept in
    // memory for the run.
    curl_easy_setopt(curl, CURLOPT_COOKIEFILE, "");
    // No proxy, whatever the environment says.
    curl_easy_setopt(curl, CURLOPT_NOPROXY, "*");
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "http,https");
    Handle_ = curl;
}

TCurlHttpClient::~TCurlHttpClient()
{
    curl_easy_cleanup(static_cast<CURL*>(Handle_));
}

std::string TCurlHttpClient::Get(const THttpRequest& request)
{
    CURL* curl = static_cast<CURL*>(Handle_);
    std::string body;
    THeaderList headers;
    for (const auto& [name, value] : request.Headers) {
        curl_slist* list = curl_slist_append(headers.List, (name + ": " + value).c_str());
        if (list == nullptr) throw std::runtime_error("out of memory for the request's headers");
        headers.List = list;
    }
    curl_easy_setopt(curl, CURLOPT_URL, request.Url.c_str());
    curl_easy_setopt(curl, CURLOPT_HTTPGET, 1L);
    curl_easy_setopt(curl, CURLOPT_HTTPHEADER, headers.List);
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, AppendBody);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, &body);
    // A status of 400 and up is a failed request, as the game treats it.
    curl_easy_setopt(curl, CURLOPT_FAILONERROR, 1L);
    // A server that accepts and never answers must not freeze the game.
    curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(request.ConnectTimeoutMs));
    curl_easy_setopt(curl, CURLOPT_TIMEOUT_MS, static_cast<long>(request.TimeoutMs));
    char error[CURL_ERROR_SIZE] = {};
    curl_easy_setopt(curl, CURLOPT_ERRORBUFFER, error);
    const CURLcode result = curl_easy_perform(curl);
    curl_easy_setopt(curl, CURLOPT_HTTPHEADER, nullptr);
    curl_easy_setopt(curl, CURLOPT_ERRORBUFFER, nullptr);
    if (result != CURLE_OK)
        throw std::runtime_error(request.Url + ": " + (*error != '\0' ? error : curl_easy_strerror(result)));
    return body;
}
