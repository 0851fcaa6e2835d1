// SPDX-License-Identifier: GPL-3.0-or-later
// The requests the game makes of the score server, with the headers and
// deadlines they share: the two queries of the score submission and the
// upload of the game's replay that lets the server check the score.
#pragma once

#include "Platform.h"

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>

// A GET of the score server's path with `query` percent-encoded.
THttpRequest ScoreServerRequest(const std::string& address, std::string_view query);

// The POST of a replay's bytes with the token of the submitted score.
THttpRequest ReplayUploadRequest(const std::string& address, const std::string& token,
                                 std::span<const uint8_t> replay);

// Starts the upload; poll the transfer for its outcome, as for every other
// request. A replay larger than the server takes is not sent: the transfer
// is refused at once (status 413) with a reason a player can read.
std::unique_ptr<IHttpTransfer> StartReplayUpload(IHttpClient& http, const std::string& address,
                                                 const std::string& token, std::span<const uint8_t> replay);
