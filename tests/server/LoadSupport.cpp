// SPDX-License-Identifier: GPL-3.0-or-later
// The pieces of server-loadrun.
#include "LoadSupport.h"

#include "ScoreRecord.h"
#include "TextEncoding.h"

#include <curl/curl.h>
#include <nlohmann/json.hpp>
#include <sqlite3.h>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <stdexcept>
#include <sstream>

namespace fs = std::filesystem;

void Die(const std::string& message)
{
    std::fprintf(stderr, "server-loadrun: %s\n", message.c_str());
    std::exit(1);
}

TDatabase::TDatabase(const std::string& backend)
{
    if (backend == "sqlite") {
        std::random_device random;
        Dir = fs::temp_directory_path() / ("zarvenok-load-" + std::to_string(random()));
        fs::create_directories(Dir);
        ServerArgs = {"--sqlite", (Dir / "scores.db").string()};
    } else if (backend == "postgresql") {
        if (auto made = TPostgresDatabase::Create())
            Pg.emplace(std::move(*made));
        if (!Pg) {
            std::fprintf(stderr, "%s is not set; scripts/test sets it\n", PostgresVariable);
            std::exit(PostgresRequired() ? 1 : SkipCode);
        }
        ServerArgs = {"--postgresql", Pg->ConnectionString()};
    } else {
        Die("unknown backend " + backend);
    }
}

TDatabase::~TDatabase()
{
    if (!Dir.empty())
        fs::remove_all(Dir);
}

namespace {

// Opens the SQLite file beside the server, waiting out its writers.
sqlite3* OpenSqlite(const fs::path& file)
{
    sqlite3* db = nullptr;
    if (sqlite3_open(file.c_str(), &db) != SQLITE_OK)
        Die("cannot open " + file.string());
    sqlite3_busy_timeout(db, 30000);
    return db;
}

} // namespace

void TDatabase::Execute(const std::string& sql)
{
    if (Pg) {
        ExecSql(Pg->ConnectionString(), sql);
        return;
    }
    sqlite3* db = OpenSqlite(Dir / "scores.db");
    char* error = nullptr;
    const int result = sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &error);
    const std::string message = error != nullptr ? error : "";
    sqlite3_free(error);
    sqlite3_close(db);
    if (result != SQLITE_OK)
        Die(sql.substr(0, 80) + ": " + message);
}

int64_t TDatabase::Number(const std::string& sql)
{
    if (Pg)
        return QueryNumber(Pg->ConnectionString(), sql);
    sqlite3* db = OpenSqlite(Dir / "scores.db");
    sqlite3_stmt* statement = nullptr;
    int64_t value = 0;
    const bool ok = sqlite3_prepare_v2(db, sql.c_str(), -1, &statement, nullptr) == SQLITE_OK &&
                    sqlite3_step(statement) == SQLITE_ROW;
    if (ok)
        value = sqlite3_column_int64(statement, 0);
    const std::string message = sqlite3_errmsg(db);
    sqlite3_finalize(statement);
    sqlite3_close(db);
    if (!ok)
        throw std::runtime_error(sql.substr(0, 80) + ": " + message);
    return value;
}

std::vector<std::string> UnlimitedArgs()
{
    // An older server that knows fewer options is measured with its own.
    if (const char* given = std::getenv("ZARVENOK_LOADRUN_SERVER_ARGS")) {
        std::vector<std::string> args;
        std::istringstream words(given);
        for (std::string word; words >> word;)
            args.push_back(word);
        return args;
    }
    return {"--threads", "4", "--rate", "0", "--token-rate", "0", "--connections-per-client", "0"};
}

TServerProcess::TServerProcess(const std::string& binary, const std::vector<std::string>& extra)
{
    std::vector<std::string> args = {binary, "--listen", "127.0.0.1", "--port", "0"};
    args.insert(args.end(), extra.begin(), extra.end());
    int out[2];
    if (pipe(out) != 0)
        Die("pipe failed");
    Pid = fork();
    if (Pid < 0)
        Die("fork failed");
    if (Pid == 0) {
        // The server never outlives this driver, whatever ends it.
        prctl(PR_SET_PDEATHSIG, SIGKILL);
        dup2(out[1], STDOUT_FILENO);
        close(out[0]);
        close(out[1]);
        std::vector<char*> argv;
        for (auto& arg : args)
            argv.push_back(arg.data());
        argv.push_back(nullptr);
        execv(argv[0], argv.data());
        _exit(127);
    }
    close(out[1]);
    std::string line;
    const auto deadline = TClock::now() + std::chrono::seconds(60);
    while (line.find('\n') == std::string::npos) {
        pollfd fd{out[0], POLLIN, 0};
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - TClock::now());
        if (left.count() <= 0 || poll(&fd, 1, static_cast<int>(left.count())) <= 0)
            Die("the server did not start in time");
        char buffer[256];
        const ssize_t n = read(out[0], buffer, sizeof buffer);
        if (n <= 0)
            Die("the server ended before it served");
        line.append(buffer, static_cast<std::size_t>(n));
    }
    close(out[0]);
    const auto colon = line.rfind(':');
    Port = std::stoi(line.substr(colon + 1));
    Base = "http://127.0.0.1:" + std::to_string(Port);
}

