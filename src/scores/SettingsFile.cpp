// SPDX-License-Identifier: GPL-3.0-or-later
// Reading and writing "Config.cfg".
#include "SettingsFile.h"

#include "TextEncoding.h"

#include <cerrno>
#include <charconv>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <istream>
#include <sstream>
#include <streambuf>
#include <string_view>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Far beyond anything the game writes (its texts hold at most ten letters);
// a longer line is damage and reads as empty rather than growing without end.
constexpr std::size_t MaxLineLength = 4096;

// One line without its LF or CR LF end; an empty string past the end of the
// stream or for an overlong line.
std::string ReadLine(std::istream& in)
{
    std::string line;
    std::streambuf* buffer = in.rdbuf();
    if (buffer == nullptr || !in.good())
        return line;
    bool overlong = false;
    for (;;) {
        const auto c = buffer->sbumpc();
        if (std::streambuf::traits_type::eq_int_type(c, std::streambuf::traits_type::eof())) {
            in.setstate(std::ios::eofbit);
            break;
        }
        const char ch = std::streambuf::traits_type::to_char_type(c);
        if (ch == '\n')
            break;
        if (overlong)
            continue;
        if (line.size() == MaxLineLength) {
            overlong = true;
            line.clear();
            continue;
        }
        line.push_back(ch);
    }
    if (overlong)
        return {};
    if (!line.empty() && line.back() == '\r')
        line.pop_back();
    return line;
}

std::string StripPadding(std::string text)
{
    while (!text.empty() && text.back() == '%')
        text.pop_back();
    return text;
}

// Decoded text of a padded line: the trailing '%' removed.
std::string DecodePadded(std::string_view line)
{
    return StripPadding(DecodeLine(line));
}

std::optional<int32_t> ParseScore(std::string_view text)
{
    int32_t value = 0;
    const char* first = text.data();
    const char* last = text.data() + text.size();
    const auto [end, ec] = std::from_chars(first, last, value, 10);
    if (text.empty() || ec != std::errc{} || end != last)
        return std::nullopt;
    return value;
}

std::string EncodePadded(std::string text)
{
    if (text.empty())
        return text;
    while (text.size() % 5 != 0)
        text.push_back('%');
    return EncodeLine(text);
}

void AppendLine(std::string& out, std::string_view line)
{
    out.append(line);
    out.append("\r\n");
}

bool WriteAll(int fd, std::string_view data)
{
    while (!data.empty()) {
        const ssize_t written = ::write(fd, data.data(), data.size());
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        data.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

// Makes the rename itself durable; a failure here leaves a complete file
// either way, so it is not reported.
void SyncDirectoryOf(const std::string& path)
{
    std::filesystem::path dir = std::filesystem::path(path).parent_path();
    if (dir.empty())
        dir = ".";
    const int fd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return;
    ::fsync(fd);
    ::close(fd);
}

} // namespace

TStoredSettings LoadSettings(std::istream& in, const TStoredSettings& defaults)
{
    TStoredSettings result = defaults;
    if (DecodeLine(ReadLine(in)) != "false")
        result.FullScreen = true;
    if (DecodeLine(ReadLine(in)) == "false")
        result.Music = false;
    if (DecodeLine(ReadLine(in)) == "false")
        result.Sound = false;
    result.AddText = DecodePadded(ReadLine(in));
    result.PlayerName = DecodePadded(ReadLine(in));

    for (auto& entry : result.HighScores) {
        // Decoded before stripping: a line of nothing but '%' is a stored
        // empty name, while an empty line keeps the default.
        const std::string name = DecodeLine(ReadLine(in));
        if (!name.empty())
            entry.Name = StripPadding(name);
        const std::string score = DecodeLine(ReadLine(in));
        if (!score.empty()) {
            if (const auto value = ParseScore(StripPadding(score)))
                entry.Score = *value;
        }
    }
    return result;
}

TSettingsLoad LoadSettingsFile(const std::string& path, const TStoredSettings& defaults,
                               TStoredSettings& settings, std::string& error)
{
    const auto unreadable = [&](int err) {
        error = "Cannot read settings from \"" + path + "\": " + std::strerror(err);
        return TSettingsLoad::Unreadable;
    };
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        // Only a name that leads nowhere is a missing file (a dangling link
        // included); anything else is there and kept safe.
        struct stat info {};
        if (errno == ENOENT && ::stat(path.c_str(), &info) != 0 && errno == ENOENT)
            return TSettingsLoad::Absent;
        return unreadable(errno);
    }
    std::string text;
    char buffer[4096];
    for (;;) {
        const ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got == 0)
            break;
        if (got < 0) {
            if (errno == EINTR)
                continue;
            const int err = errno;
            ::close(fd);
            return unreadable(err);
        }
        text.append(buffer, static_cast<std::size_t>(got));
    }
    ::close(fd);
    std::istringstream in(text);
    settings = LoadSettings(in, defaults);
    error.clear();
    return TSettingsLoad::Loaded;
}

std::string SaveSettings(const TStoredSettings& settings)
{
    auto flag = [](bool on) { return EncodeLine(on ? "true" : "false"); };
    std::string out;
    AppendLine(out, flag(settings.FullScreen));
    AppendLine(out, flag(settings.Music));
    AppendLine(out, flag(settings.Sound));
    AppendLine(out, EncodePadded(settings.AddText));
    AppendLine(out, EncodePadded(settings.PlayerName));
    for (const auto& entry : settings.HighScores) {
        AppendLine(out, EncodePadded(entry.Name));
        AppendLine(out, EncodePadded(std::to_string(entry.Score)));
    }
    return out;
}

bool SaveSettingsFile(const std::string& path, const TStoredSettings& settings,
                      std::string& error)
{
    auto fail = [&](const char* what, const std::string& file, int err) {
        error = "Cannot save settings to \"" + path + "\": " + what + " \"" + file +
                "\" failed: " + std::strerror(err);
        return false;
    };

    // A link is followed to the file it names, so that file stays the one
    // the game reads and writes.
    std::string target = path;
    {
        std::error_code ec;
        const auto resolved = std::filesystem::weakly_canonical(path, ec);
        if (!ec && !resolved.empty())
            target = resolved.string();
    }
    // An existing file keeps its permissions; one the player may not write
    // is not replaced behind his back.
    bool keepMode = false;
    mode_t mode = 0;
    struct stat info {};
    if (::stat(target.c_str(), &info) == 0) {
        if (!S_ISREG(info.st_mode))
            return fail("replacing", target, EISDIR);
        // The owner's write bit too: the file system lets root past it.
        if ((info.st_mode & S_IWUSR) == 0)
            return fail("opening", target, EACCES);
        if (::access(target.c_str(), W_OK) != 0)
            return fail("opening", target, errno);
        mode = info.st_mode & 07777;
        keepMode = true;
    }
    const std::string temp = target + ".tmp";

    const std::string text = SaveSettings(settings);
    const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOFOLLOW, 0666);
    if (fd < 0)
        return fail("creating", temp, errno);
    if (keepMode)
        ::fchmod(fd, mode);

    if (!WriteAll(fd, text) || ::fsync(fd) != 0) {
        const int err = errno;
        ::close(fd);
        ::unlink(temp.c_str());
        return fail("writing", temp, err);
    }
    if (::close(fd) != 0) {
        const int err = errno;
        ::unlink(temp.c_str());
        return fail("writing", temp, err);
    }
    if (::rename(temp.c_str(), target.c_str()) != 0) {
        const int err = errno;
        ::unlink(temp.c_str());
        return fail("replacing", target, err);
    }
    SyncDirectoryOf(target);
    error.clear();
    return true;
}
