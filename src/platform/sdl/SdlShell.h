// SPDX-License-Identifier: GPL-3.0-or-later
// The desktop's "open": web addresses and local files go to the handler
// the user chose for them.
#pragma once

#include "Platform.h"

#include <string>

class TSdlShell final : public IShell {
public:
    void Open(const std::string& target) override;

    // The address handed to the desktop: a target with a scheme
    // ("https://...", "mailto:...") as it is, anything else as a local path
    // made absolute and turned into a file:// address.
    static std::string AddressOf(const std::string& target);
};
