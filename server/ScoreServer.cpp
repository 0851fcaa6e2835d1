// Requests to replies over libmicrohttpd.
#include "ScoreServer.h"

#include "Pages.h"
#include "Request.h"
#include "ScoreRecord.h"
#include "Submission.h"

#include <microhttpd.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/random.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <stdexcept>

namespace {

constexpr std::string_view TextType = "text/plain; charset=utf-8";
constexpr std::string_view HtmlType = "text/html; charset=utf-8";
constexpr std::string_view JsonType = "application/json";

// The raw target (path and query) as it arrived, kept for the handler:
// libmicrohttpd hands over the path only after decoding it in place.
void* KeepTarget(void*, const char* uri, MHD_Connection*)
{
    return new std::string(uri != nullptr ? uri : "");
}

void DropTarget(void*, MHD_Connection*, void** context, MHD_RequestTerminationCode)
{
    delete static_cast<std::string*>(*context);
    *context = nullptr;
}

MHD_Result Handle(void* self, MHD_Connection* connection, const char* url, const char* method,
                  const char* version, const char* upload, std::size_t* uploadSize, void** context);

double SteadySeconds()
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

} // namespace

std::string NewToken()
{
    unsigned char bytes[TokenLength / 2];
    std::size_t got = 0;
    while (got < sizeof bytes) {
        const ssize_t n = getrandom(bytes + got, sizeof bytes - got, 0);
        if (n < 0)
            throw std::runtime_error("no random source");
        got += static_cast<std::size_t>(n);
    }
    static constexpr char Hex[] = "0123456789abcdef";
    std::string token;
    for (unsigned char b : bytes) {
        token += Hex[b >> 4];
        token += Hex[b & 15];
    }
    return token;
}

TScoreServer::TScoreServer(TServerConfig config, TScoreStore& store)
    : Config(std::move(config)), Store(store), Limiter(Config.RatePerSecond, Config.Burst)
{
    sockaddr_in v4{};
    sockaddr_in6 v6{};
    const sockaddr* address = nullptr;
    unsigned flags = MHD_USE_AUTO_INTERNAL_THREAD | MHD_USE_ERROR_LOG;
    if (inet_pton(AF_INET, Config.Address.c_str(), &v4.sin_addr) == 1) {
        v4.sin_family = AF_INET;
        v4.sin_port = htons(Config.Port);
        address = reinterpret_cast<const sockaddr*>(&v4);
    } else if (inet_pton(AF_INET6, Config.Address.c_str(), &v6.sin6_addr) == 1) {
        v6.sin6_family = AF_INET6;
        v6.sin6_port = htons(Config.Port);
        address = reinterpret_cast<const sockaddr*>(&v6);
        flags |= MHD_USE_IPv6;
    } else {
        throw std::runtime_error("not a numeric address: " + Config.Address);
    }
    Daemon = MHD_start_daemon(
        flags, Config.Port, nullptr, nullptr, &Handle, this,
        MHD_OPTION_SOCK_ADDR, address,
        MHD_OPTION_THREAD_POOL_SIZE, static_cast<unsigned>(std::max(1U, Config.Threads)),
        // Slow clients that hold a connection open are dropped.
        MHD_OPTION_CONNECTION_TIMEOUT, 15U,
        MHD_OPTION_PER_IP_CONNECTION_LIMIT, Config.ConnectionsPerAddress,
        // Bounds the request line and headers; longer ones get 414 or 431.
        MHD_OPTION_CONNECTION_MEMORY_LIMIT, static_cast<std::size_t>(16 * 1024),
        MHD_OPTION_URI_LOG_CALLBACK, &KeepTarget, nullptr,
        MHD_OPTION_NOTIFY_COMPLETED, &DropTarget, nullptr,
        MHD_OPTION_END);
    if (Daemon == nullptr)
        throw std::runtime_error("cannot listen on " + Config.Address + " port " +
                                 std::to_string(Config.Port));
}

TScoreServer::~TScoreServer()
{
    MHD_stop_daemon(Daemon);
}

uint16_t TScoreServer::Port() const
{
    const MHD_DaemonInfo* info = MHD_get_daemon_info(Daemon, MHD_DAEMON_INFO_BIND_PORT);
    return info != nullptr ? info->port : 0;
}

int64_t TScoreServer::Now() const
{
    if (Config.Now)
        return Config.Now();
    return std::chrono::duration_cast<std::chrono::seconds>(
               std::chrono::system_clock::now().time_since_epoch())
        .count();
}

std::string TScoreServer::ClientAddress(MHD_Connection* connection) const
{
    if (Config.TrustForwardedFor) {
        if (const char* forwarded =
                MHD_lookup_connection_value(connection, MHD_HEADER_KIND, "X-Forwarded-For")) {
            std::string_view list = forwarded;
            const auto comma = list.rfind(',');
            std::string_view last = comma == std::string_view::npos ? list : list.substr(comma + 1);
            while (!last.empty() && last.front() == ' ')
                last.remove_prefix(1);
            while (!last.empty() && last.back() == ' ')
                last.remove_suffix(1);
            if (!last.empty())
                return std::string(last);
        }
    }
    const MHD_ConnectionInfo* info =
        MHD_get_connection_info(connection, MHD_CONNECTION_INFO_CLIENT_ADDRESS);
    if (info == nullptr || info->client_addr == nullptr)
        return "?";
    char text[INET6_ADDRSTRLEN] = "?";
    if (info->client_addr->sa_family == AF_INET)
        inet_ntop(AF_INET, &reinterpret_cast<const sockaddr_in*>(info->client_addr)->sin_addr, text,
                  sizeof text);
    else if (info->client_addr->sa_family == AF_INET6)
        inet_ntop(AF_INET6, &reinterpret_cast<const sockaddr_in6*>(info->client_addr)->sin6_addr,
                  text, sizeof text);
    return text;
}

