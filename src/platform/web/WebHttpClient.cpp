// SPDX-License-Identifier: GPL-3.0-or-later
#include "WebHttpClient.h"

#include <emscripten.h>

#include <cstdlib>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

// The reply as "STATUS\nBODY" in memory the caller frees; status 0 with the
// reason as the body when no reply came.
EM_ASYNC_JS(char*, WebFetch, (const char* address, const char* const* headers, int headerCount, int timeoutMs), {
    const url = UTF8ToString(address);
    const sent = new Headers();
    for (let i = 0; i < headerCount; ++i) {
        const name = UTF8ToString(HEAPU32[(headers >> 2) + 2 * i]);
        const value = UTF8ToString(HEAPU32[(headers >> 2) + 2 * i + 1]);
        try {
            sent.set(name, value);
        } catch (e) {
            // A header the browser keeps for itself.
        }
    }
    const abort = new AbortController();
    const timer = setTimeout(() => abort.abort(), timeoutMs);
    let text;
    try {
        const response = await fetch(url, {headers: sent, credentials: 'same-origin', cache: 'no-store',
                                           signal: abort.signal});
        text = response.status + '\n' + await response.text();
    } catch (e) {
        text = '0\n' + (abort.signal.aborted ? 'no reply in time' : String(e));
    } finally {
        clearTimeout(timer);
    }
    const size = lengthBytesUTF8(text) + 1;
    const reply = _malloc(size);
    stringToUTF8(text, reply, size);
    return reply;
});

} // namespace

std::string TWebHttpClient::Get(const THttpRequest& request)
{
    std::vector<const char*> headers;
    for (const auto& [name, value] : request.Headers) {
        headers.push_back(name.c_str());
        headers.push_back(value.c_str());
    }
    const std::unique_ptr<char, decltype(&std::free)> reply(
        WebFetch(request.Url.c_str(), headers.data(), static_cast<int>(request.Headers.size()),
                 static_cast<int>(request.TimeoutMs)),
        &std::free);
    const std::string text = reply ? reply.get() : "0\nno reply";
    const size_t newline = text.find('\n');
    const int status = std::atoi(text.substr(0, newline).c_str());
    std::string body = newline == std::string::npos ? std::string() : text.substr(newline + 1);
    if (status == 0) throw std::runtime_error(request.Url + ": " + body);
    if (status < 200 || status > 299) throw std::runtime_error(request.Url + ": HTTP status " + std::to_string(status));
    return body;
}
