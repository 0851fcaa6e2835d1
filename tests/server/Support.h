// SPDX-License-Identifier: GPL-3.0-or-later
// What the server tests share: a libcurl GET, a fresh PostgreSQL database
// per test, and a score submission made the way the game makes it.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

struct THttpReply {
    long Status = 0;  // 0 when the request failed altogether
    std::string Body;
    std::string Headers;
};

THttpReply HttpGet(const std::string& base, const std::string& target);
// Any method, from `source` (a 127.x.y.z address) when one is given; the
// reply's headers are kept in Headers.
THttpReply HttpCall(const std::string& method, const std::string& base, const std::string& target,
                    const std::string& source = "");

// The version query, then the submission with the token it gave. Returns the
// submission's reply.
THttpReply SubmitScore(const std::string& versionBase, const std::string& submitBase,
                       const std::string& name, int score, const std::string& addText);

// Runs one command on a PostgreSQL database; throws when it fails.
void ExecSql(const std::string& conninfo, const std::string& command);
// The first column of the first row of a query, as a number.
int64_t QueryNumber(const std::string& conninfo, const std::string& query);

// Set by scripts/test to a libpq connection string of a throwaway cluster.
inline constexpr const char* PostgresVariable = "ZARVENOK_TEST_POSTGRESQL";

// True when tests that need PostgreSQL must fail, not skip, without it.
bool PostgresRequired();

// Creates an empty database on the cluster and drops it when destroyed.
class TPostgresDatabase {
public:
    // Empty when the variable is not set.
    static std::optional<TPostgresDatabase> Create();
    ~TPostgresDatabase();
    TPostgresDatabase(TPostgresDatabase&& other) noexcept;
    TPostgresDatabase& operator=(TPostgresDatabase&&) = delete;

    const std::string& ConnectionString() const { return Conninfo; }
    const std::string& AdminConnectionString() const { return Admin; }
    const std::string& Name() const { return DatabaseName; }

private:
    TPostgresDatabase(std::string admin, std::string name);
    std::string Admin;
    std::string DatabaseName;
    std::string Conninfo;
};
