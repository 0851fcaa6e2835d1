// The main form: owns every component of the game for the whole run, holds
// the game-wide values and flags, and answers the window's events, the
// message timers and the frame clock.
#pragma once

#include "DXDraw.h"
#include "DXSound.h"
#include "DXSpriteEngine.h"
#include "DXTimer.h"
#include "HighScores.h"
#include "PictureCollection.h"
#include "Platform.h"

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
    std::string PlayerName;
    std::string AddText;
    THighScoreTable HighScores;

    // ---- flags of start-up, activation and the level intro
    bool FocusLost = false;
    bool ResizeSeen = false;
    bool PausedBeforeFocusLoss = false;
    bool Timer1Pending = false;
    bool Timer2Pending = false;
    bool Timer3Pending = false;
    bool GameOver = false;
    bool PlayerHit = false;
    bool LevelIntro = false;
    bool LevelWordArrived = false;
    int32_t LevelCountdown = 0;

    // ---- input
    int32_t MouseX = 0;
    int32_t MouseY = 0;
    bool TriggerHeld = false;
    bool SingleFire = true;
    bool ShotFired = false;
    bool HoverArmed = false;
    bool MenuMusicPending = false;
    int32_t HelpPage = 1;

    // ---- music
    int32_t SongHandle = 0;
    int32_t LastSongOrder = 0;
    // The track of the loaded module, for the tools ("" when none).
    std::string SongTrack;

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
    // Kills (marks dead) every child of the root that is a Class or descends from it.
    template <class Class>
    void KillAll()
    {
        TSpriteEngine& root = SpriteEngine.Engine();
        for (int i = 0; i < root.Count(); ++i)
            if (dynamic_cast<Class*>(root.Items(i)) != nullptr) root.Items(i)->Dead();
    }

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
    void LoadSettings();
    void SaveSettings();
    void ResetHighScores();

    // ---- the window's caption
    void SetCaption(const std::string& caption);
    std::string Caption() const;

    // ---- the message loop
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
    void TypeInto(std::string& buffer, int key);
    bool ScoreReachedTable() const;
};
