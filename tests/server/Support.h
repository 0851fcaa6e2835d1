// What the server tests share: a libcurl GET, a fresh PostgreSQL database
// per test, and a score submission made the way the game makes it.
#pragma once

#include <optional>
#include <string>

struct THttpReply {
    long Status = 0;  // 0 when the request failed altogether
    std::string Body;
};

THttpReply HttpGet(const std::string& base, const std::string& target);

// The version query, then the submission with the token it gave. Returns the
// submission's reply.
THttpReply SubmitScore(const std::string& versionBase, const std::string& submitBase,
                       const std::string& name, int score, const std::string& addText);

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

private:
    TPostgresDatabase(std::string admin, std::string name);
    std::string Admin;
    std::string Name;
    std::string Conninfo;
};
