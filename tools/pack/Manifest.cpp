// SPDX-License-Identifier: GPL-3.0-or-later
// Manifest parsing: one item per line, words separated by blanks, settings
// as key=value, "#" starts a comment, double quotes keep blanks in a word.
#include "Manifest.h"

#include "Colors.h"

#include <charconv>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace {

std::vector<std::string> SplitWords(const std::string& line, const std::string& where)
{
    std::vector<std::string> words;
    size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && (line[i] == ' ' || line[i] == '\t' || line[i] == '\r')) ++i;
        if (i >= line.size() || line[i] == '#') break;
        std::string word;
        bool quoted = false;
        while (i < line.size() && (quoted || (line[i] != ' ' && line[i] != '\t' && line[i] != '\r'))) {
            if (line[i] == '"') {
                quoted = !quoted;
            } else {
                word += line[i];
            }
            ++i;
        }
        if (quoted) throw std::runtime_error(where + ": unterminated quote");
        words.push_back(word);
    }
    return words;
}

int ParseInt(const std::string& text, const std::string& where)
{
    int value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size())
        throw std::runtime_error(where + ": not a number: \"" + text + "\"");
    return value;
}

bool ParseBool(const std::string& text, const std::string& where)
{
    if (text == "1" || text == "yes" || text == "true") return true;
    if (text == "0" || text == "no" || text == "false") return false;
    throw std::runtime_error(where + ": expected 0 or 1: \"" + text + "\"");
}

void ParseSize(const std::string& text, int& w, int& h, const std::string& where)
{
    const auto x = text.find('x');
    if (x == std::string::npos) throw std::runtime_error(where + ": expected WIDTHxHEIGHT: \"" + text + "\"");
    w = ParseInt(text.substr(0, x), where);
    h = ParseInt(text.substr(x + 1), where);
}

uint32_t ParseColor(const std::string& text, const std::string& where)
{
    if (text.size() == 7 && text[0] == '#') {
        uint32_t rgb = 0;
        const auto [end, ec] = std::from_chars(text.data() + 1, text.data() + 7, rgb, 16);
        if (ec != std::errc() || end != text.data() + 7) throw std::runtime_error(where + ": bad colour \"" + text + "\"");
        return ((rgb & 0xFF) << 16) | (rgb & 0xFF00) | ((rgb >> 16) & 0xFF);
    }
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        uint32_t value = 0;
        const auto [end, ec] = std::from_chars(text.data() + 2, text.data() + text.size(), value, 16);
        if (ec != std::errc() || end != text.data() + text.size())
            throw std::runtime_error(where + ": bad colour \"" + text + "\"");
        return value;
    }
    if (const auto value = IdentToColor(text)) return *value;
    throw std::runtime_error(where + ": bad colour \"" + text + "\"");
}

} // namespace

std::vector<TManifestEntry> ParseManifest(const std::string& text, const std::string& manifestPath)
{
    const std::filesystem::path base = std::filesystem::path(manifestPath).parent_path();
    std::vector<TManifestEntry> entries;
    std::istringstream lines(text);
    std::string line;
    int number = 0;
    while (std::getline(lines, line)) {
        ++number;
        const std::string where = manifestPath + ":" + std::to_string(number);
        const auto words = SplitWords(line, where);
        if (words.empty()) continue;
        if (words.size() < 3) throw std::runtime_error(where + ": expected KIND NAME FILE [settings]");
        TManifestEntry entry;
        entry.Line = number;
        if (words[0] == "image") {
            entry.Kind = TManifestEntry::TKind::Image;
        } else if (words[0] == "wave") {
            entry.Kind = TManifestEntry::TKind::Wave;
        } else {
            throw std::runtime_error(where + ": unknown kind \"" + words[0] + "\" (image or wave)");
        }
        entry.Name = words[1];
        if (words[2] != "-") entry.File = (base / words[2]).string();
        for (size_t i = 3; i < words.size(); ++i) {
            const auto eq = words[i].find('=');
            if (eq == std::string::npos) throw std::runtime_error(where + ": expected key=value: \"" + words[i] + "\"");
            const std::string key = words[i].substr(0, eq), value = words[i].substr(eq + 1);
            const bool image = entry.Kind == TManifestEntry::TKind::Image;
            if (image && key == "pattern") {
                ParseSize(value, entry.PatternWidth, entry.PatternHeight, where);
            } else if (image && key == "skip") {
                ParseSize(value, entry.SkipWidth, entry.SkipHeight, where);
            } else if (image && key == "transparent") {
                entry.Transparent = ParseBool(value, where);
            } else if (image && key == "systemmemory") {
                entry.SystemMemory = ParseBool(value, where);
            } else if (image && key == "key") {
                if (value != "auto") entry.TransparentColor = ParseColor(value, where);
            } else if (!image && key == "looped") {
                entry.Looped = ParseBool(value, where);
            } else if (!image && key == "max") {
                entry.MaxPlayingCount = ParseInt(value, where);
            } else {
                throw std::runtime_error(where + ": unknown setting \"" + key + "\" for " + words[0]);
            }
        }
        if (entry.Kind == TManifestEntry::TKind::Wave && entry.File.empty())
            throw std::runtime_error(where + ": a wave needs a file");
        if (!entries.empty() && entries.front().Kind != entry.Kind)
            throw std::runtime_error(where + ": a library holds either images or waves, not both");
        entries.push_back(std::move(entry));
    }
    return entries;
}

std::vector<TManifestEntry> ReadManifest(const std::string& manifestPath)
{
    std::ifstream in(manifestPath, std::ios::binary);
    if (!in) throw std::runtime_error("Cannot open manifest \"" + manifestPath + "\"");
    std::ostringstream text;
    text << in.rdbuf();
    return ParseManifest(text.str(), manifestPath);
}
