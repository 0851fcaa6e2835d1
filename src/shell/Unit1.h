// The main form: owns every component of the game for the whole run, holds
// the game-wide values and flags, and answers the window's events, the
// message timers and the frame clock.
//
// Where each group of members is defined:
//   start-up, screens, pause, exit question, activation  src/shell/Unit1.cpp
//   the frame and the level switch's place in it         src/shell/FrameDriver.cpp
//   keys, buttons and the pointer                         src/shell/InputDispatch.cpp
//   sound effects and music                               src/shell/SoundControl.cpp
//   settings and high scores                              src/shell/Settings.cpp
//   the message loop and the timers                       src/shell/MessageLoop.cpp
//   random numbers                                        src/shell/GameRandom.cpp
//   the score server and the web pages                    src/shell/OnlineScores.cpp
//   the start-game build and the scenes                   src/battlefield/Scenes.cpp
//   the gameplay frame, level timers and the switch       src/battlefield/Levels.cpp
//   the shot                                              src/battlefield/Shot.cpp
//   sprite text                                           src/screens/SpriteText.cpp
//   the HUD and the level-start number                    src/screens/Hud.cpp
//   the help screen                                       src/screens/HelpScreen.cpp
//   the options screen                                    src/screens/OptionsScreen.cpp
//   the high-score screen and its clear panel             src/screens/HighScoreScreen.cpp
//   the game-over screen                                  src/screens/GameOverScreen.cpp
//   the name-entry panel                                  src/screens/NameEntry.cpp
#pragma once

#include "DXDraw.h"
#include "DXSound.h"
#include "DXSpriteEngine.h"
#include "DXTimer.h"
#include "FireState.h"
#include "GameFolders.h"
#include "HighScores.h"
#include "LevelProgress.h"
#include "MenuState.h"
#include "PictureCollection.h"
#include "Platform.h"
#include "RandomGenerator.h"
#include "ShellGlobals.h"
#include "SpriteWalks.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>

class TMainForm;

// The one main form, as every part of the game reaches it.
extern TMainForm* MainForm;

class TMainForm {
public:
    explicit TMainForm(IPlatform& platform);
    ~TMainForm();
    TMainForm(const TMainForm&) = delete;
    TMainForm& operator=(const TMainForm&) = delete;

    IPlatform& Platform;

    // ---- components
    TDXDraw DXDraw;
    TDXImageList ImageList;
    TDXSpriteEngine SpriteEngine;
    TDXTimer DXTimer;
    TDXSound DXSound;
    TDXWaveList DXWaveList;
    TMessageTimer Timer1;
    TMessageTimer TimerLevel;
    TMessageTimer Timer2;
    TMessageTimer Timer3;
    // Hidden text buffers: the options screen's text and the player's name.
    std::string Edit1;
    std::string Edit2;

    // ---- option flags (the popup menu's checkable items)
    bool GamePause = false;
    bool GameFullScreen = false;
    bool GameSound = true;
    bool GameMusic = true;
    bool GameMainExit = false;
    bool GameEnterName = false;
    bool GameSendResult = false;
    bool GamegoEdit = false;
    bool GameClearHighScore = false;

    // ---- game-wide values
    uint8_t GameState = 0;
    int32_t LevelNo = 0;
    int32_t SceneNo = 0;
    int32_t Score = 0;
    int32_t Lives = 0;
    int32_t Health = 0;
    int32_t InfantryCount = 0;
    int32_t VehicleCount = 0;
    std::string PlayerName;
    std::string AddText;
    THighScoreTable HighScores;

    // ---- the globals of each concern
    TActivationFlags Activation;
    TInputState Input;
    TMusicState Music;
    TMenuState Menus;
    TFireState Fire;
    TLevelProgress Progress;

    // The sprite tree's root, which holds every sprite of the game.
    TSpriteEngine& Root() { return SpriteEngine.Engine(); }
    // The library image of that name (EPictureCollectionError when missing).
    TPictureCollectionItem& Image(const std::string& name) { return ImageList.Items.Find(name); }

