// SPDX-License-Identifier: GPL-3.0-or-later
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

// The upper bounds, in milliseconds, of the buckets of verification times;
// the last stands for all of them.
inline constexpr long long VerifyTimeBuckets[] = {100, 250, 500, 1000, 2500, 5000, 10000, 30000, 60000,
                                                  INT64_MAX};

// `now` (seconds since the epoch) picks the rows that start the weekly
// table when it is first made.
void PrepareSchema(soci::session& sql, EStoreBackend backend, int64_t now);
