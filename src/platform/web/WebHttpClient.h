// SPDX-License-Identifier: GPL-3.0-or-later
// HTTP GET through the browser's fetch: the game's thread waits for the
// reply as it does on the desktop, while the page goes on. Cookies are the
// browser's, kept for the page's own server. Headers a page may not set
// (the user agent among them) are the browser's own.
#pragma once

#include "Platform.h"

class TWebHttpClient final : public IHttpClient {
public:
    // The body of a 2xx reply; std::runtime_error for a refused or failed
    // request, an error status or a time-out (the request's TimeoutMs).
    std::string Get(const THttpRequest& request) override;
};
