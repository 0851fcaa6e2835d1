// SPDX-License-Identifier: GPL-3.0-or-later
// One request through libcurl's multi interface: started at once, moved on
// by each Poll without waiting, bounded in time and in the size of what it
// reads.
#pragma once

#include "Platform.h"

#include <string>

class TCurlTransfer final : public IHttpTransfer {
public:
    // `share` (a CURLSH*) holds what requests share: cookies, names looked
    // up, open connections.
    TCurlTransfer(void* share, const THttpRequest& request);
    ~TCurlTransfer() override;
    TCurlTransfer(const TCurlTransfer&) = delete;
    TCurlTransfer& operator=(const TCurlTransfer&) = delete;

    const THttpResult& Poll() override;
    void Cancel() override;
    // Waits up to `milliseconds` for something to do, for a caller that
    // blocks.
    void Wait(int milliseconds);

private:
    static size_t TakeBody(char* data, size_t size, size_t count, void* self);
    static size_t TakeHeader(char* data, size_t size, size_t count, void* self);
    void Finish(int code);
    void Release();

    // Opaque, so that no curl header leaks out.
    void* Multi = nullptr;
    void* Easy = nullptr;
    void* HeaderList = nullptr;
    size_t MaxBytes;
    size_t HeaderBytes = 0;
    bool TooLong = false;
    std::string Body;
    THttpResult Result;
};
