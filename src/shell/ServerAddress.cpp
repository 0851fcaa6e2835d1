// SPDX-License-Identifier: GPL-3.0-or-later
#include "ServerAddress.h"

#include <fstream>

namespace {

// The longest line read from the file: an address, not a document.
constexpr std::streamsize kMaxLine = 2048;

std::string Usable(std::string_view text)
{
    constexpr std::string_view kSpace = " \t\r\n";
    const size_t first = text.find_first_not_of(kSpace);
    if (first == std::string_view::npos) return {};
    text = text.substr(first, text.find_last_not_of(kSpace) - first + 1);
    while (!text.empty() && text.back() == '/') text.remove_suffix(1);
    const bool web = text.starts_with("http://") || text.starts_with("https://");
    // A bare "http://" names no host.
    if (!web || text.find("://") + 3 >= text.size()) return {};
    return std::string(text);
}

std::string FirstLine(const std::filesystem::path& file)
{
    std::ifstream in(file, std::ios::binary);
    if (!in) return {};
    std::string text(kMaxLine, '\0');
    in.read(text.data(), kMaxLine);
    text.resize(static_cast<size_t>(in.gcount()));
    const size_t end = text.find('\n');
    // A first line longer than any address is not one.
    if (end == std::string::npos && !in.eof()) return {};
    return text.substr(0, end);
}

} // namespace

std::string ResolveServerAddress(const char* environment, const std::filesystem::path& file,
                                 std::string_view builtIn)
{
    if (environment != nullptr) {
        if (std::string address = Usable(environment); !address.empty()) return address;
    }
    if (std::string address = Usable(FirstLine(file)); !address.empty()) return address;
    return Usable(builtIn);
}
