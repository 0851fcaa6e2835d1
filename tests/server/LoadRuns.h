// SPDX-License-Identifier: GPL-3.0-or-later
// The runs of server-loadrun, each against real zarvenok-server processes
// on the loopback. They print figures and fail only on wrong answers, never
// on time: speed is read from the figures.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// A fixed amount of work from many clients; with two servers every token is
// fetched from one and submitted to the other. Fails if any submission is
// lost or refused.
int Load(const std::string& binary, const std::string& backend, int serverCount, int clients,
         int submissions, int reads);

// Kills the server with SIGKILL while submissions are in flight, restarts it
// on the same database and checks that every submission answered "OK" is
// there.
int Crash(const std::string& binary, const std::string& backend, int rounds, int killAfter);

// Submits scores the way the game does: NAME SCORE SQUAD triples.
int Seed(const std::string& base, char** rest, int count);
// A score sent with its replay, as the game sends them (PlayedGame.cpp).
int Played(const std::string& base, const std::string& name, int32_t score, int32_t level);

// Six clients submitting and reading the table, and one reading the home
// page, for `seconds`,
// each request logged as "START_SECONDS MILLISECONDS KIND STATUS NAME" (the
// start on the monotonic clock), for a run that breaks the database meanwhile.
int Churn(const std::string& base, double seconds, const std::string& logPath);

// A backlog of `tokens` expired tokens, then submissions from 8 clients for
// `seconds` while the server sweeps them. Fails if a submission is refused.
int Sweep(const std::string& binary, const std::string& backend, int64_t tokens, double seconds);

// A table of `rows` rows; readers of page 1 alone, then beside readers of a
// deep page, every reader inside the rate limit on an address of its own.
// Fails if a page-1 read is not answered 200.
int Deep(const std::string& binary, const std::string& backend, int64_t rows, int deepReaders, double seconds,
         int deepPage, const std::vector<std::string>& serverArgs);

// `slow` connections from `groups` address groups that send one header line
// every 5 s, beside ordinary clients on other addresses. Fails if an
// ordinary request is not answered, or a slow connection is still open at
// the end.
int Slow(const std::string& binary, int slow, int groups, double seconds, const std::vector<std::string>& serverArgs);

// Clients on `addresses` addresses in `groups` groups asking for tokens as
// fast as they can. Fails if a group got more than `maxPerGroup` (when not
// negative).
int Flood(const std::string& binary, const std::string& backend, int addresses, int groups, double seconds,
          int maxPerGroup);
