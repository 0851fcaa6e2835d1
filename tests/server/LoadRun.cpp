// SPDX-License-Identifier: GPL-3.0-or-later
// server-loadrun: drives real zarvenok-server processes over the loopback.
//   load  BIN BACKEND SERVERS CLIENTS SUBMISSIONS READS
//   crash BIN BACKEND ROUNDS KILL_AFTER
//   seed  BASE NAME SCORE SQUAD [NAME SCORE SQUAD ...]
//   played BASE NAME SCORE LEVEL
//   churn BASE SECONDS LOG
//   sweep BIN BACKEND TOKENS SECONDS
//   deep  BIN BACKEND ROWS DEEP_READERS SECONDS DEEP_PAGE [SERVER_OPTION...]
//   slow  BIN SLOW GROUPS SECONDS [SERVER_OPTION...]
//   flood BIN BACKEND ADDRESSES GROUPS SECONDS [MAX_TOKENS_PER_GROUP]
// BACKEND is "sqlite" (a file in a fresh folder) or "postgresql" (a fresh
// database on the cluster named by ZARVENOK_TEST_POSTGRESQL). LoadRuns.h
// says what each run does.
#include "LoadRuns.h"

#include <curl/curl.h>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

int main(int argc, char** argv)
{
    curl_global_init(CURL_GLOBAL_DEFAULT);
    std::signal(SIGPIPE, SIG_IGN);
    const std::string mode = argc > 1 ? argv[1] : "";
    auto rest = [&](int from) { return std::vector<std::string>(argv + std::min(from, argc), argv + argc); };
    if (mode == "load" && argc == 8)
        return Load(argv[2], argv[3], std::atoi(argv[4]), std::atoi(argv[5]), std::atoi(argv[6]),
                    std::atoi(argv[7]));
    if (mode == "crash" && argc == 6)
        return Crash(argv[2], argv[3], std::atoi(argv[4]), std::atoi(argv[5]));
    if (mode == "seed" && argc >= 6)
        return Seed(argv[2], argv + 3, argc - 3);
    if (mode == "played" && argc == 6)
        return Played(argv[2], argv[3], std::atoi(argv[4]), std::atoi(argv[5]));
    if (mode == "churn" && argc == 5)
        return Churn(argv[2], std::atof(argv[3]), argv[4]);
    if (mode == "sweep" && argc == 6)
        return Sweep(argv[2], argv[3], std::atoll(argv[4]), std::atof(argv[5]));
    if (mode == "deep" && argc >= 8)
        return Deep(argv[2], argv[3], std::atoll(argv[4]), std::atoi(argv[5]), std::atof(argv[6]),
                    std::atoi(argv[7]), rest(8));
    if (mode == "slow" && argc >= 6)
        return Slow(argv[2], std::atoi(argv[3]), std::atoi(argv[4]), std::atof(argv[5]), rest(6));
    if (mode == "flood" && (argc == 7 || argc == 8))
        return Flood(argv[2], argv[3], std::atoi(argv[4]), std::atoi(argv[5]), std::atof(argv[6]),
                     argc == 8 ? std::atoi(argv[7]) : -1);
    std::fprintf(stderr, "usage: server-loadrun load BIN BACKEND SERVERS CLIENTS SUBMISSIONS READS\n"
                         "       server-loadrun crash BIN BACKEND ROUNDS KILL_AFTER\n"
                         "       server-loadrun seed BASE NAME SCORE SQUAD...\n"
                         "       server-loadrun played BASE NAME SCORE LEVEL\n"
                         "       server-loadrun churn BASE SECONDS LOG\n"
                         "       server-loadrun sweep BIN BACKEND TOKENS SECONDS\n"
                         "       server-loadrun deep BIN BACKEND ROWS DEEP_READERS SECONDS DEEP_PAGE [OPTION...]\n"
                         "       server-loadrun slow BIN SLOW GROUPS SECONDS [OPTION...]\n"
                         "       server-loadrun flood BIN BACKEND ADDRESSES GROUPS SECONDS [MAX_PER_GROUP]\n");
    return 2;
}
