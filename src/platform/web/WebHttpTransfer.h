// SPDX-License-Identifier: GPL-3.0-or-later
// One request (a GET, or a POST with its body) through the browser's fetch,
// polled each frame as the desktop's transfers are. Cookies are the
// browser's, kept for the page's own server; headers a page may not set
// (the user agent among them) are the browser's.
// The browser has no separate connection deadline: the whole request gets
// the request's TimeoutMs.
#pragma once

#include "Platform.h"

class TWebHttpTransfer final : public IHttpTransfer {
public:
    explicit TWebHttpTransfer(const THttpRequest& request);
    ~TWebHttpTransfer() override;
    TWebHttpTransfer(const TWebHttpTransfer&) = delete;
    TWebHttpTransfer& operator=(const TWebHttpTransfer&) = delete;

    const THttpResult& Poll() override;
    void Cancel() override;

private:
    // The page's number for the fetch; 0 once it is over.
    int Id_ = 0;
    THttpResult Result_;
};
