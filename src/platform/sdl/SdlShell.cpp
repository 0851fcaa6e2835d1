// SPDX-License-Identifier: GPL-3.0-or-later
// The desktop's "open" through SDL_OpenURL.
#include "SdlShell.h"

#include <SDL.h>

#include <cctype>
#include <filesystem>

namespace {

// A scheme is a letter and then letters, digits, '+', '-' or '.', before a
// colon; one letter alone would be a drive name, not a scheme.
bool HasScheme(const std::string& target)
{
    const size_t colon = target.find(':');
    if (colon == std::string::npos || colon < 2) return false;
    if (std::isalpha(static_cast<unsigned char>(target[0])) == 0) return false;
    for (size_t i = 1; i < colon; ++i) {
        const auto c = static_cast<unsigned char>(target[i]);
        if (std::isalnum(c) == 0 && c != '+' && c != '-' && c != '.') return false;
    }
    return true;
}

std::string PercentEncoded(const std::string& path)
{
    static constexpr char Hex[] = "0123456789ABCDEF";
    std::string encoded;
    for (const char ch : path) {
        const auto c = static_cast<unsigned char>(ch);
        if (std::isalnum(c) != 0 || c == '/' || c == '-' || c == '.' || c == '_' || c == '~') {
            encoded += ch;
        } else {
            encoded += '%';
            encoded += Hex[c >> 4];
            encoded += Hex[c & 15];
        }
    }
    return encoded;
}

} // namespace

std::string TSdlShell::AddressOf(const std::string& target)
{
    if (HasScheme(target)) return target;
    std::error_code error;
    std::filesystem::path path = std::filesystem::absolute(target, error);
    if (error) path = target;
    return "file://" + PercentEncoded(path.lexically_normal().generic_string());
}

void TSdlShell::Open(const std::string& target)
{
    if (target.empty()) return;
    // The desktop's handler runs on its own; whether it managed is not ours to know.
    SDL_OpenURL(AddressOf(target).c_str());
}
