// SPDX-License-Identifier: GPL-3.0-or-later
// The game as a screen state: its build, frame, input, timers and focus.
#include "GameScreen.h"

#include "Buttons.h"
#include "DXDraw.h"
#include "DXSpriteEngine.h"
#include "Hud.h"
#include "Images.h"
#include "LevelIntro.h"
#include "Levels.h"
#include "Scenes.h"
#include "Shot.h"
#include "SpriteText.h"
#include "SpriteWalks.h"
#include "Weapon.h"

namespace {
const char* const kCaption = "Zarvenok";
const char* const kPausedCaption = "Zarvenok [Pause]";
} // namespace

void TGameScreen::Build()
{
    Game.PlayMusic("2");
    TLevelProgress& progress = Game.Progress;
    progress.LevelCountdown = 29;
    progress.LevelIntro = true;
    Game.Fire.SingleFire = true;
    Game.LevelNo = 1;
    Game.Score = 0;
    Game.Lives = 3;
    Game.Health = 100;
    progress.InfantryLimit = 5;
    progress.VehicleLimit = 1;
    progress.SpawnChance = 2.0;
    Game.Fire.ShotPower = 1;
    progress.CountdownBlink = false;
    BuildScene(Game, 1);
}

void TGameScreen::Teardown()
{
    Game.Menus.MenuMusicPending = true;
    Game.TimerLevel.SetEnabled(false);
    Game.Timer1.SetEnabled(false);
    Game.Timer2.SetEnabled(false);
    Game.Timer3.SetEnabled(false);
    Game.StopAllSounds();
}

bool TGameScreen::InPlay() const
{
    return !Game.GamePause && !Game.GameMainExit && !Game.Progress.LevelIntro;
}

void TGameScreen::Frame()
{
    TDXSpriteEngine& sprites = Game.Sprites();
    TSpriteEngine& root = Game.Root();
    TDirectDrawSurface* surface = Game.Display().Surface();
    if (Game.GamePause || Game.GameMainExit) {
        // Frozen, but the crosshair still follows the pointer.
        if (auto* crosshair = FirstChild<Pricel_prosto>(root)) crosshair->Move(16);
    } else {
        sprites.Move(16);
    }
    sprites.Dead();
    ClearBackSurface(Game);
    sprites.Draw();

    if (InPlay()) {
        // Drawn next frame; what they mark dead goes in the next dead pass.
        ShowCountdown(Game);
        ShowLives(Game);
        ShowHealth(Game);
        ShowFireMode(Game);
        ShowLevel(Game);
        DrawScoreCentred(Game, 399, 12, Images::CountdownDigit);
        KillAll<TBegin>(root);
        Game.Randomize();
        SpawnEnemies(Game);
        if (Game.Progress.PlayerHit) {
            Game.Progress.PlayerHit = false;
            Game.PlaySound(TSound::PlayerDead);
            // The raw value 255 in the surface's own format: a flash instead
            // of the battlefield for this frame.
            if (surface != nullptr) surface->Fill(255);
        }
    }
    if (Game.Progress.GameOver) {
        Game.GoToState(gsGameOver);
        Game.TimerLevel.SetEnabled(false);
    }
}

void TGameScreen::AfterFrame()
{
    if (Game.Progress.LevelCountdown < 0) LevelSwitch(Game);
}

void TGameScreen::KeyDown(int key, bool /*alt*/)
{
    if (key == 'P' && !Game.GameMainExit && !Game.Progress.LevelIntro) PauseClick();
    if (key == VirtualKey::Escape && !Game.GamePause && !Game.Progress.LevelIntro) MainExitClick();
}

void TGameScreen::MouseDown(TMouseButton button, int x, int y)
{
    if (InPlay()) {
        if (button == TMouseButton::Left) Game.Input.TriggerHeld = true;
        // The event's own position: the pointer may have moved since the last move event.
        ResolveShot(Game, x, y);
    }
    if (Game.GameMainExit) {
        if (Pressed<TMainExit_Yes>(Game)) {
            MainExitClick();
            Game.GoToState(gsMenu);
            Click();
        } else if (Pressed<TMainExit_No>(Game)) {
            MainExitClick();
            Click();
        }
    }
}

