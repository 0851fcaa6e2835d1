// SPDX-License-Identifier: GPL-3.0-or-later
// The main form: owns every component of the game for the whole run and
// the screen of each state, holds the game-wide values and flags (through
// the game context it is), and answers the window's events, the message
// timers and the frame clock.
//
// Where each group of members is defined:
//   start-up, screen states, the toggles, activation, full screen  src/shell/Unit1.cpp
//   the frame                                                     src/shell/FrameDriver.cpp
//   keys, buttons and the pointer                                  src/shell/InputDispatch.cpp
//   sound effects and music                                        src/shell/SoundControl.cpp
//   settings and high scores                                       src/shell/Settings.cpp
//   the message loop and the timers                                src/shell/MessageLoop.cpp
//   random numbers                                                 src/shell/GameRandom.cpp
//   the score server and the web pages                             src/shell/OnlineScores.cpp
//   recording replays and the steps a replay takes                 src/shell/Recording.cpp
// What each screen does is in its own file: src/screens/*Screen.cpp and
// src/battlefield/GameScreen.cpp.
#pragma once

#include "DXDraw.h"
#include "DXSound.h"
#include "DXSpriteEngine.h"
#include "DXTimer.h"
#include "GameContext.h"
#include "GameFolders.h"
#include "PictureCollection.h"
#include "Platform.h"
#include "RandomGenerator.h"
#include "ReplayFile.h"
#include "StateDigest.h"

#include <array>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>

class TReplayFolder;
class TReplayRecorder;
class TScreen;

class TMainForm : public TGameContext {
public:
    explicit TMainForm(IPlatform& platform);
    ~TMainForm() override;

    IPlatform& Platform;

    // ---- components (the timers, the text buffers, the flags and the
    // game-wide values are the context's)
    TDXDraw DXDraw;
    TDXImageList ImageList;
    TDXSpriteEngine SpriteEngine;
    TDXTimer DXTimer;
    TDXSound DXSound;
    TDXWaveList DXWaveList;

    // ---- start-up, screens and shutdown
    void FormCreate();
    void FormClose();
    void FormResize();
    void GoToState(uint8_t state) override;
    void ClearScreen();
    void Timer1Timer();
    void GamePauseClick();
    void GameMainExitClick();
    void GameFullScreenClick() override;
    void GameEnterNameClick();
    void GameSendResultClick();
    void GameClearHighScoreClick();
    void DXTimerActivate();
    void DXTimerDeactivate();
    void DXDrawInitializing();
    void DXDrawInitialize();
    void DXDrawFinalize();

    // ---- frames
    void DXTimerTimer(int lagCount);
    // The current screen's frame.
    void FrameHook();

    // ---- input
    void FormKeyDown(int key, bool alt);
    void DXDrawMouseDown(TMouseButton button, int x, int y);
    void DXDrawMouseUp(TMouseButton button, int x, int y);
    void DXDrawMouseMove(int x, int y);

    // ---- the level's timers and the shot
    void TimerLevelTimer();
    void Timer2Timer();
    void Timer3Timer();
    void ResolveShot(int x, int y);

    // ---- sound and music
    void PlaySound(TSound sound, bool wait = false) override;
    void StopSound(TSound sound, int32_t kind = 0) override;
    void StopAllSounds() override;
    void StopEngineSounds() override;
    void PlayMusic(const std::string& track) override;
    void StopMusic() override;
    void MusicContinuation();

    // ---- settings and high scores
    // Where the libraries, music and settings are (the working directory
    // unless the program says otherwise before Start).
    TGameFolders Folders;
    // Window (false) or full screen (true) for this run only, over the
    // stored choice, which is kept until the player switches in the game.
    std::optional<bool> FullScreenForRun;
    void LoadSettings();
    void SaveSettings() override;
    void ResetHighScores() override;

    // ---- online scores and the web site
    // Asks for a token as a game starts, so that the server can tell that
    // the game's replay fits the time since; SubmitScore uses it, or asks
    // for one itself when it has not come.
    void RequestGameToken();
    void SubmitScore() override;
    std::unique_ptr<IHttpTransfer> GameTokenRequest;
    // The token of the last score the server stored, for uploading the
    // game's replay (StartReplayUpload); empty when none was stored.
    std::string SubmittedToken;
    // Opens the address in the user's browser.
    void GoWeb(const std::string& address);
    void OpenHomePage() override { GoWeb(HomePageAddress()); }
    void OpenOnlineTable() override { GoWeb(OnlineTableAddress()); }
    // The server's base address (no trailing "/"); ZARVENOK_SERVER overrides
    // the one the game was built with.
    std::string ServerAddress() const;
    std::string HomePageAddress() const;
    std::string OnlineTableAddress() const;

