// SPDX-License-Identifier: GPL-3.0-or-later
// The simulator's message box: records what would have been shown.
#pragma once

#include "Platform.h"

#include <string>
#include <vector>

class THeadlessMessageBox : public IMessageBox {
public:
    struct TMessage {
        std::string Title;
        std::string Text;
        bool operator==(const TMessage&) const = default;
    };

    void Show(const std::string& title, const std::string& text) override { Messages_.push_back({title, text}); }
    const std::vector<TMessage>& Messages() const { return Messages_; }
    void Clear() { Messages_.clear(); }

private:
    std::vector<TMessage> Messages_;
};