void TGameScreen::PointerMoved(int x, int y)
{
    if (Game.GameMainExit) {
        Hover(ScreenButtons<TMainExit_Yes, TMainExit_No>());
        return;
    }
    // Burst fire: every move with the trigger held shoots at the new place.
    // Not while paused or during a level's intro, where a press fires
    // nothing either (a burst period can outlast a level).
    if (Game.Input.TriggerHeld && !Game.Fire.SingleFire && InPlay()) ResolveShot(Game, x, y);
}

void TGameScreen::Timer1Step()
{
    TSpriteEngine& root = Game.Root();
    if (Game.Progress.LevelIntro) {
        Game.Activation.Timer1Pending = false;
        Game.Progress.LevelIntro = false;
        KillAll<TBegin>(root);
        KillAll<Bukva>(root);
        new TPlayerSprite(&root);
        new Pricel_prosto(&root);
    }
    Game.Timer1.SetEnabled(false);
    Game.TimerLevel.SetEnabled(true);
    Game.Fire.SingleFire = true;
    Game.Input.TriggerHeld = false;
}

void TGameScreen::PauseClick()
{
    if (Game.GameMainExit || Game.Progress.LevelIntro) return;
    Game.GamePause = !Game.GamePause;
    Game.TimerLevel.SetEnabled(!Game.TimerLevel.Enabled());
    const bool focused = !Game.Activation.FocusLost;
    if (Game.GamePause) {
        Game.SetCaption(kPausedCaption);
        if (focused) {
            Game.PlaySound(TSound::Pause);
            new TPauseWord(&Game.Root());
        }
    } else {
        Game.SetCaption(kCaption);
        if (focused) {
            Game.PlaySound(TSound::AfterPause);
            KillAll<TMenuGame>(Game.Root());
        }
    }
}

void TGameScreen::MainExitClick()
{
    if (Game.GamePause) return;
    Game.GameMainExit = !Game.GameMainExit;
    if (!Game.Progress.LevelIntro) Game.TimerLevel.SetEnabled(!Game.TimerLevel.Enabled());
    if (Game.GameMainExit) {
        Game.SetCaption(kPausedCaption);
        Game.PlaySound(TSound::Pause);
        new TMainExit(&Game.Root());
    } else {
        Game.SetCaption(kCaption);
        Game.PlaySound(TSound::AfterPause);
        KillAll<TMenu>(Game.Root());
        KillAll<TMenuGame>(Game.Root());
    }
}

void TGameScreen::FocusLost()
{
    TActivationFlags& activation = Game.Activation;
    const bool intro = Game.Progress.LevelIntro;
    if (Game.WindowMinimized() || intro) activation.FocusLost = true;
    if (Game.GamePause)
        activation.PausedBeforeFocusLoss = true;
    else
        PauseClick();
    if (intro) {
        Game.SetCaption(kPausedCaption);
        if (activation.Timer2Pending) Game.Timer2.SetEnabled(false);
        if (activation.Timer3Pending) Game.Timer3.SetEnabled(false);
        if (activation.Timer1Pending) Game.Timer1.SetEnabled(false);
    }
}

void TGameScreen::FocusRegained()
{
    TActivationFlags& activation = Game.Activation;
    if (activation.PausedBeforeFocusLoss)
        activation.PausedBeforeFocusLoss = false;
    else
        PauseClick();
    if (Game.Progress.LevelIntro) {
        Game.SetCaption(kCaption);
        if (activation.Timer2Pending) Game.Timer2.SetEnabled(true);
        if (activation.Timer3Pending) Game.Timer3.SetEnabled(true);
        if (activation.Timer1Pending) Game.Timer1.SetEnabled(true);
    }
}

void TGameScreen::CloseRequested()
{
    Game.GamePause = false;
    Game.GameMainExit = true;
    Game.TimerLevel.SetEnabled(false);
    new TMainExit(&Game.Root());
}