    // ---- random numbers
    void Randomize() override;
    int32_t RandInt(int32_t n) override;

    // ---- the context's view of the components
    TDXDraw& Display() override { return DXDraw; }
    TDXSpriteEngine& Sprites() override { return SpriteEngine; }
    TPictureCollection& Images() override { return ImageList.Items; }
    bool WindowMinimized() override;
    void Quit() override { Terminated = true; }
    void Sleep(uint32_t ms) override;

    // ---- the window's caption
    void SetCaption(const std::string& caption) override;
    std::string Caption() const;

    // ---- the message loop
    // The four message timers, in the order their handlers are bound.
    std::array<TMessageTimer*, 4> Timers() { return {&Timer1, &TimerLevel, &Timer2, &Timer3}; }
    // Starts the program as the game does: components loaded, start-up,
    // then the window shown.
    void Start();
    void HandleEvent(const TInputEvent& event);
    // Due message timers in the order they fell due, then the frame.
    void RunDue();
    // Clock time of the next timer or frame; empty when nothing waits.
    std::optional<uint32_t> NextDeadline();
    // The real game's loop, to the end of the program; returns the exit status.
    int Run();
    // What follows the loop: "play.url" opened when it exists.
    void AfterLoop();
    // Set by the exit scene's Yes (or a termination signal).
    bool Terminated = false;
    // Set when a termination signal ended the program.
    bool Interrupted = false;
    // Frames run by the frame driver, for the tools.
    uint64_t FrameCount = 0;

    // ---- replays
    // Where the replay of each game goes: nowhere (the default, for the
    // tools), the replay folder beside the settings (the game), or one file
    // for the next game only (the simulator's "record").
    enum class TRecordTo { Nothing, ReplayFolder, OneFile };
    TRecordTo RecordTo = TRecordTo::Nothing;
    std::filesystem::path RecordFile;
    // The replay of the game that ended last, until it is written: a game
    // over waits for the player's name.
    const TReplay* EndedReplay() const { return EndedReplay_ ? &*EndedReplay_ : nullptr; }
    // Whether a game is being recorded now.
    bool Recording() const { return Recorder_ != nullptr; }
    // What a replay's state checks digest.
    TStateValues StateValues();
    // Replaying: play starts from the generator's state and the pointer's
    // place that the recording began with; then each timer and frame step
    // runs as the loop would run it, under the clock reading pinned for it.
    void ResumeRecordedStart(const TReplayHeader& header);
    void ReplayTimer(uint8_t timer);
    void ReplayFrame();
    // While a replay runs, the window state that play sees is the
    // recorded one, not that of the window the replay runs in.
    std::optional<TWindowState> ReplayedWindowState;
    TWindowState WindowState() const;

private:
    // The screen of the current state; nullptr before the first state.
    TScreen* CurrentScreen() const;
    template <class Screen>
    Screen& ScreenOf(uint8_t state) const;
    void SetWindowIcon();
    void StartRecording();
    void RecordEvent(uint32_t now, const TInputEvent& event);
    void RecordTimer(uint32_t now, TMessageTimer* timer);
    void RecordFrame(uint32_t now);
    void FinishRecording(uint32_t now);
    // Writes the ended game's replay; with the player's name when the game
    // over ended with the name entered.
    void KeepEndedReplay(bool named);
    void ReportSettingsProblem(const std::string& text);

    // Indexed by state; states without a screen hold nullptr.
    std::array<std::unique_ptr<TScreen>, gsGameOver + 1> Screens_;
    TRandomGenerator Random_;
    std::unique_ptr<TReplayRecorder> Recorder_;
    // The header's fields known when play starts.
    TReplayHeader RecordingStart_;
    bool RecordingEnds_ = false;
    std::optional<TReplay> EndedReplay_;
    std::optional<TLibraryDigests> LibraryDigests_;
    std::unique_ptr<TReplayFolder> ReplayFolder_;
    bool ReplayProblemTold_ = false;
    // "Config.cfg" exists but could not be read: it is left alone this run.
    bool SettingsUntouchable_ = false;
    bool SaveFailureShown_ = false;
    // The stored full-screen choice, written back while FullScreenForRun
    // rules and the player has not switched.
    std::optional<bool> KeptFullScreen_;
};
