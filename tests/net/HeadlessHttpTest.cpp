// SPDX-License-Identifier: GPL-3.0-or-later
// The simulator's client keeps the scripted contract (a reply per request,
// in order; "fail" and "hang" as a real client would meet them) in both
// forms: the blocking one moves the fake clock through a hang, the
// asynchronous one stays pending on it until the request's time-out.
#include "HeadlessClock.h"
#include "HeadlessHttp.h"

#include <gtest/gtest.h>

namespace {

using TKind = THeadlessHttp::TReply::TKind;

THttpRequest Request(const std::string& url, uint32_t timeoutMs = 10000)
{
    THttpRequest request;
    request.Url = url;
    request.TimeoutMs = timeoutMs;
    return request;
}

TEST(HeadlessHttp, StartedRequestsTakeTheirOutcomeFromTheScript)
{
    THeadlessClock clock(1000);
    THeadlessHttp http(clock);
    http.QueueReply({TKind::Ok, "OK|1|2|3|T|", 200});
    http.QueueReply({TKind::Refused, "ERROR|token already used\n", 409});
    http.QueueReply({TKind::Fail, "", 0});
    http.QueueReply({TKind::Ok, std::string(5000, 'x'), 200});
    struct Case {
        THttpOutcome Outcome;
        int Status;
        std::string Body;
        std::string Reason;
    };
    const Case cases[] = {
        {THttpOutcome::Ok, 200, "OK|1|2|3|T|", ""},
        {THttpOutcome::Refused, 409, "", "token already used"},
        {THttpOutcome::Unreachable, 0, "", "could not connect to the server"},
        {THttpOutcome::Unreachable, 200, "", "the server's reply was too long"},
        // Nothing queued: as with no network.
        {THttpOutcome::Unreachable, 0, "", "could not connect to the server"},
    };
    int n = 0;
    for (const Case& c : cases) {
        auto transfer = http.Start(Request("http://host/" + std::to_string(n++)));
        const THttpResult& result = transfer->Poll();
        EXPECT_EQ(result.Outcome, c.Outcome) << n;
        EXPECT_EQ(result.Status, c.Status) << n;
        EXPECT_EQ(result.Body, c.Body) << n;
        EXPECT_EQ(result.Reason, c.Reason) << n;
    }
    const auto requests = http.Take();
    ASSERT_EQ(requests.size(), 5u);
    EXPECT_EQ(requests[4].Url, "http://host/4");
    EXPECT_EQ(clock.Now(), 1000u);
}

TEST(HeadlessHttp, HangStaysPendingUntilItsTimeOutOrACancel)
{
    THeadlessClock clock(0xFFFFFF00u);  // the count wraps meanwhile
    THeadlessHttp http(clock);
    http.QueueReply({TKind::Hang, "", 0});
    http.QueueReply({TKind::Hang, "", 0});
    auto transfer = http.Start(Request("http://host/", 3000));
    for (int frame = 0; frame < 100; ++frame) {
        EXPECT_EQ(transfer->Poll().Outcome, THttpOutcome::Pending);
        clock.Advance(29);
    }
    clock.Advance(100);
    EXPECT_EQ(transfer->Poll().Outcome, THttpOutcome::Unreachable);
    EXPECT_EQ(transfer->Poll().Reason, "no answer from the server in time");

    auto cancelled = http.Start(Request("http://host/", 3000));
    EXPECT_EQ(cancelled->Poll().Outcome, THttpOutcome::Pending);
    cancelled->Cancel();
    EXPECT_EQ(cancelled->Poll().Reason, "cancelled");
    clock.Advance(5000);
    EXPECT_EQ(cancelled->Poll().Reason, "cancelled");
}

TEST(HeadlessHttp, BlockingGetKeepsItsContract)
{
    THeadlessClock clock(0);
    THeadlessHttp http(clock);
    http.QueueReply({TKind::Ok, "OK", 200});
    http.QueueReply({TKind::Hang, "", 0});
    http.QueueReply({TKind::Refused, "ERROR|no\n", 403});
    EXPECT_EQ(http.Get(Request("http://host/a")), "OK");
    EXPECT_THROW(http.Get(Request("http://host/b", 7000)), std::runtime_error);
    // The whole time-out passed on the fake clock.
    EXPECT_EQ(clock.Now(), 7000u);
    EXPECT_THROW(http.Get(Request("http://host/c")), std::runtime_error);
    EXPECT_THROW(http.Get(Request("http://host/d")), std::runtime_error);
    EXPECT_EQ(http.Take().size(), 4u);
}

} // namespace
