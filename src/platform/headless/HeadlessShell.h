// SPDX-License-Identifier: GPL-3.0-or-later
// The simulator's desktop shell: remembers what the game asked it to open.
#pragma once

#include "Platform.h"

#include <string>
#include <vector>

class THeadlessShell : public IShell {
public:
    void Open(const std::string& target) override { Opened_.push_back(target); }
    const std::vector<std::string>& Opened() const { return Opened_; }
    void Clear() { Opened_.clear(); }

private:
    std::vector<std::string> Opened_;
};