TScoreServer::TReply TScoreServer::Answer(MHD_Connection* connection, const std::string& target)
{
    auto error = [](unsigned status, std::string message) {
        TReply reply;
        reply.Type = TextType;
        reply.Status = status;
        reply.Body = "ERROR|" + message + "\n";
        return reply;
    };

    if (!Limiter.Allow(ClientAddress(connection), SteadySeconds())) {
        TReply reply = error(429, "too many requests");
        reply.RetryLater = true;
        return reply;
    }

    const TRequest request = ClassifyRequest(target);
    TReply reply;
    reply.Type = TextType;
    try {
        switch (request.Kind) {
        case ERequestKind::Error:
            return error(static_cast<unsigned>(request.Status), request.Error);
        case ERequestKind::Home:
            reply.Type = HtmlType;
            reply.Body = HomePage();
            return reply;
        case ERequestKind::Version: {
            const std::string token = NewToken();
            Store.IssueToken(token, Now(), Config.TokenLifetime);
            // The game takes the fifth field, and only when a "|" follows it.
            reply.Body = "OK|" + std::string(ScoreProgram) + "|1|" +
                         std::to_string(Config.TokenLifetime) + "|" + token + "|";
            return reply;
        }
        case ERequestKind::Submit: {
            const TSubmissionCheck check = CheckSubmission(request.Inf);
            if (!check.Ok)
                return error(check.TooLong ? 414 : 400, check.Error);
            switch (Store.Submit(check.Record, Now(), Config.TokenLifetime)) {
            case ESubmitResult::Stored:
                reply.Body = "OK|stored|";
                return reply;
            case ESubmitResult::UsedToken:
                return error(409, "token already used");
            case ESubmitResult::UnknownToken:
                return error(403, "unknown or expired token");
            }
            return error(500, "unexpected store result");
        }
        case ERequestKind::Table:
        case ERequestKind::TableJson: {
            const int64_t since =
                request.Period == EPeriod::Week ? Now() - 7 * 24 * 3600 : INT64_MIN;
            const TScorePage page = Store.Table(since, int64_t{request.Page - 1} * TablePageSize,
                                                TablePageSize);
            if (request.Kind == ERequestKind::Table) {
                reply.Type = HtmlType;
                reply.Body = TablePage(page, request.Period, request.Page);
            } else {
                reply.Type = JsonType;
                reply.Body = TableJson(page, request.Period, request.Page);
            }
            return reply;
        }
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "zarvenok-server: storage error: %s\n", e.what());
        TReply failed = error(503, "storage unavailable");
        failed.RetryLater = true;
        return failed;
    }
    return error(500, "unhandled request");
}

namespace {

MHD_Result Handle(void* self, MHD_Connection* connection, const char*, const char* method,
                  const char*, const char*, std::size_t*, void** context)
{
    auto* server = static_cast<TScoreServer*>(self);
    const auto* target = static_cast<const std::string*>(*context);

    TScoreServer::TReply reply;
    reply.Type = TextType;
    const bool get = std::strcmp(method, MHD_HTTP_METHOD_GET) == 0;
    const bool head = std::strcmp(method, MHD_HTTP_METHOD_HEAD) == 0;
    if (!get && !head) {
        reply.Status = MHD_HTTP_METHOD_NOT_ALLOWED;
        reply.Body = "ERROR|only GET and HEAD\n";
    } else {
        reply = server->Answer(connection, target != nullptr ? *target : std::string("/"));
    }

    MHD_Response* response = MHD_create_response_from_buffer(
        reply.Body.size(), reply.Body.data(), MHD_RESPMEM_MUST_COPY);
    if (response == nullptr)
        return MHD_NO;
    MHD_add_response_header(response, MHD_HTTP_HEADER_CONTENT_TYPE, std::string(reply.Type).c_str());
    MHD_add_response_header(response, MHD_HTTP_HEADER_CACHE_CONTROL, "no-store");
    MHD_add_response_header(response, "X-Content-Type-Options", "nosniff");
    // Nothing on these pages runs scripts or loads from elsewhere.
    MHD_add_response_header(response, "Content-Security-Policy",
                            "default-src 'none'; style-src 'unsafe-inline'; frame-ancestors 'none'");
    if (reply.Status == MHD_HTTP_METHOD_NOT_ALLOWED)
        MHD_add_response_header(response, MHD_HTTP_HEADER_ALLOW, "GET, HEAD");
    if (reply.RetryLater)
        MHD_add_response_header(response, MHD_HTTP_HEADER_RETRY_AFTER, "10");
    const MHD_Result queued = MHD_queue_response(connection, reply.Status, response);
    MHD_destroy_response(response);
    return queued;
}

} // namespace
