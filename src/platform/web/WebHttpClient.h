// SPDX-License-Identifier: GPL-3.0-or-later
// HTTP through the browser's fetch (see WebHttpTransfer). A blocking
// Get lets the browser run on while the game's thread waits for the reply.
#pragma once

#include "Platform.h"

class TWebHttpClient final : public IHttpClient {
public:
    std::unique_ptr<IHttpTransfer> Start(const THttpRequest& request) override;
    std::string Get(const THttpRequest& request) override;
};
