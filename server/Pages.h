// SPDX-License-Identifier: GPL-3.0-or-later
// The site's pages and the table's JSON; every stored text is escaped here.
#pragma once

#include "Request.h"
#include "ScoreStore.h"

#include <string>
#include <string_view>

std::string HtmlEscape(std::string_view text);

std::string HomePage();

// One page (from 1) of the all-time or weekly table: the verified scores,
// or with `all` every score with its state.
std::string TablePage(const TScorePage& rows, EPeriod period, int page, bool all);
std::string TableJson(const TScorePage& rows, EPeriod period, int page, bool all);

// The verification's figures in the Prometheus text format.
std::string MetricsPage(const TVerifyCounts& counts);

// "4:05" for a game time in milliseconds.
std::string FormatGameTime(int64_t milliseconds);

// "2024-05-17" for seconds since the epoch, in UTC.
std::string FormatDate(int64_t seconds);
