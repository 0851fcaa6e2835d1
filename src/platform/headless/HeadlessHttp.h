// SPDX-License-Identifier: GPL-3.0-or-later
// The simulator's HTTP client: answers from a queue of scripted replies and
// records every request with its headers. A request takes its reply when it
// starts; a hanging one stays pending on the fake clock until its time-out.
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
        // Ok: a 200 with Body. Refused: Status with Body ("ERROR|reason").
        // Fail: no connection. Hang: a server that never answers.
        enum class TKind { Ok, Refused, Fail, Hang };
        TKind Kind = TKind::Fail;
        std::string Body;
        int Status = 200;
    };
    // Answers the next request; with nothing queued a request fails, as
    // with no network.
    void QueueReply(TReply reply) { Replies_.push_back(std::move(reply)); }
    // The requests since the last Take, oldest first.
    std::vector<THttpRequest> Take();

    std::unique_ptr<IHttpTransfer> Start(const THttpRequest& request) override;
    // Blocking: a hanging request moves the fake clock through its whole
    // time-out, then fails, as the real client's does.
    std::string Get(const THttpRequest& request) override;

private:
    TReply Next(const THttpRequest& request);

    THeadlessClock& Clock_;
    std::deque<TReply> Replies_;
    std::vector<THttpRequest> Requests_;
};
