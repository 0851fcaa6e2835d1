// SPDX-License-Identifier: GPL-3.0-or-later
// Information boxes over the game's window; on standard error when no
// display can show one.
#pragma once

#include "Platform.h"

class TSdlVideo;

class TSdlMessageBox final : public IMessageBox {
public:
    explicit TSdlMessageBox(const TSdlVideo& video);
    // Blocks until the user closes the box.
    void Show(const std::string& title, const std::string& text) override;

private:
    const TSdlVideo& Video_;
};
