// SPDX-License-Identifier: GPL-3.0-or-later
// The main form: construction, start-up, the table of screens and the
// state changes through it, the toggles that belong to screens, close
// requests, activation and the switch between window and full screen.
#include "Unit1.h"

#include "Colors.h"
#include "EngineErrors.h"
#include "ExitScreen.h"
#include "GameOverScreen.h"
#include "GameScreen.h"
#include "HelpScreen.h"
#include "HighScoreScreen.h"
#include "Levels.h"
#include "MenuScreen.h"
#include "NameEntry.h"
#include "OptionsScreen.h"
#include "ReplayFolder.h"
#include "ReplayRecorder.h"
#include "Shot.h"

namespace {
const char* const kCaption = "Zarvenok";
const char* const kPausedCaption = "Zarvenok [Pause]";
} // namespace

TMainForm::TMainForm(IPlatform& platform)
    : TGameContext(platform.Clock()),
      Platform(platform),
      DXDraw(platform.Video()),
      DXTimer(GameClock),
      DXSound(platform.Audio(), platform.Clock())
{
    SetGame(this);
    Screens_[gsMenu] = std::make_unique<TMenuScreen>(*this);
    Screens_[gsGame] = std::make_unique<TGameScreen>(*this);
    Screens_[gsHelp] = std::make_unique<THelpScreen>(*this);
    Screens_[gsOptions] = std::make_unique<TOptionsScreen>(*this);
    Screens_[gsHighScores] = std::make_unique<THighScoreScreen>(*this);
    Screens_[gsExitScene] = std::make_unique<TExitScreen>(*this);
    Screens_[gsGameOver] = std::make_unique<TGameOverScreen>(*this);

    // The form as designed: window 800 x 600, display options and mode.
    Platform.Video().CreateWindow(kCaption, 800, 600);
    DXDraw.AutoInitialize = true;
    DXDraw.AutoSize = true;
    DXDraw.Display.Width = 800;
    DXDraw.Display.Height = 600;
    DXDraw.Display.SetBitCount(16);
    DXDraw.Display.FixedBitCount = true;
    DXDraw.Display.FixedRatio = true;
    DXDraw.Display.FixedSize = false;
    DXDraw.SetOptions(doStretch | doAllowReboot | doHardware | doCenter | doSelectDriver | doAllowPalette256 |
                      doRetainedMode | doFlip | doWaitVBlank);
    DXDraw.SetSurfaceWidth(800);
    DXDraw.SetSurfaceHeight(600);
    DXDraw.OnInitializing = [this] { DXDrawInitializing(); };
    DXDraw.OnInitialize = [this] { DXDrawInitialize(); };
    DXDraw.OnFinalize = [this] { DXDrawFinalize(); };

    ImageList.SetDXDraw(&DXDraw);
    SpriteEngine.SetDXDraw(&DXDraw);
    DXWaveList.SetDXSound(&DXSound);

    DXTimer.SetActiveOnly(false);
    DXTimer.SetInterval(30);
    DXTimer.OnTimer = [this](int lagCount) { DXTimerTimer(lagCount); };
    DXTimer.OnActivate = [this] { DXTimerActivate(); };
    DXTimer.OnDeactivate = [this] { DXTimerDeactivate(); };

    Timer1.OnTimer = [this] { Timer1Timer(); };
    TimerLevel.OnTimer = [this] { TimerLevelTimer(); };
    Timer2.OnTimer = [this] { Timer2Timer(); };
    Timer3.OnTimer = [this] { Timer3Timer(); };
}

TMainForm::~TMainForm()
{
    StopMusic();
    // The sprites go before the libraries their images live in.
    SpriteEngine.Engine().Clear();
}

void TMainForm::Start()
{
    // Components finish loading before the form's own start-up runs.
    DXSound.FormLoaded();
    DXTimer.FormLoaded();
    FormCreate();
    Platform.Video().ShowWindow();
    DXDraw.WindowShown();
}

