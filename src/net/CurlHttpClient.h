// SPDX-License-Identifier: GPL-3.0-or-later
// The game's HTTP client on libcurl, the only code that touches it. Cookies,
// names looked up and open connections are kept for the run and shared by
// every request.
#pragma once

#include "Platform.h"

class TCurlHttpClient final : public IHttpClient {
public:
    TCurlHttpClient();
    ~TCurlHttpClient() override;
    TCurlHttpClient(const TCurlHttpClient&) = delete;
    TCurlHttpClient& operator=(const TCurlHttpClient&) = delete;

    std::unique_ptr<IHttpTransfer> Start(const THttpRequest& request) override;
    std::string Get(const THttpRequest& request) override;

private:
    // The share handle, kept opaque so that no curl header leaks out.
    void* Share_ = nullptr;
};