void TServerProcess::Stop(int signal)
{
    if (Pid <= 0)
        return;
    kill(Pid, signal);
    int status = 0;
    waitpid(Pid, &status, 0);
    Pid = -1;
}

TClient::TClient(const std::string& source, bool fresh, long timeoutSeconds) : Curl(curl_easy_init())
{
    CURL* curl = static_cast<CURL*>(Curl);
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, &Collect);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, &Body);
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(curl, CURLOPT_TIMEOUT, timeoutSeconds);
    if (!source.empty())
        curl_easy_setopt(curl, CURLOPT_INTERFACE, ("host!" + source).c_str());
    if (fresh)
        curl_easy_setopt(curl, CURLOPT_FORBID_REUSE, 1L);
}

TClient::~TClient()
{
    curl_easy_cleanup(static_cast<CURL*>(Curl));
}

std::size_t TClient::Collect(char* data, std::size_t size, std::size_t count, void* out)
{
    static_cast<std::string*>(out)->append(data, size * count);
    return size * count;
}

THttpReply TClient::Get(const std::string& url, std::vector<double>* latencies)
{
    CURL* curl = static_cast<CURL*>(Curl);
    Body.clear();
    curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
    const auto start = TClock::now();
    THttpReply reply;
    if (curl_easy_perform(curl) == CURLE_OK)
        curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &reply.Status);
    if (latencies != nullptr)
        latencies->push_back(std::chrono::duration<double, std::milli>(TClock::now() - start).count());
    reply.Body = Body;
    return reply;
}

std::string NameOf(int n)
{
    std::string name = "L";
    do {
        name += static_cast<char>('A' + n % 26);
        n /= 26;
    } while (n > 0);
    return name;
}

THttpReply Submit(TClient& client, const std::string& versionBase, const std::string& submitBase,
                  const std::string& name, int score, std::vector<double>* latencies)
{
    const THttpReply version = client.Get(versionBase + "/cgi/version.pl?version&prg=Zarvenok", latencies);
    if (version.Status != 200 || version.Body.rfind("OK", 0) != 0)
        return version;
    const std::string record = BuildScoreRecord(name, score, ReplyField(version.Body, 5), "LOAD");
    return client.Get(submitBase + "/cgi/version.pl?hs&prg=Zarvenok&inf=" + EncodeLine(record), latencies);
}

std::map<std::string, int64_t> ReadTable(const std::string& base)
{
    std::map<std::string, int64_t> rows;
    TClient client;
    for (int page = 1;; ++page) {
        const THttpReply reply = client.Get(base + "/api/scores?all=1&page=" + std::to_string(page));
        if (reply.Status != 200)
            Die("table page " + std::to_string(page) + " answered " + std::to_string(reply.Status));
        const auto doc = nlohmann::json::parse(reply.Body);
        for (const auto& row : doc.at("scores"))
            rows[row.at("name").get<std::string>()] = row.at("score").get<int64_t>();
        if (page >= doc.at("pages").get<int>())
            return rows;
    }
}

double Percentile(const std::vector<double>& sorted, double p)
{
    if (sorted.empty())
        return 0;
    const auto index = static_cast<std::size_t>(p / 100.0 * static_cast<double>(sorted.size() - 1) + 0.5);
    return sorted[std::min(index, sorted.size() - 1)];
}

std::string Percentiles(std::vector<double>& latencies)
{
    std::sort(latencies.begin(), latencies.end());
    char text[160];
    std::snprintf(text, sizeof text, "p50 %.2f p90 %.2f p99 %.2f max %.2f ms (%zu)", Percentile(latencies, 50),
                  Percentile(latencies, 90), Percentile(latencies, 99), latencies.empty() ? 0.0 : latencies.back(),
                  latencies.size());
    return text;
}