void TMainForm::FormCreate()
{
    Activation.ResizeSeen = false;
    Randomize();
    Platform.Video().SetCursorVisible(false);

    // Pictures are held once, in the display's format, and only once shown.
    ImageList.Items.KeepDecodedPixels = false;
    ImageList.Items.BuildPatternsOnFirstUse = true;
    ImageList.Items.LoadFromFile((Folders.Data / "Data/Graphic.dxg").string());
    SetWindowIcon();
    ImageList.Items.BuildColorTable();
    DXDraw.ColorTable = ImageList.Items.ColorTable;
    DXDraw.DefColorTable = ImageList.Items.ColorTable;
    DXDraw.UpdatePalette();

    Progress.GameOver = false;
    Progress.PlayerHit = false;
    Progress.LevelIntro = false;
    Progress.LevelWordArrived = false;
    Activation.PausedBeforeFocusLoss = false;
    Activation.FocusLost = false;

    GamePause = false;
    GamegoEdit = false;
    GameMainExit = false;
    GameEnterName = false;
    GameSendResult = false;
    GameClearHighScore = false;
    GameFullScreen = false;
    GameSound = true;
    GameMusic = true;

    ResetHighScores();
    LoadSettings();
    GoToState(gsMenu);
}

void TMainForm::SetWindowIcon()
{
    // The icon is ours, in the library like every picture; a library
    // without one leaves the desktop's default.
    const auto* icon = dynamic_cast<TPictureCollectionItem*>(ImageList.Items.FindItem("Icon"));
    if (icon == nullptr || !icon->Picture.HasGraphic()) return;
    const TDIB dib = icon->Picture.Decoded();
    const uint32_t key = ColorRefToRGB(icon->TransparentColor);
    std::vector<uint32_t> pixels;
    pixels.reserve(dib.Pixels.size());
    for (uint32_t rgb : dib.Pixels) {
        rgb &= 0x00FFFFFF;
        pixels.push_back(icon->Transparent && rgb == key ? 0 : rgb | 0xFF000000u);
    }
    Platform.Video().SetIcon(dib.Width, dib.Height, pixels);
}

void TMainForm::DXDrawInitializing()
{
    IVideo& video = Platform.Video();
    if ((DXDraw.Options() & doFullScreen) != 0) {
        video.SetBordered(false);
    } else {
        video.SetWindowState(TWindowState::Normal);
        video.SetBordered(true);
    }
}

void TMainForm::DXDrawInitialize()
{
    Platform.Video().SetWindowState(TWindowState::Normal);
    DXTimer.SetEnabled(true);
    DXWaveList.Items.LoadFromFile((Folders.Data / "Data/Music.dxw").string());
}

void TMainForm::DXDrawFinalize()
{
    DXTimer.SetEnabled(false);
}

TScreen* TMainForm::CurrentScreen() const
{
    return GameState < Screens_.size() ? Screens_[GameState].get() : nullptr;
}

template <class Screen>
Screen& TMainForm::ScreenOf(uint8_t state) const
{
    return static_cast<Screen&>(*Screens_[state]);
}

void TMainForm::GoToState(uint8_t state)
{
    const uint8_t from = GameState;
    // Before the build, which may draw random numbers.
    if (state == gsGame && from != gsGame) StartRecording();
    ClearScreen();
    GameState = state;
    if (TScreen* screen = CurrentScreen()) screen->Build();
    // The step that left the game is the recording's last.
    if (from == gsGame && state != gsGame && Recording()) RecordingEnds_ = true;
    // The only way from the game over to the table is with the name entered.
    if (from == gsGameOver && state != gsGameOver) KeepEndedReplay(state == gsHighScores);
}

void TMainForm::ClearScreen()
{
    TScreen* screen = CurrentScreen();
    if (screen == nullptr) return;
    SpriteEngine.Engine().Clear();
    screen->Teardown();
}

