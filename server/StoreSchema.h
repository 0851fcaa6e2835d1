// The tables, their indexes and the triggers that keep the counts, made or
// brought up to date once per database. Safe when several server processes
// start on one database at once.
#pragma once

#include "SessionPool.h"

#include <cstdint>

namespace soci {
class session;
}

// Slots of the maintained counts: writers on different connections add to
// different rows, so they do not queue on one.
inline constexpr int PostgresCountSlots = 8;

// `now` (seconds since the epoch) picks the rows that start the weekly
// table when it is first made.
void PrepareSchema(soci::session& sql, EStoreBackend backend, int64_t now);
