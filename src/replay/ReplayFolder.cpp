// SPDX-License-Identifier: GPL-3.0-or-later
// Saving replays into the player's folder and thinning it.
#include "ReplayFolder.h"

#include "ReplayError.h"

#include <charconv>
#include <cstdio>
#include <ostream>
#include <system_error>

namespace fs = std::filesystem;

namespace {

constexpr std::string_view kPrefix = "replay-";
constexpr std::string_view kSuffix = ".zrp";

} // namespace

std::string ReplayFileName(uint64_t sequence)
{
    char text[40];
    std::snprintf(text, sizeof text, "replay-%06llu.zrp", static_cast<unsigned long long>(sequence));
    return text;
}

std::optional<uint64_t> ReplaySequence(const std::string& fileName)
{
    const std::string_view name = fileName;
    if (name.size() <= kPrefix.size() + kSuffix.size() || !name.starts_with(kPrefix) || !name.ends_with(kSuffix)) return std::nullopt;
    const std::string_view digits = name.substr(kPrefix.size(), name.size() - kPrefix.size() - kSuffix.size());
    uint64_t sequence = 0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), sequence);
    if (error != std::errc() || end != digits.data() + digits.size()) return std::nullopt;
    return sequence;
}

TReplayFolder::TReplayFolder(fs::path folder, std::ostream& errors) : Folder_(std::move(folder)), Errors_(errors) {}

void TReplayFolder::Tell(const std::string& problem)
{
    if (Told_) return;
    Told_ = true;
    Errors_ << "zarvenok: " << problem << '\n';
}

uint64_t TReplayFolder::NextSequence() const
{
    uint64_t next = 1;
    std::error_code error;
    for (fs::directory_iterator it(Folder_, error), end; !error && it != end; it.increment(error)) {
        const auto sequence = ReplaySequence(it->path().filename().string());
        if (sequence && *sequence >= next) next = *sequence + 1;
    }
    return next;
}

std::vector<TStoredReplay> TReplayFolder::List() const
{
    std::vector<TStoredReplay> replays;
    std::error_code error;
    for (fs::directory_iterator it(Folder_, error), end; !error && it != end; it.increment(error)) {
        const std::string name = it->path().filename().string();
        const auto sequence = ReplaySequence(name);
        if (!sequence) continue;
        try {
            const TReplayHeader header = ReadReplayHeader(it->path());
            replays.push_back({name, *sequence, header.PlayerName, header.Score});
        } catch (const EReplayError&) {
        }
    }
    return replays;
}

std::optional<fs::path> TReplayFolder::Save(const TReplay& replay, const THighScoreTable& table)
{
    std::error_code error;
    fs::create_directories(Folder_, error);
    if (error) {
        Tell("Replay not saved: cannot make the folder \"" + Folder_.string() + "\": " + error.message());
        return std::nullopt;
    }
    const fs::path file = Folder_ / ReplayFileName(NextSequence());
    const TReplayWriteResult written = WriteReplayFile(file, replay);
    if (!written.Ok) {
        Tell("Replay not saved: " + written.Error);
        return std::nullopt;
    }
    for (const std::string& name : ReplaysToRemove(List(), table)) {
        fs::remove(Folder_ / name, error);
        if (error)
            Tell("Old replay not removed: \"" + (Folder_ / name).string() + "\": " + error.message());
    }
    return file;
}