void TMainForm::Timer1Timer()
{
    if (TScreen* screen = CurrentScreen()) screen->Timer1Step();
}

void TMainForm::GamePauseClick()
{
    if (TScreen* screen = CurrentScreen()) screen->PauseClick();
}

void TMainForm::GameMainExitClick()
{
    if (TScreen* screen = CurrentScreen()) screen->MainExitClick();
}

void TMainForm::GameEnterNameClick()
{
    EnterNameClick(*this);
}

void TMainForm::GameSendResultClick()
{
    SendResultClick(*this);
}

void TMainForm::GameClearHighScoreClick()
{
    ScreenOf<THighScoreScreen>(gsHighScores).ClearPanelClick();
}

void TMainForm::TimerLevelTimer()
{
    ::TimerLevelTimer(*this);
}

void TMainForm::Timer2Timer()
{
    ::Timer2Timer(*this);
}

void TMainForm::Timer3Timer()
{
    ::Timer3Timer(*this);
}

void TMainForm::ResolveShot(int x, int y)
{
    ::ResolveShot(*this, x, y);
}

void TMainForm::FormClose()
{
    if (TScreen* screen = CurrentScreen())
        screen->CloseRequested();
    else
        GoToState(gsExitScene);
}

void TMainForm::FormResize()
{
    Activation.ResizeSeen = true;
}

void TMainForm::DXTimerDeactivate()
{
    if (TScreen* screen = CurrentScreen()) {
        screen->FocusLost();
    } else {
        Activation.FocusLost = true;
        SetCaption(kPausedCaption);
    }
}

void TMainForm::DXTimerActivate()
{
    if (TScreen* screen = CurrentScreen())
        screen->FocusRegained();
    else
        SetCaption(kCaption);
    Activation.FocusLost = false;
}

TWindowState TMainForm::WindowState() const
{
    return ReplayedWindowState ? *ReplayedWindowState : Platform.Video().WindowState();
}

bool TMainForm::WindowMinimized()
{
    return WindowState() == TWindowState::Minimized;
}

void TMainForm::Sleep(uint32_t ms)
{
    GameClock.Sleep(ms);
}

void TMainForm::GameFullScreenClick()
{
    GameFullScreen = !GameFullScreen;
    GamegoEdit = false;
    // The player's own choice from now on, stored as any other.
    KeptFullScreen_.reset();
    IVideo& video = Platform.Video();
    if (GameFullScreen) {
        DXDraw.Finalize();
        if ((DXDraw.Options() & doFullScreen) == 0) video.SaveWindowPlacement();
        DXDraw.SetOptions(DXDraw.Options() | doFullScreen);
        DXDraw.Display.Width = 800;
        DXDraw.Display.Height = 600;
        DXDraw.Display.SetBitCount(16);
        try {
            DXDraw.Initialize();
        } catch (const EEngineError& e) {
            // A display that cannot go full screen would leave the game
            // frozen with its clock stopped: say why and stay in a window.
            Platform.MessageBox().Show(kCaption, e.what());
            GameFullScreenClick();
        }
    } else {
        DXDraw.Finalize();
        if ((DXDraw.Options() & doFullScreen) != 0) video.RestoreWindowPlacement();
        DXDraw.SetOptions(DXDraw.Options() & ~doFullScreen);
        DXDraw.SetSurfaceWidth(800);
        DXDraw.SetSurfaceHeight(600);
        DXDraw.Display.Width = 800;
        DXDraw.Display.Height = 600;
        DXDraw.Display.SetBitCount(16);
        DXDraw.Initialize();
        video.SetWindowState(TWindowState::Normal);
    }
}

void TMainForm::SetCaption(const std::string& caption)
{
    Platform.Video().SetCaption(caption);
}

std::string TMainForm::Caption() const
{
    return Platform.Video().Caption();
}
