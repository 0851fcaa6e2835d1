// SPDX-License-Identifier: GPL-3.0-or-later
// Fonts the pictures are drawn with: a missing one would not fail the
// drawing, it would quietly fall back to another face.
#pragma once

#include <string>

// Raises std::runtime_error naming the family and the hint (such as the
// package to install) when fontconfig has no face of that family.
void RequireFont(const std::string& family, const std::string& hint);
