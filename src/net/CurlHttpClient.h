// The game's HTTP client on libcurl, the only code that touches it: one
// handle for the run, so cookies and connections are kept between requests.
#pragma once

#include "Platform.h"

class TCurlHttpClient final : public IHttpClient {
public:
    TCurlHttpClient();
    ~TCurlHttpClient() override;
    TCurlHttpClient(const TCurlHttpClient&) = delete;
    TCurlHttpClient& operator=(const TCurlHttpClient&) = delete;

    std::string Get(const THttpRequest& request) override;

private:
    // The easy handle, kept opaque so that no curl header leaks out.
    void* Handle_ = nullptr;
};
