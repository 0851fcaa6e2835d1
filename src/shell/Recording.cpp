// SPDX-License-Identifier: GPL-3.0-or-later
// Replays: every game is recorded from the click on "Start Game" until it
// ends (game over, or Esc and Yes), one record for each event, timer and
// frame step with the clock reading that step saw, and a state check now
// and then. The same steps, run again under those readings, make the same
// game. A replay that cannot be written costs the replay, never the game.
#include "Unit1.h"

#include "GameVersion.h"
#include "ReplayError.h"
#include "ReplayFolder.h"
#include "ReplayRecorder.h"
#include "Screen.h"

#include <algorithm>
#include <iostream>

void TMainForm::StartRecording()
{
    if (RecordTo == TRecordTo::Nothing) return;
    if (!LibraryDigests_) {
        try {
            LibraryDigests_ = DigestLibraries(Folders.Data / "Data/Graphic.dxg", Folders.Data / "Data/Music.dxw");
        } catch (const EReplayError& e) {
            // The libraries loaded, so this is rare; the replay just will not verify.
            if (!ReplayProblemTold_) std::cerr << "zarvenok: " << e.what() << '\n';
            ReplayProblemTold_ = true;
            LibraryDigests_ = TLibraryDigests{};
        }
    }
    TReplayHeader start;
    start.GameVersion = GameVersion;
    start.PictureLibrary = LibraryDigests_->Pictures;
    start.SoundLibrary = LibraryDigests_->Sounds;
    start.WindowState = Platform.Video().WindowState();
    start.FullScreen = GameFullScreen;
    start.BitCount = static_cast<uint8_t>(DXDraw.Display.BitCount());
    start.GeneratorState = Random_.State();
    start.PointerX = Input.MouseX;
    start.PointerY = Input.MouseY;
    RecordingStart_ = start;
    Recorder_ = std::make_unique<TReplayRecorder>(GameClock.Now());
    RecordingEnds_ = false;
}

void TMainForm::RecordEvent(uint32_t now, const TInputEvent& event)
{
    if (!Recorder_) return;
    Recorder_->Event(now, event);
    if (RecordingEnds_) FinishRecording(now);
}

void TMainForm::RecordTimer(uint32_t now, TMessageTimer* timer)
{
    if (!Recorder_) return;
    const auto timers = Timers();
    const auto found = std::find(timers.begin(), timers.end(), timer);
    Recorder_->Timer(now, static_cast<uint8_t>(found - timers.begin()));
    if (RecordingEnds_) FinishRecording(now);
}

void TMainForm::RecordFrame(uint32_t now)
{
    if (!Recorder_) return;
    if (Recorder_->Frame(now)) Recorder_->StateCheck(now, StateDigest(StateValues()));
    if (RecordingEnds_) FinishRecording(now);
}

void TMainForm::FinishRecording(uint32_t now)
{
    TReplayHeader header = RecordingStart_;
    header.Score = Score;
    header.Level = LevelNo;
    EndedReplay_ = Recorder_->Finish(now, header);
    Recorder_.reset();
    RecordingEnds_ = false;
    // Left with Esc and Yes there is no name to wait for.
    if (GameState != gsGameOver) KeepEndedReplay(false);
}

void TMainForm::KeepEndedReplay(bool named)
{
    if (!EndedReplay_) return;
    TReplay replay = std::move(*EndedReplay_);
    EndedReplay_.reset();
    if (named) replay.Header.PlayerName = PlayerName.substr(0, MaxPlayerNameLength);
    if (RecordTo == TRecordTo::OneFile) {
        RecordTo = TRecordTo::Nothing;
        const TReplayWriteResult written = WriteReplayFile(RecordFile, replay);
        if (!written.Ok) std::cerr << "zarvenok: the replay is not kept: " << written.Error << '\n';
        return;
    }
    // One folder for the run: it tells its failure once.
    if (!ReplayFolder_) ReplayFolder_ = std::make_unique<TReplayFolder>(Folders.Settings / ReplayFolderName, std::cerr);
    ReplayFolder_->Save(replay, HighScores);
}

TStateValues TMainForm::StateValues()
{
    TStateValues values;
    values.Score = Score;
    values.Lives = Lives;
    values.Health = Health;
    values.Level = LevelNo;
    values.Generator = Random_.State();
    TSpriteEngine& root = Root();
    values.Sprites.reserve(static_cast<size_t>(root.Count()));
    for (int i = 0; i < root.Count(); ++i) {
        const TSprite* sprite = root.Items(i);
        values.Sprites.push_back({sprite->ClassName(), sprite->X, sprite->Y});
    }
    return values;
}

void TMainForm::ResumeRecordedStart(const TReplayHeader& header)
{
    Random_.SetState(header.GeneratorState);
    Input.MouseX = header.PointerX;
    Input.MouseY = header.PointerY;
}

void TMainForm::ReplayTimer(uint8_t timer)
{
    const TClockStep step(GameClock);
    const auto timers = Timers();
    if (timer < timers.size()) timers[timer]->Fire();
}

void TMainForm::ReplayFrame()
{
    const TClockStep step(GameClock);
    DXTimerTimer(0);
}
