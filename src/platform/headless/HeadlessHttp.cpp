// SPDX-License-Identifier: GPL-3.0-or-later
// Scripted replies and the record of requests.
#include "HeadlessHttp.h"

#include "HeadlessClock.h"
#include "HttpReasons.h"

#include <stdexcept>

namespace {

// The outcome a scripted reply stands for, once it has arrived.
THttpResult Outcome(const THeadlessHttp::TReply& reply, size_t maxBytes)
{
    THttpResult result;
    using TKind = THeadlessHttp::TReply::TKind;
    switch (reply.Kind) {
    case TKind::Ok:
    case TKind::Refused:
        result.Status = reply.Kind == TKind::Ok ? 200 : reply.Status;
        if (reply.Body.size() > maxBytes) {
            result.Outcome = THttpOutcome::Unreachable;
            result.Reason = HttpReason::TooLong;
        } else if (reply.Kind == TKind::Ok) {
            result.Outcome = THttpOutcome::Ok;
            result.Body = reply.Body;
        } else {
            result.Outcome = THttpOutcome::Refused;
            result.Reason = RefusalReason(reply.Status, reply.Body);
        }
        return result;
    case TKind::Hang:
        result.Outcome = THttpOutcome::Unreachable;
        result.Reason = HttpReason::TimedOut;
        return result;
    case TKind::Fail: break;
    }
    result.Outcome = THttpOutcome::Unreachable;
    result.Reason = HttpReason::NoConnection;
    return result;
}

class THeadlessTransfer final : public IHttpTransfer {
public:
    THeadlessTransfer(THeadlessClock& clock, THeadlessHttp::TReply reply, const THttpRequest& request)
        : Clock_(clock), Started_(clock.Now()), TimeoutMs_(request.TimeoutMs),
          Hangs_(reply.Kind == THeadlessHttp::TReply::TKind::Hang), Final_(Outcome(reply, request.MaxReplyBytes))
    {
    }

    const THttpResult& Poll() override
    {
        // Wrapping arithmetic, as with the real count.
        if (Result_.Outcome == THttpOutcome::Pending && (!Hangs_ || Clock_.Now() - Started_ >= TimeoutMs_))
            Result_ = Final_;
        return Result_;
    }

    void Cancel() override
    {
        if (Result_.Outcome != THttpOutcome::Pending) return;
        Result_.Outcome = THttpOutcome::Unreachable;
        Result_.Reason = HttpReason::Cancelled;
    }

private:
    THeadlessClock& Clock_;
    uint32_t Started_;
    uint32_t TimeoutMs_;
    bool Hangs_;
    THttpResult Final_;
    THttpResult Result_;
};

} // namespace

std::vector<THttpRequest> THeadlessHttp::Take()
{
    std::vector<THttpRequest> taken;
    taken.swap(Requests_);
    return taken;
}

THeadlessHttp::TReply THeadlessHttp::Next(const THttpRequest& request)
{
    Requests_.push_back(request);
    if (Replies_.empty()) return TReply{};
    TReply reply = std::move(Replies_.front());
    Replies_.pop_front();
    return reply;
}

std::unique_ptr<IHttpTransfer> THeadlessHttp::Start(const THttpRequest& request)
{
    return std::make_unique<THeadlessTransfer>(Clock_, Next(request), request);
}

std::string THeadlessHttp::Get(const THttpRequest& request)
{
    const TReply reply = Next(request);
    if (reply.Kind == TReply::TKind::Hang) Clock_.SetNow(Clock_.Now() + request.TimeoutMs);
    const THttpResult result = Outcome(reply, request.MaxReplyBytes);
    if (result.Outcome != THttpOutcome::Ok) throw std::runtime_error(request.Url + ": " + result.Reason);
    return result.Body;
}