    // ---- start-up, screens and shutdown
    void FormCreate();
    void FormClose();
    void FormResize();
    void GoToState(uint8_t state);
    void ClearScreen();
    void Timer1Timer();
    void GamePauseClick();
    void GameMainExitClick();
    void GameFullScreenClick();
    void GamegoEditClick();
    void DXTimerActivate();
    void DXTimerDeactivate();
    void DXDrawInitializing();
    void DXDrawInitialize();
    void DXDrawFinalize();

    // ---- frames
    void DXTimerTimer(int lagCount);

    // ---- input
    void FormKeyDown(int key, bool alt);
    void DXDrawMouseDown(TMouseButton button, int x, int y);
    void DXDrawMouseUp(TMouseButton button, int x, int y);
    void DXDrawMouseMove(int x, int y);

    // ---- sound and music
    void PlaySound(const std::string& name, bool wait);
    void StopSound(const std::string& name, int32_t kind);
    void PlayMusic(const std::string& track);
    void StopMusic();
    void GameSoundClick();
    void GameMusicClick();
    void MusicContinuation();

    // ---- settings and high scores
    // Where the libraries, music and settings are (the working directory
    // unless the program says otherwise before Start).
    TGameFolders Folders;
    // Window (false) or full screen (true) for this run only, over the
    // stored choice, which is kept until the player switches in the game.
    std::optional<bool> FullScreenForRun;
    void LoadSettings();
    void SaveSettings();
    void ResetHighScores();

    // ---- online scores and the web site
    // Sends the committed name and score to the score server.
    void SubmitScore();
    // Opens the address in the user's browser.
    void GoWeb(const std::string& address);
    // The server's base address (no trailing "/"); ZARVENOK_SERVER overrides
    // the one the game was built with.
    std::string ServerAddress() const;
    std::string HomePageAddress() const;
    std::string OnlineTableAddress() const;

    // ---- random numbers
    // Seeds the game's generator from the clock.
    void Randomize();
    // 0 .. n - 1 with equal chance.
    int32_t RandInt(int32_t n);

    // ---- the battlefield
    void StartGame();
    void BuildScene1();
    void BuildScene2();
    void BuildScene3();
    void BuildScene4();
    // Scene n of 1 .. 4.
    void BuildScene(int n);
    void GameplayFrame();
    void LevelSwitch();
    void TimerLevelTimer();
    void Timer3Timer();
    void ResolveShot(int x, int y);

    // ---- sprite text and HUD
    void DrawNumber(int32_t value, int32_t x, int32_t y, const std::string& prefix, double scale);
    void DrawScoreCentred(int32_t centreX, int32_t y, const std::string& prefix);
    void DrawWord(const std::string& text, double x, double y, double scale);
    void ShowCountdown();
    void ShowLives();
    void ShowHealth();
    void ShowFireMode();
    void ShowLevel();
    void Timer2Timer();

    // ---- the screens around the game
    void BuildHelp();
    void BuildOptions();
    void OptionsFrame();
    void BuildHighScores();
    void GameClearHighScoreClick();
    void BuildGameOver();
    void GameOverFrame();
    void GameEnterNameClick();
    void GameSendResultClick();

    // ---- the window's caption
    void SetCaption(const std::string& caption);
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

private:
    void SetWindowIcon();
    void BuildMenu();
    void BuildExitScene();
    void FrameHook();
    void PlainFrame(bool fill);
    // Fills the back surface with 0 unless a backdrop will paint over it all.
    void ClearBackSurface();
    void TypeInto(std::string& buffer, int key);
    bool ScoreReachedTable() const;
    void SpawnEnemies();
    void ReportSettingsProblem(const std::string& text);

    TRandomGenerator Random_;
    // "Config.cfg" exists but could not be read: it is left alone this run.
    bool SettingsUntouchable_ = false;
    bool SaveFailureShown_ = false;
    // The stored full-screen choice, written back while FullScreenForRun
    // rules and the player has not switched.
    std::optional<bool> KeptFullScreen_;
};
