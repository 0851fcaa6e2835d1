// SPDX-License-Identifier: GPL-3.0-or-later
// The desktop's "open" in a page: a web address opens in a new tab; local
// files mean nothing to a browser and are ignored.
#pragma once

#include "Platform.h"

#include <string>

class TWebShell final : public IShell {
public:
    void Open(const std::string& target) override;

    // Whether the browser can open the target: an http or https address.
    static bool IsWebAddress(const std::string& target);
};
