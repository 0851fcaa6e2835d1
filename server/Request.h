// SPDX-License-Identifier: GPL-3.0-or-later
// What a request asks for, read from its raw target (path and query) before
// any work is done; everything not understood becomes an error with its
// status.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

inline constexpr std::size_t MaxTargetLength = 2048;

// Rows per page of the table, in HTML and JSON.
inline constexpr int TablePageSize = 25;
// Pages past this are refused: a page deep in the table costs the database
// a walk over every row above it, so the walk is kept short. 200 pages are
// the best 5,000 scores.
inline constexpr int MaxTablePage = 200;

inline constexpr std::string_view JsonPath = "/api/scores";
inline constexpr std::string_view HealthPath = "/health";
inline constexpr std::string_view MetricsPath = "/metrics";

struct TQueryParam {
    std::string Key;
    std::optional<std::string> Value;  // none for a bare key ("version")
};

struct TQueryParse {
    bool Ok = false;
    std::string Error;
    std::vector<TQueryParam> Params;
};

// Splits at "&", then at the first "="; percent escapes and "+" are decoded.
// A broken escape or a key given twice is an error.
TQueryParse ParseQuery(std::string_view query);

enum class ERequestKind { Home, Version, Submit, Table, TableJson, Health, Upload, ReplayFile, Metrics, Error };
enum class EPeriod { AllTime, Week };

struct TRequest {
    ERequestKind Kind = ERequestKind::Error;
    int Status = 400;       // for Error
    std::string Error;      // for Error
    std::string Inf;        // for Submit: the encoded record
    EPeriod Period = EPeriod::AllTime;  // for the tables
    int Page = 1;                       // for the tables, from 1
    bool All = false;                   // for the tables: every score, not only the verified
    std::string Token;                  // for Upload
    int64_t ReplayId = 0;               // for ReplayFile
};

TRequest ClassifyRequest(std::string_view target);

std::string_view PeriodName(EPeriod period);
