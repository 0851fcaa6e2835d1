// SPDX-License-Identifier: GPL-3.0-or-later
// "Volume.cfg": the volumes and the mute switch.
#include "VolumeSettings.h"

#include <cerrno>
#include <charconv>
#include <cstring>
#include <fstream>
#include <optional>
#include <sstream>
#include <system_error>

namespace {

constexpr const char* MusicKey = "music-volume";
constexpr const char* SoundKey = "sound-volume";
constexpr const char* MutedKey = "muted";

std::string Trimmed(const std::string& text)
{
    const size_t first = text.find_first_not_of(" \t\r");
    if (first == std::string::npos) return {};
    const size_t last = text.find_last_not_of(" \t\r");
    return text.substr(first, last - first + 1);
}

std::optional<int> Volume(const std::string& text)
{
    int value = 0;
    const char* end = text.data() + text.size();
    const auto [stop, failure] = std::from_chars(text.data(), end, value);
    if (text.empty() || failure != std::errc() || stop != end || value < 0 || value > 100) return std::nullopt;
    return value;
}

std::optional<bool> YesOrNo(const std::string& text)
{
    if (text == "yes") return true;
    if (text == "no") return false;
    return std::nullopt;
}

} // namespace

TSoundLevels TVolumeSettingsFile::Load(std::vector<std::string>& problems)
{
    TSoundLevels levels;
    OtherLines_.clear();
    std::error_code error;
    if (!std::filesystem::exists(Path_, error)) return levels;
    std::ifstream in(Path_);
    if (!in || !std::filesystem::is_regular_file(Path_, error)) {
        Untouchable_ = true;
        problems.push_back("Cannot read \"" + Path_.string() +
                           "\": the volumes are at their defaults and the file is left as it is");
        return levels;
    }
    const std::string where = "\"" + Path_.string() + "\" line ";
    std::string line;
    for (int number = 1; std::getline(in, line); ++number) {
        const std::string text = Trimmed(line);
        const size_t equals = text.find('=');
        const std::string name = equals == std::string::npos ? std::string() : Trimmed(text.substr(0, equals));
        const std::string value = equals == std::string::npos ? std::string() : Trimmed(text.substr(equals + 1));
        if (name == MusicKey || name == SoundKey) {
            const std::optional<int> volume = Volume(value);
            if (volume)
                (name == MusicKey ? levels.Music : levels.Sound) = *volume;
            else
                problems.push_back(where + std::to_string(number) + ": " + name +
                                   " should be a whole number from 0 to 100, not '" + value + "'; using 100");
        } else if (name == MutedKey) {
            const std::optional<bool> muted = YesOrNo(value);
            if (muted)
                levels.Muted = *muted;
            else
                problems.push_back(where + std::to_string(number) + ": muted should be yes or no, not '" + value +
                                   "'; using no");
        } else if (!text.empty() && !text.starts_with("#")) {
            OtherLines_.push_back(line);
        }
    }
    return levels;
}

bool TVolumeSettingsFile::Save(const TSoundLevels& levels, std::string& error)
{
    if (Untouchable_) {
        error = "\"" + Path_.string() + "\" could not be read, so it is not written over";
        return false;
    }
    std::error_code failure;
    if (Path_.has_parent_path()) std::filesystem::create_directories(Path_.parent_path(), failure);
    if (failure) {
        error = "Cannot make the folder \"" + Path_.parent_path().string() + "\": " + failure.message();
        return false;
    }
    std::ostringstream text;
    text << "# Zarvenok's volumes, from 0 to 100, and whether M has muted them\n"
         << MusicKey << " = " << levels.Music << '\n'
         << SoundKey << " = " << levels.Sound << '\n'
         << MutedKey << " = " << (levels.Muted ? "yes" : "no") << '\n';
    for (const std::string& line : OtherLines_) text << line << '\n';
    // Written whole beside it and then renamed, so a crash leaves the old file.
    std::filesystem::path temporary = Path_;
    temporary += ".tmp";
    {
        std::ofstream out(temporary, std::ios::trunc);
        out << text.str();
        out.flush();
        if (!out) {
            error = "Cannot write \"" + temporary.string() + "\": " + std::strerror(errno);
            std::filesystem::remove(temporary, failure);
            return false;
        }
    }
    std::filesystem::rename(temporary, Path_, failure);
    if (failure) {
        error = "Cannot write \"" + Path_.string() + "\": " + failure.message();
        std::filesystem::remove(temporary, failure);
        return false;
    }
    return true;
}
