// SPDX-License-Identifier: GPL-3.0-or-later
// Helpers of the server tests.
#include "Support.h"

#include "ScoreRecord.h"
#include "TextEncoding.h"

#include <curl/curl.h>
#include <libpq-fe.h>

#include <atomic>
#include <cstdlib>
#include <random>
#include <stdexcept>
#include <string_view>

namespace {

std::size_t Collect(char* data, std::size_t size, std::size_t count, void* out)
{
    static_cast<std::string*>(out)->append(data, size * count);
    return size * count;
}

PGconn* Connect(const std::string& conninfo)
{
    PGconn* conn = PQconnectdb(conninfo.c_str());
    if (PQstatus(conn) != CONNECTION_OK) {
        const std::string message = PQerrorMessage(conn);
        PQfinish(conn);
        throw std::runtime_error("cannot reach PostgreSQL: " + message);
    }
    return conn;
}

} // namespace

void ExecSql(const std::string& conninfo, const std::string& command)
{
    PGconn* conn = Connect(conninfo);
    PGresult* result = PQexec(conn, command.c_str());
    const bool ok = PQresultStatus(result) == PGRES_COMMAND_OK || PQresultStatus(result) == PGRES_TUPLES_OK;
    const std::string message = PQerrorMessage(conn);
    PQclear(result);
    PQfinish(conn);
    if (!ok)
        throw std::runtime_error(command.substr(0, 80) + ": " + message);
}

int64_t QueryNumber(const std::string& conninfo, const std::string& query)
{
    PGconn* conn = Connect(conninfo);
    PGresult* result = PQexec(conn, query.c_str());
    const bool ok = PQresultStatus(result) == PGRES_TUPLES_OK && PQntuples(result) > 0;
    const std::string message = PQerrorMessage(conn);
    const int64_t value = ok ? std::strtoll(PQgetvalue(result, 0, 0), nullptr, 10) : 0;
    PQclear(result);
    PQfinish(conn);
    if (!ok)
        throw std::runtime_error(query.substr(0, 80) + ": " + message);
    return value;
}

THttpReply HttpGet(const std::string& base, const std::string& target)
{
    return HttpCall("GET", base, target);
}

THttpReply HttpCall(const std::string& method, const std::string& base, const std::string& target,
                    const std::string& source)
{
    THttpReply reply;
    CURL* curl = curl_easy_init();
    const std::string url = base + target;
    curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, &Collect);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, &reply.Body);
    curl_easy_setopt(curl, CURLOPT_HEADERFUNCTION, &Collect);
    curl_easy_setopt(curl, CURLOPT_HEADERDATA, &reply.Headers);
    curl_easy_setopt(curl, CURLOPT_USERAGENT, "Mozilla/3.0 (compatible; Indy Library)");
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(curl, CURLOPT_TIMEOUT, 30L);
    if (method == "HEAD")
        curl_easy_setopt(curl, CURLOPT_NOBODY, 1L);
    else if (method != "GET")
        curl_easy_setopt(curl, CURLOPT_CUSTOMREQUEST, method.c_str());
    if (!source.empty())
        curl_easy_setopt(curl, CURLOPT_INTERFACE, ("host!" + source).c_str());
    if (curl_easy_perform(curl) == CURLE_OK)
        curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &reply.Status);
    curl_easy_cleanup(curl);
    return reply;
}

THttpReply SubmitScore(const std::string& versionBase, const std::string& submitBase,
                       const std::string& name, int score, const std::string& addText)
{
    const THttpReply version = HttpGet(versionBase, "/cgi/version.pl?version&prg=Zarvenok");
    if (version.Body.rfind("OK", 0) != 0)
        return version;
    const std::string record = BuildScoreRecord(name, score, ReplyField(version.Body, 5), addText);
    return HttpGet(submitBase, "/cgi/version.pl?hs&prg=Zarvenok&inf=" + EncodeLine(record));
}

bool PostgresRequired()
{
    const char* ci = std::getenv("CI");
    return ci != nullptr && std::string_view(ci) == "true";
}

std::optional<TPostgresDatabase> TPostgresDatabase::Create()
{
    const char* admin = std::getenv(PostgresVariable);
    if (admin == nullptr || *admin == '\0')
        return std::nullopt;
    static std::atomic<int> serial{0};
    std::random_device random;
    const std::string name = "zarvenok_test_" + std::to_string(random() % 1000000000U) + "_" +
                             std::to_string(serial++);
    ExecSql(admin, "CREATE DATABASE " + name);
    return TPostgresDatabase(admin, name);
}

TPostgresDatabase::TPostgresDatabase(std::string admin, std::string name)
    : Admin(std::move(admin)), DatabaseName(std::move(name)),
      // A later keyword overrides an earlier one in a libpq string.
      Conninfo(Admin + " dbname=" + DatabaseName)
{
}

TPostgresDatabase::TPostgresDatabase(TPostgresDatabase&& other) noexcept
    : Admin(std::move(other.Admin)), DatabaseName(std::move(other.DatabaseName)), Conninfo(std::move(other.Conninfo))
{
    other.DatabaseName.clear();
}

TPostgresDatabase::~TPostgresDatabase()
{
    if (DatabaseName.empty())
        return;
    try {
        ExecSql(Admin, "DROP DATABASE IF EXISTS " + DatabaseName + " WITH (FORCE)");
    } catch (const std::exception&) {
        // The cluster is thrown away after the run anyway.
    }
}
