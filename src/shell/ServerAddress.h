// SPDX-License-Identifier: GPL-3.0-or-later
// Which score server the game talks to: none until the player or the build
// names one, so that a fresh game never connects anywhere by itself.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

// The first address that is set: `environment` (ZARVENOK_SERVER, may be
// null), the first line of `file` (server.url in the player's folder), then
// `builtIn` (the build's ZARVENOK_SERVER_URL). Spaces around it and trailing
// "/" are dropped; a blank value or one that is not an http:// or https://
// address counts as unset. Empty when none is set.
std::string ResolveServerAddress(const char* environment, const std::filesystem::path& file,
                                 std::string_view builtIn);
