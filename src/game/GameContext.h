// SPDX-License-Identifier: GPL-3.0-or-later
// What sprites and screens see of the running game: its values and flags,
// its message timers, the engine's components it draws with, and the few
// operations of the shell they call. The main form is the one context.
#pragma once

#include "DXTimer.h"
#include "FireState.h"
#include "GameClock.h"
#include "GameState.h"
#include "HighScores.h"
#include "LevelProgress.h"
#include "MenuState.h"
#include "PictureCollection.h"
#include "ShellGlobals.h"
#include "Sounds.h"
#include "SpriteEngine.h"

#include <cstdint>
#include <string>

class TDXDraw;
class TDXSpriteEngine;

class TGameContext {
public:
    explicit TGameContext(IClock& clock);
    virtual ~TGameContext();
    TGameContext(const TGameContext&) = delete;
    TGameContext& operator=(const TGameContext&) = delete;

    // The platform's clock, read once per step; everything of the game that
    // tells time uses it.
    TGameClock GameClock;

    // ---- the message timers
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
    uint8_t GameState = gsNone;
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

    // ---- the values of each concern
    TActivationFlags Activation;
    TInputState Input;
    TMusicState Music;
    TMenuState Menus;
    TFireState Fire;
    TLevelProgress Progress;

    // ---- the engine's components
    virtual TDXDraw& Display() = 0;
    virtual TDXSpriteEngine& Sprites() = 0;
    virtual TPictureCollection& Images() = 0;
    // The sprite tree's root, which holds every sprite of the game.
    TSpriteEngine& Root();
    // The library image of that name (EPictureCollectionError when missing).
    TPictureCollectionItem& Image(const std::string& name) { return Images().Find(name); }
    // nullptr when the library has no image of that name.
    const TPictureCollectionItem* FindImage(const std::string& name);

    // ---- sound and music
    virtual void PlaySound(TSound sound, bool wait = false) = 0;
    // Stops the sound; with a kind, only when the last enemy of that kind
    // (still among the children) goes.
    virtual void StopSound(TSound sound, int32_t kind = 0) = 0;
    virtual void StopAllSounds() = 0;
    // The three engine loops.
    virtual void StopEngineSounds() = 0;
    virtual void PlayMusic(const std::string& track) = 0;
    virtual void StopMusic() = 0;

    // ---- random numbers: seeded from the clock, 0 .. n - 1 with equal chance
    virtual void Randomize() = 0;
    virtual int32_t RandInt(int32_t n) = 0;

    // ---- what the shell does for the screens
    virtual void GoToState(uint8_t state) = 0;
    virtual void SaveSettings() = 0;
    // The default table, saved and shown.
    virtual void ResetHighScores() = 0;
    virtual void GameFullScreenClick() = 0;
    virtual bool WindowMinimized() = 0;
    virtual void SetCaption(const std::string& caption) = 0;
    // Opens the home page or the online table in the user's browser.
    virtual void OpenHomePage() = 0;
    virtual void OpenOnlineTable() = 0;
    // Sends the committed name and score to the score server.
    virtual void SubmitScore() = 0;
    // The player confirmed leaving: the loop ends.
    virtual void Quit() = 0;
    // Blocks the game for a moment (the game-over screen's pause before
    // the menu).
    virtual void Sleep(uint32_t ms) = 0;

    // ---- the option toggles that only flip their flag
    void GameSoundClick() { GameSound = !GameSound; }
    void GameMusicClick() { GameMusic = !GameMusic; }
    void GamegoEditClick() { GamegoEdit = !GamegoEdit; }
    // The score is good enough for the local table.
    bool ScoreReachedTable() const;
};

// The running game, as sprites reach it (set by the form while it lives).
TGameContext& Game();
void SetGame(TGameContext* game);
