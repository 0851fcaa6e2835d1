// Scripted replies and the record of requests.
#include "HeadlessHttp.h"

#include "HeadlessClock.h"

#include <stdexcept>

std::vector<THttpRequest> THeadlessHttp::Take()
{
    std::vector<THttpRequest> taken;
    taken.swap(Requests_);
    return taken;
}

std::string THeadlessHttp::Get(const THttpRequest& request)
{
    Requests_.push_back(request);
    if (Replies_.empty()) throw std::runtime_error(request.Url + ": no reply");
    const TReply reply = std::move(Replies_.front());
    Replies_.pop_front();
    switch (reply.Kind) {
    case TReply::TKind::Ok: return reply.Body;
    case TReply::TKind::Hang:
        // A server that never answers: the whole time-out passes, then the
        // request fails, as the real client's does.
        Clock_.SetNow(Clock_.Now() + request.TimeoutMs);
        throw std::runtime_error(request.Url + ": timed out");
    case TReply::TKind::Fail: break;
    }
    throw std::runtime_error(request.Url + ": could not connect");
}
