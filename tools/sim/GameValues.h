// SPDX-License-Identifier: GPL-3.0-or-later
// The game values the simulator can print and set, by their names.
#pragma once

#include <string>
#include <vector>

class TMainForm;

// Text of a value ("true"/"false", decimal numbers, plain text); false when
// the name is unknown.
bool PrintGameValue(TMainForm& form, const std::string& name, std::string& text);
// Sets a field or flag from its text; false with a reason when it can't.
bool SetGameValue(TMainForm& form, const std::string& name, const std::string& text, std::string& error);
