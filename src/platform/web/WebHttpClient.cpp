// SPDX-License-Identifier: GPL-3.0-or-later
#include "WebHttpClient.h"

#include "WebHttpTransfer.h"

#include <emscripten.h>

#include <stdexcept>

std::unique_ptr<IHttpTransfer> TWebHttpClient::Start(const THttpRequest& request)
{
    return std::make_unique<TWebHttpTransfer>(request);
}

std::string TWebHttpClient::Get(const THttpRequest& request)
{
    TWebHttpTransfer transfer(request);
    // The reply arrives only while the page runs, so the wait goes back to it.
    while (transfer.Poll().Outcome == THttpOutcome::Pending) emscripten_sleep(5);
    const THttpResult& result = transfer.Poll();
    if (result.Outcome != THttpOutcome::Ok) throw std::runtime_error(request.Url + ": " + result.Reason);
    return result.Body;
}
