// SPDX-License-Identifier: GPL-3.0-or-later
// A real score server on a free loopback port, in the test's process, with
// a clock of the test's own; and what its tests share.
#pragma once

#include "BackendFixture.h"
#include "ScoreRecord.h"
#include "ScoreServer.h"
#include "Support.h"
#include "TextEncoding.h"

#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <string>

inline const std::string Token = "0123456789abcdef0123456789abcdef";

inline TSubmission Record(const std::string& name, int64_t score, const std::string& token,
                          const std::string& add = "")
{
    return TSubmission{name, score, token, add};
}

// A server on a free loopback port with its own clock.
class Server : public Backend {
protected:
    // Unlimited but for what `adjust` sets.
    void Start(const std::function<void(TServerConfig&)>& adjust = {},
               std::chrono::milliseconds timeout = std::chrono::seconds(5))
    {
        Store = Open(4, timeout);
        TServerConfig config;
        config.Address = "127.0.0.1";
        config.Port = 0;
        config.Threads = 2;
        config.RatePerSecond = 0;
        config.TokenRatePerSecond = 0;
        config.ConnectionsPerGroup = 0;
        config.Now = [this] { return Clock.load(); };
        if (adjust)
            adjust(config);
        Http = std::make_unique<TScoreServer>(config, *Store);
        Base = "http://127.0.0.1:" + std::to_string(Http->Port());
    }

    THttpReply Get(const std::string& target) { return HttpGet(Base, target); }

    std::string IssueToken()
    {
        const THttpReply reply = Get("/cgi/version.pl?version&prg=Zarvenok");
        EXPECT_EQ(reply.Status, 200);
        return ReplyField(reply.Body, 5);
    }

    static std::string Submission(const std::string& plain)
    {
        return "/cgi/version.pl?hs&prg=Zarvenok&inf=" + EncodeLine(plain);
    }

    std::atomic<int64_t> Clock{1'700'000'000};
    std::unique_ptr<TScoreStore> Store;
    std::unique_ptr<TScoreServer> Http;
    std::string Base;
};

