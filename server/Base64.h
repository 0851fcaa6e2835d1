// SPDX-License-Identifier: GPL-3.0-or-later
// Base64 (RFC 4648, with padding) for keeping replays in a text column.
#pragma once

#include <optional>
#include <string>
#include <string_view>

std::string Base64Encode(std::string_view bytes);
// Empty when `text` is not base64 of this form.
std::optional<std::string> Base64Decode(std::string_view text);
