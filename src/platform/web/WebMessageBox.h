// SPDX-License-Identifier: GPL-3.0-or-later
// Information boxes drawn by the page over the canvas, blocking the game as
// a desktop's box does: the game's thread waits (the browser runs on) until
// the player presses OK, Enter, Space or Esc. Keys go to the box meanwhile.
#pragma once

#include "Platform.h"

class TWebMessageBox final : public IMessageBox {
public:
    void Show(const std::string& title, const std::string& text) override;
};
