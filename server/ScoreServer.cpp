// SPDX-License-Identifier: GPL-3.0-or-later
// Requests to replies over libmicrohttpd.
#include "ScoreServer.h"

#include "ConnectionGuard.h"
#include "QuietLog.h"
#include "Pages.h"
#include "ScoreRecord.h"
#include "Submission.h"
#include "Sweeper.h"
#include "WorkQueue.h"

#include <microhttpd.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/random.h>

#include <algorithm>
#include <cstdarg>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <optional>
#include <stdexcept>

namespace {

constexpr std::string_view TextType = "text/plain; charset=utf-8";
constexpr std::string_view HtmlType = "text/html; charset=utf-8";
constexpr std::string_view JsonType = "application/json";

// Seconds a refused client is asked to wait: a database restart is usually
// over in that time; a rate limit's bucket has refilled a good part.
constexpr unsigned RetryUnavailable = 5;
constexpr unsigned RetryLimited = 10;

// The health check answers within this, or says the database is not there.
constexpr std::chrono::milliseconds HealthTimeout{2000};

// One request from its target to its reply. The target is kept as it
// arrived: libmicrohttpd hands over the path only after decoding it in place.
struct TExchange {
    std::string Target;
    bool Started = false;  // the headers have been seen
    bool Decided = false;  // answered at once or handed to a database thread
    bool Upload = false;   // a replay's upload: its body is kept
    std::string Body;
    // The database thread's reply, handed to the HTTP thread.
    std::mutex Mutex;
    std::optional<TScoreServer::TReply> Reply;
};

void* NewExchange(void*, const char* uri, MHD_Connection*)
{
    auto* exchange = new TExchange;
    exchange->Target = uri != nullptr ? uri : "";
    return exchange;
}

void EndExchange(void* server, MHD_Connection* connection, void** context, MHD_RequestTerminationCode)
{
    delete static_cast<TExchange*>(*context);
    *context = nullptr;
    static_cast<TScoreServer*>(server)->RequestDone(connection);
}

void NotifyConnection(void* server, MHD_Connection* connection, void**, MHD_ConnectionNotificationCode code)
{
    auto* self = static_cast<TScoreServer*>(server);
    if (code == MHD_CONNECTION_NOTIFY_STARTED)
        self->ConnectionOpened(connection);
    else
        self->ConnectionClosed(connection);
}

MHD_Result Handle(void* server, MHD_Connection* connection, const char*, const char* method, const char*,
                  const char* uploadData, std::size_t* uploadSize, void** context)
{
    return static_cast<MHD_Result>(
        static_cast<TScoreServer*>(server)->Step(connection, method, *context, uploadData, uploadSize));
}

double SteadySeconds()
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

TScoreServer::TReply Error(unsigned status, std::string message, unsigned retryAfter = 0)
{
    TScoreServer::TReply reply;
    reply.Type = TextType;
    reply.Status = status;
    reply.Body = "ERROR|" + message + "\n";
    reply.RetryAfter = retryAfter;
    return reply;
}

// A request with a body: nothing here takes one.
bool HasBody(MHD_Connection* connection)
{
    const char* length = MHD_lookup_connection_value(connection, MHD_HEADER_KIND, MHD_HTTP_HEADER_CONTENT_LENGTH);
    return (length != nullptr && std::strcmp(length, "0") != 0) ||
           MHD_lookup_connection_value(connection, MHD_HEADER_KIND, MHD_HTTP_HEADER_TRANSFER_ENCODING) != nullptr;
}

TQuietLog StorageLog("storage error: ");
TQuietLog HttpLog("");

// The HTTP library's own complaints (a client gone mid-request, the
// connection limit reached), through the quiet log.
void LogHttp(void*, const char* format, va_list arguments)
{
    char line[512];
    std::vsnprintf(line, sizeof line, format, arguments);
    HttpLog.Say(line);
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
    : Config(std::move(config)), Store(store), Limiter(Config.RatePerSecond, Config.Burst),
      TokenLimiter(Config.TokenRatePerSecond, Config.TokenBurst),
      Guard(std::make_unique<TConnectionGuard>(Config.ConnectionsPerGroup, Config.GroupPrefixes,
                                               Config.RequestDeadline)),
      // Enough queued to ride out a short stall; past that, or after half
      // the database's time-out in the queue, a client is better told at once.
      Queue(std::make_unique<TWorkQueue>(Config.Threads, 16 * std::max(1U, Config.Threads), Store.Timeout() / 2))
{
    if (Config.SweepInterval.count() > 0)
        Sweeper = std::make_unique<TSweeper>(Store, [this] { return Now(); }, Config.TokenLifetime,
                                             Config.SweepInterval);
    sockaddr_in v4{};
    sockaddr_in6 v6{};
    const sockaddr* address = nullptr;
    unsigned flags = MHD_USE_EPOLL_INTERNAL_THREAD | MHD_ALLOW_SUSPEND_RESUME | MHD_USE_ERROR_LOG;
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
    // The library counts idle time in whole seconds; its time-out only backs
    // up the guard's deadline, so it is kept clear of it.
    const auto idle = static_cast<unsigned>(
        2 + std::chrono::duration_cast<std::chrono::seconds>(Config.RequestDeadline).count());
    Daemon = MHD_start_daemon(
        flags, Config.Port, nullptr, nullptr, &Handle, this,
        // First, so that the library says nothing before it is in place.
        MHD_OPTION_EXTERNAL_LOGGER, &LogHttp, nullptr,
        MHD_OPTION_SOCK_ADDR, address,
        MHD_OPTION_THREAD_POOL_SIZE, std::max(1U, Config.HttpThreads),
        MHD_OPTION_CONNECTION_LIMIT, std::max(1U, Config.MaxConnections),
        MHD_OPTION_CONNECTION_TIMEOUT, idle,
        // Bounds the request line and headers; longer ones get 414 or 431.
        MHD_OPTION_CONNECTION_MEMORY_LIMIT, static_cast<std::size_t>(16 * 1024),
        MHD_OPTION_NOTIFY_CONNECTION, &NotifyConnection, this,
        MHD_OPTION_URI_LOG_CALLBACK, &NewExchange, nullptr,
        MHD_OPTION_NOTIFY_COMPLETED, &EndExchange, this,
        MHD_OPTION_END);
    if (Daemon == nullptr)
        throw std::runtime_error("cannot listen on " + Config.Address + " port " +
                                 std::to_string(Config.Port));
}

TScoreServer::~TScoreServer()
{
    // Every queued request answered and its connection resumed first: the
    // daemon cannot stop while one is suspended.
    Queue->Stop();
    MHD_stop_daemon(Daemon);
    Sweeper.reset();
}

uint16_t TScoreServer::Port() const
{
    const MHD_DaemonInfo* info = MHD_get_daemon_info(Daemon, MHD_DAEMON_INFO_BIND_PORT);
    return info != nullptr ? info->port : 0;
}

std::size_t TScoreServer::OpenConnections() const
{
    return Guard->OpenConnections();
}

std::size_t TScoreServer::ReapedConnections() const
{
    return Guard->Reaped();
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
    return AddressText(info != nullptr ? info->client_addr : nullptr);
}

void TScoreServer::ConnectionOpened(MHD_Connection* connection)
{
    const MHD_ConnectionInfo* fd = MHD_get_connection_info(connection, MHD_CONNECTION_INFO_CONNECTION_FD);
    const MHD_ConnectionInfo* peer = MHD_get_connection_info(connection, MHD_CONNECTION_INFO_CLIENT_ADDRESS);
    if (fd != nullptr)
        Guard->Opened(connection, fd->connect_fd, peer != nullptr ? peer->client_addr : nullptr);
}

void TScoreServer::ConnectionClosed(MHD_Connection* connection)
{
    Guard->Closed(connection);
}

void TScoreServer::RequestDone(MHD_Connection* connection)
{
    Guard->Answered(connection);
}

int TScoreServer::Step(MHD_Connection* connection, const char* method, void* opaque, const char* uploadData,
                       std::size_t* uploadSize)
{
    auto& exchange = *static_cast<TExchange*>(opaque);
    TReply reply;
    if (!exchange.Started) {
        // The headers are in. A reply now also closes the connection (the
        // library cannot know where an unread body would end), which is
        // what a request that should not be here deserves.
        exchange.Started = true;
        Guard->RequestArrived(connection);
        return Refuse(connection, method, exchange.Target, reply, exchange.Upload) ? Send(connection, reply) : MHD_YES;
    }
    if (*uploadSize != 0) {
        // Only an upload gets this far with a body, its length checked.
        if (exchange.Upload && exchange.Body.size() + *uploadSize <= MaxReplayUploadBytes)
            exchange.Body.append(uploadData, *uploadSize);
        *uploadSize = 0;
        return MHD_YES;
    }
    if (!exchange.Decided) {
        exchange.Decided = true;
        // Held until the connection is suspended, so that the database
        // thread cannot resume it before that.
        std::lock_guard lock(exchange.Mutex);
        if (!Start(connection, &exchange, method, reply)) {
            MHD_suspend_connection(connection);
            return MHD_YES;
        }
        return Send(connection, reply);
    }
    std::optional<TReply> answer;
    {
        std::lock_guard lock(exchange.Mutex);
        answer.swap(exchange.Reply);
    }
    return answer ? Send(connection, *answer) : MHD_YES;
}

bool TScoreServer::Refuse(MHD_Connection* connection, const char* method, std::string_view target, TReply& reply,
                          bool& upload)
{
    const bool head = std::strcmp(method, MHD_HTTP_METHOD_HEAD) == 0;
    if (target.substr(0, target.find('?')) == ReplayUploadPath) {
        if (std::strcmp(method, MHD_HTTP_METHOD_POST) != 0) {
            reply = Error(MHD_HTTP_METHOD_NOT_ALLOWED, "only POST");
            reply.Allow = "POST";
            return true;
        }
        // The length first, so that a replay too large is refused before
        // a byte of it is read.
        const char* length = MHD_lookup_connection_value(connection, MHD_HEADER_KIND, MHD_HTTP_HEADER_CONTENT_LENGTH);
        if (length == nullptr ||
            MHD_lookup_connection_value(connection, MHD_HEADER_KIND, MHD_HTTP_HEADER_TRANSFER_ENCODING) != nullptr) {
            reply = Error(MHD_HTTP_LENGTH_REQUIRED, "a replay is sent with its length");
            return true;
        }
        char* end = nullptr;
        const unsigned long long bytes = std::strtoull(length, &end, 10);
        if (end == length || *end != '\0' || bytes > MaxReplayUploadBytes) {
            reply = Error(MHD_HTTP_CONTENT_TOO_LARGE, "a replay is at most " +
                                                          std::to_string(MaxReplayUploadBytes >> 20) + " MiB");
            return true;
        }
        upload = true;
        return false;
    }
    if (!head && std::strcmp(method, MHD_HTTP_METHOD_GET) != 0) {
        reply = Error(MHD_HTTP_METHOD_NOT_ALLOWED, "only GET and HEAD");
        reply.Allow = "GET, HEAD";
        return true;
    }
    if (HasBody(connection)) {
        reply = Error(MHD_HTTP_CONTENT_TOO_LARGE, "no request here but a replay's upload has a body");
        return true;
    }
    return false;
}

bool TScoreServer::Start(MHD_Connection* connection, void* opaque, const char* method, TReply& reply)
{
    auto& exchange = *static_cast<TExchange*>(opaque);
    const bool head = std::strcmp(method, MHD_HTTP_METHOD_HEAD) == 0;
    const std::string address = ClientAddress(connection);
    if (!Limiter.Allow(address, SteadySeconds())) {
        reply = Error(MHD_HTTP_TOO_MANY_REQUESTS, "too many requests", RetryLimited);
        return true;
    }

    TRequest request = ClassifyRequest(exchange.Target);
    TSubmission record;
    switch (request.Kind) {
    case ERequestKind::Error:
        reply = Error(static_cast<unsigned>(request.Status), request.Error);
        return true;
    case ERequestKind::Home: {
        static const std::string home = HomePage();
        reply.Type = HtmlType;
        reply.Body = home;
        return true;
    }
    case ERequestKind::Version:
    case ERequestKind::Submit:
        // These change what is stored; a HEAD must not.
        if (head) {
            reply = Error(MHD_HTTP_METHOD_NOT_ALLOWED, "only GET");
            reply.Allow = "GET";
            return true;
        }
        if (request.Kind == ERequestKind::Version &&
            !TokenLimiter.Allow(ClientGroup(address, Config.GroupPrefixes), SteadySeconds())) {
            reply = Error(MHD_HTTP_TOO_MANY_REQUESTS, "too many tokens asked for from this network", RetryLimited);
            return true;
        }
        if (request.Kind == ERequestKind::Submit) {
            TSubmissionCheck check = CheckSubmission(request.Inf);
            if (!check.Ok) {
                reply = Error(check.TooLong ? MHD_HTTP_URI_TOO_LONG : MHD_HTTP_BAD_REQUEST, check.Error);
                return true;
            }
            record = std::move(check.Record);
        }
        break;
    case ERequestKind::Upload:
        if (exchange.Body.empty()) {
            reply = Error(MHD_HTTP_BAD_REQUEST, "no replay in the request");
            return true;
        }
        break;
    case ERequestKind::Table:
    case ERequestKind::TableJson:
    case ERequestKind::Health:
    case ERequestKind::ReplayFile:
    case ERequestKind::Metrics:
        break;
    }

    auto job = [this, connection, &exchange, request = std::move(request), record = std::move(record),
                body = std::move(exchange.Body)](bool run) {
        TReply answer = run ? Answer(request, record, body)
                            : Error(MHD_HTTP_SERVICE_UNAVAILABLE, "storage unavailable", RetryUnavailable);
        {
            std::lock_guard lock(exchange.Mutex);
            exchange.Reply = std::move(answer);
        }
        MHD_resume_connection(connection);
    };
    if (Queue->Push(std::move(job)))
        return false;
    reply = Error(MHD_HTTP_SERVICE_UNAVAILABLE, "server busy", RetryUnavailable);
    return true;
}

TScoreServer::TReply TScoreServer::Answer(const TRequest& request, const TSubmission& record, const std::string& body)
{
    TReply reply;
    reply.Type = TextType;
    try {
        switch (request.Kind) {
        case ERequestKind::Health:
            Store.Ping(std::min(HealthTimeout, Store.Timeout()));
            reply.Body = "OK\n";
            return reply;
        case ERequestKind::Version: {
            const std::string token = NewToken();
            Store.IssueToken(token, Now());
            // The game takes the fifth field, and only when a "|" follows it.
            reply.Body = "OK|" + std::string(ScoreProgram) + "|1|" +
                         std::to_string(Config.TokenLifetime) + "|" + token + "|";
            return reply;
        }
        case ERequestKind::Submit:
            switch (Store.Submit(record, Now(), Config.TokenLifetime)) {
            case ESubmitResult::Stored:
                reply.Body = "OK|stored|";
                return reply;
            case ESubmitResult::UsedToken:
                return Error(MHD_HTTP_CONFLICT, "token already used");
            case ESubmitResult::UnknownToken:
                return Error(MHD_HTTP_FORBIDDEN, "unknown or expired token");
            }
            break;
        case ERequestKind::Table:
        case ERequestKind::TableJson: {
            const TScorePage page = Store.Table(request.Period, Now(),
                                                int64_t{request.Page - 1} * TablePageSize, TablePageSize, !request.All);
            if (request.Kind == ERequestKind::Table) {
                reply.Type = HtmlType;
                reply.Body = TablePage(page, request.Period, request.Page, request.All);
            } else {
                reply.Type = JsonType;
                reply.Body = TableJson(page, request.Period, request.Page, request.All);
            }
            return reply;
        }
        case ERequestKind::Upload: {
            const TUpload upload = Store.StoreReplay(request.Token, body, Now());
            switch (upload.Result) {
            case EUploadResult::Queued:
                if (Config.ReplayQueued)
                    Config.ReplayQueued();
                reply.Body = "OK|queued|" + std::to_string(upload.ScoreId) + "|";
                return reply;
            case EUploadResult::NoScore:
                return Error(MHD_HTTP_FORBIDDEN, "no score was stored with this token");
            case EUploadResult::AlreadySent:
                return Error(MHD_HTTP_CONFLICT, "this score's replay was sent already");
            }
            break;
        }
        case ERequestKind::ReplayFile: {
            std::optional<std::string> bytes = Store.Replay(request.ReplayId);
            if (!bytes)
                return Error(MHD_HTTP_NOT_FOUND, "no such replay");
            reply.Type = "application/octet-stream";
            reply.Disposition = "attachment; filename=\"zarvenok-" + std::to_string(request.ReplayId) + ".zrp\"";
            reply.Body = std::move(*bytes);
            return reply;
        }
        case ERequestKind::Metrics:
            reply.Type = "text/plain; version=0.0.4; charset=utf-8";
            reply.Body = MetricsPage(Store.VerifyCounts());
            return reply;
        case ERequestKind::Home:
        case ERequestKind::Error:
            break;
        }
    } catch (const std::exception& e) {
        StorageLog.Say(e.what());
        return Error(MHD_HTTP_SERVICE_UNAVAILABLE, "storage unavailable", RetryUnavailable);
    }
    return Error(MHD_HTTP_INTERNAL_SERVER_ERROR, "unhandled request");
}

int TScoreServer::Send(MHD_Connection* connection, const TReply& reply)
{
    MHD_Response* response = MHD_create_response_from_buffer(
        reply.Body.size(), const_cast<char*>(reply.Body.data()), MHD_RESPMEM_MUST_COPY);
    if (response == nullptr)
        return MHD_NO;
    MHD_add_response_header(response, MHD_HTTP_HEADER_CONTENT_TYPE, std::string(reply.Type).c_str());
    MHD_add_response_header(response, MHD_HTTP_HEADER_CACHE_CONTROL, "no-store");
    MHD_add_response_header(response, "X-Content-Type-Options", "nosniff");
    // Nothing on these pages runs scripts or loads from elsewhere.
    MHD_add_response_header(response, "Content-Security-Policy",
                            "default-src 'none'; style-src 'unsafe-inline'; frame-ancestors 'none'");
    if (!reply.Disposition.empty())
        MHD_add_response_header(response, "Content-Disposition", reply.Disposition.c_str());
    if (!reply.Allow.empty())
        MHD_add_response_header(response, MHD_HTTP_HEADER_ALLOW, std::string(reply.Allow).c_str());
    if (reply.RetryAfter != 0)
        MHD_add_response_header(response, MHD_HTTP_HEADER_RETRY_AFTER, std::to_string(reply.RetryAfter).c_str());
    const MHD_Result queued = MHD_queue_response(connection, reply.Status, response);
    MHD_destroy_response(response);
    Guard->Answered(connection);
    return queued;
}
