// The simulator's HTTP client: answers from a queue of scripted replies and
// records every request with its headers.
#pragma once

#include "Platform.h"

#include <deque>
#include <string>
#include <vector>

class THeadlessClock;

class THeadlessHttp : public IHttpClient {
public:
    explicit THeadlessHttp(THeadlessClock& clock) : Clock_(clock) {}

    struct TReply {
        enum class TKind { Ok, Fail, Hang };
        TKind Kind = TKind::Fail;
        std::string Body;
    };
    // Answers the next request; with nothing queued a request fails, as
    // with no network.
    void QueueReply(TReply reply) { Replies_.push_back(std::move(reply)); }
    // The requests since the last Take, oldest first.
    std::vector<THttpRequest> Take();

    std::string Get(const THttpRequest& request) override;

private:
    THeadlessClock& Clock_;
    std::deque<TReply> Replies_;
    std::vector<THttpRequest> Requests_;
};
