// SPDX-License-Identifier: GPL-3.0-or-later
#include "WebHttpTransfer.h"

#include "HttpReasons.h"

#include <emscripten.h>

#include <cstdlib>
#include <memory>
#include <vector>

namespace {

// Fetches run in the page and are known by number. A fetch's state is -1
// while it runs, then the HTTP status, or one of the failures below (-5:
// the connection broke).
constexpr int Running = -1;
constexpr int NoConnection = -2;
constexpr int TimedOut = -3;
constexpr int TooLong = -4;

EM_JS(int, WebFetchStart, (const char* address, const char* method, const char* const* headers, int headerCount,
                           const char* body, int bodySize, int timeoutMs, int maxBytes), {
    const fetches = Module.webFetches || (Module.webFetches = {next: 1, all: new Map()});
    const id = fetches.next++;
    const sent = new Headers();
    for (let i = 0; i < headerCount; ++i) {
        try {
            sent.set(UTF8ToString(HEAPU32[(headers >> 2) + 2 * i]), UTF8ToString(HEAPU32[(headers >> 2) + 2 * i + 1]));
        } catch (e) {
            // A header the browser keeps for itself.
        }
    }
    const entry = {state: -1, body: "", abort: new AbortController(), why: 0};
    fetches.all.set(id, entry);
    const request = {method: UTF8ToString(method), headers: sent, credentials: 'same-origin', cache: 'no-store',
                     redirect: 'manual', signal: entry.abort.signal};
    // A copy: the game's memory may move or be reused before the fetch sends it.
    if (request.method !== 'GET' && request.method !== 'HEAD') request.body = HEAPU8.slice(body, body + bodySize);
    const timer = setTimeout(() => { entry.why = -3; entry.abort.abort(); }, timeoutMs);
    (async () => {
        try {
            const response = await fetch(UTF8ToString(address), request);
            // A redirect is never followed: the page sees it only as such.
            const status = response.type === 'opaqueredirect' ? 302 : response.status;
            const reader = response.body ? response.body.getReader() : null;
            const parts = [];
            let size = 0;
            while (reader) {
                const chunk = await reader.read();
                if (chunk.done) break;
                const value = chunk.value;
                size += value.length;
                if (size > maxBytes) {
                    entry.why = -4;
                    entry.abort.abort();
                    throw new Error('too long');
                }
                parts.push(value);
            }
            const bytes = new Uint8Array(size);
            let at = 0;
            for (const part of parts) {
                bytes.set(part, at);
                at += part.length;
            }
            entry.body = new TextDecoder().decode(bytes);
            entry.state = status;
        } catch (e) {
            // A fetch that fails before any reply is one that could not connect.
            entry.state = entry.why || (e instanceof TypeError ? -2 : -5);
        } finally {
            clearTimeout(timer);
        }
    })();
    return id;
});

EM_JS(int, WebFetchState, (int id), {
    const entry = Module.webFetches && Module.webFetches.all.get(id);
    return entry ? entry.state : -5;
});

// The reply's body in memory the caller frees; the fetch is forgotten.
EM_JS(char*, WebFetchTake, (int id), {
    const entry = Module.webFetches.all.get(id);
    Module.webFetches.all.delete(id);
    const text = entry ? entry.body : "";
    const size = lengthBytesUTF8(text) + 1;
    const body = _malloc(size);
    stringToUTF8(text, body, size);
    return body;
});

EM_JS(void, WebFetchCancel, (int id), {
    const entry = Module.webFetches && Module.webFetches.all.get(id);
    if (!entry) return;
    Module.webFetches.all.delete(id);
    entry.abort.abort();
});

} // namespace

TWebHttpTransfer::TWebHttpTransfer(const THttpRequest& request)
{
    std::vector<const char*> headers;
    for (const auto& [name, value] : request.Headers) {
        headers.push_back(name.c_str());
        headers.push_back(value.c_str());
    }
    Id_ = WebFetchStart(request.Url.c_str(), request.Method.c_str(), headers.data(),
                        static_cast<int>(request.Headers.size()), request.Body.data(),
                        static_cast<int>(request.Body.size()), static_cast<int>(request.TimeoutMs),
                        static_cast<int>(request.MaxReplyBytes));
}

TWebHttpTransfer::~TWebHttpTransfer()
{
    Cancel();
}

const THttpResult& TWebHttpTransfer::Poll()
{
    if (Result_.Outcome != THttpOutcome::Pending) return Result_;
    const int state = WebFetchState(Id_);
    if (state == Running) return Result_;
    const std::unique_ptr<char, decltype(&std::free)> body(WebFetchTake(Id_), &std::free);
    Id_ = 0;
    if (state >= 200 && state < 300) {
        Result_.Outcome = THttpOutcome::Ok;
        Result_.Status = state;
        Result_.Body = body.get();
    } else if (state > 0) {
        Result_.Outcome = THttpOutcome::Refused;
        Result_.Status = state;
        Result_.Reason = RefusalReason(state, body.get());
    } else {
        Result_.Outcome = THttpOutcome::Unreachable;
        Result_.Reason = state == NoConnection ? HttpReason::NoConnection
                         : state == TimedOut   ? HttpReason::TimedOut
                         : state == TooLong    ? HttpReason::TooLong
                                               : HttpReason::Broken;
    }
    return Result_;
}

void TWebHttpTransfer::Cancel()
{
    if (Id_ != 0) WebFetchCancel(Id_);
    Id_ = 0;
    if (Result_.Outcome != THttpOutcome::Pending) return;
    Result_.Outcome = THttpOutcome::Unreachable;
    Result_.Reason = HttpReason::Cancelled;
}
