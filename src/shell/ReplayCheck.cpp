// SPDX-License-Identifier: GPL-3.0-or-later
// Checking a replay by playing it to its end.
#include "ReplayCheck.h"

#include "GameVersion.h"
#include "ReplayPlayer.h"
#include "Sha256.h"
#include "Unit1.h"

std::string TReplayVerdict::Line() const
{
    switch (Kind) {
    case TKind::Verified:
        return "verified: score " + std::to_string(Score) + ", level " + std::to_string(Level) + ", frames " +
               std::to_string(Frames);
    case TKind::Desync: return "desync at frame " + std::to_string(Frames);
    case TKind::ResultDiffers: return "result differs: " + Problem;
    }
    return {};
}

TReplayVerdict CheckReplay(TMainForm& form, const TReplay& replay, const std::function<void()>& afterStep)
{
    TReplayVerdict verdict;
    const TReplayHeader& claimed = replay.Header;
    {
        TReplayPlayer player(form, replay);
        TReplayStep step = TReplayStep::Played;
        uint32_t lastReading = claimed.StartClock;
        while (step == TReplayStep::Played) {
            if (const auto next = player.NextReading()) lastReading = *next;
            step = player.Step();
            if (afterStep) afterStep();
        }
        verdict.Frames = player.Frames();
        verdict.GameTimeMs = lastReading - claimed.StartClock;
        if (step == TReplayStep::Desync || !player.GameEnded()) {
            verdict.Kind = TReplayVerdict::TKind::Desync;
            verdict.Problem = step == TReplayStep::Desync ? player.Problem() : "the game did not end";
            return verdict;
        }
    }
    verdict.Score = form.Score;
    verdict.Level = form.LevelNo;
    verdict.GameOver = form.GameState == gsGameOver;
    const auto differs = [&verdict](const std::string& what, int64_t said, int64_t found) {
        verdict.Kind = TReplayVerdict::TKind::ResultDiffers;
        verdict.Problem = "claimed " + what + std::to_string(said) + ", replayed " + what + std::to_string(found);
    };
    if (claimed.Score != verdict.Score) differs("", claimed.Score, verdict.Score);
    else if (claimed.Level != verdict.Level) differs("level ", claimed.Level, verdict.Level);
    else if (claimed.Frames != verdict.Frames) differs("frames ", claimed.Frames, verdict.Frames);
    return verdict;
}

std::optional<std::string> ReplayMismatch(const TReplayHeader& header, const std::filesystem::path& dataFolder)
{
    if (header.GameVersion != GameVersion)
        return "recorded by game version " + header.GameVersion + ", this is " + GameVersion;
    const TLibraryDigests here = DigestLibraries(dataFolder / "Data/Graphic.dxg", dataFolder / "Data/Music.dxw");
    if (header.PictureLibrary != here.Pictures) return std::string("recorded with other pictures (Graphic.dxg)");
    if (header.SoundLibrary != here.Sounds) return std::string("recorded with other sounds (Music.dxw)");
    return std::nullopt;
}
