// The main form: construction, start-up, screen states, the level-intro and
// burst timer, pause, the in-game exit question, close requests, activation
// and the switch between window and full screen.
#include "Unit1.h"

#include "BackgroundSprite.h"
#include "EngineErrors.h"
#include "Buttons.h"
#include "Colors.h"
#include "Hud.h"
#include "LevelIntro.h"
#include "NameEntry.h"
#include "Pricel.h"
#include "SpriteText.h"
#include "Weapon.h"

TMainForm* MainForm = nullptr;

namespace {
const char* const kCaption = "Zarvenok";
const char* const kPausedCaption = "Zarvenok [Pause]";
} // namespace

TMainForm::TMainForm(IPlatform& platform)
    : Platform(platform),
      DXDraw(platform.Video()),
      DXTimer(platform.Clock()),
      DXSound(platform.Audio(), platform.Clock()),
      Timer1(platform.Clock(), 10000, false),
      TimerLevel(platform.Clock(), 1000, false),
      Timer2(platform.Clock(), 500, false),
      Timer3(platform.Clock(), 1000, false)
{
    MainForm = this;
    HighScores = DefaultHighScores;

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
    if (MainForm == this) MainForm = nullptr;
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
    GoToState(2);
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

void TMainForm::GoToState(uint8_t state)
{
    ClearScreen();
    GameState = state;
    switch (state) {
    case 2: BuildMenu(); break;
    case 3: StartGame(); break;
    case 4: BuildHelp(); break;
    case 5: BuildOptions(); break;
    case 6: BuildHighScores(); break;
    case 7: BuildExitScene(); break;
    case 8: BuildGameOver(); break;
    default: break;
    }
}

void TMainForm::ClearScreen()
{
    if (GameState < 2 || GameState > 8) return;
    SpriteEngine.Engine().Clear();
    switch (GameState) {
    case 3:
        Menus.MenuMusicPending = true;
        TimerLevel.SetEnabled(false);
        Timer1.SetEnabled(false);
        Timer2.SetEnabled(false);
        Timer3.SetEnabled(false);
        StopSound("all", 0);
        break;
    case 5:
        GamegoEdit = false;
        SaveSettings();
        break;
    case 6: SaveSettings(); break;
    case 7:
        PlaySound("after_pause", false);
        SaveSettings();
        break;
    case 8:
        Progress.GameOver = false;
        GameEnterName = false;
        GamegoEdit = false;
        GameSendResult = false;
        SaveSettings();
        break;
    default: break;
    }
}

void TMainForm::BuildMenu()
{
    if (Menus.MenuMusicPending) PlayMusic("1");
    Menus.MenuMusicPending = false;
    PlayMusic("1");
    Menus.HelpPage = 1;
    new Pricel(&SpriteEngine.Engine());
    auto* backdrop = new TBackgroundSprite(&SpriteEngine.Engine());
    backdrop->SetMapSize(1, 1);
    backdrop->Image = &ImageList.Items.Find("menu");
    backdrop->Tile = true;
}

void TMainForm::BuildExitScene()
{
    new Pricel(&SpriteEngine.Engine());
    auto* backdrop = new TBackgroundSprite(&SpriteEngine.Engine());
    backdrop->SetMapSize(1, 1);
    backdrop->Image = &ImageList.Items.Find("SceneExit");
    backdrop->SetZ(-1);
    backdrop->Tile = true;
    PlaySound("pause", false);
}

void TMainForm::Timer1Timer()
{
    switch (GameState) {
    case 3:
        if (Progress.LevelIntro) {
            Activation.Timer1Pending = false;
            Progress.LevelIntro = false;
            KillAll<TBegin>(Root());
            KillAll<Bukva>(Root());
            new TPlayerSprite(&Root());
            new Pricel_prosto(&Root());
        }
        Timer1.SetEnabled(false);
        TimerLevel.SetEnabled(true);
        Fire.SingleFire = true;
        Input.TriggerHeld = false;
        break;
    case 8:
        if (ScoreReachedTable()) {
            new Pricel(&Root());
            new TEnter_Name(&Root());
        }
        Timer1.SetEnabled(false);
        break;
    default: break;
    }
}

void TMainForm::GamePauseClick()
{
    if (GameState != 3 || GameMainExit || Progress.LevelIntro) return;
    GamePause = !GamePause;
    TimerLevel.SetEnabled(!TimerLevel.Enabled());
    if (GamePause) {
        SetCaption(kPausedCaption);
        if (!Activation.FocusLost) {
            PlaySound("pause", false);
            new TPauseWord(&Root());
        }
    } else {
        SetCaption(kCaption);
        if (!Activation.FocusLost) {
            PlaySound("after_pause", false);
            KillAll<TMenuGame>(Root());
        }
    }
}

void TMainForm::GameMainExitClick()
{
    if (GameState != 3 || GamePause) return;
    GameMainExit = !GameMainExit;
    if (!Progress.LevelIntro) TimerLevel.SetEnabled(!TimerLevel.Enabled());
    if (GameMainExit) {
        SetCaption(kPausedCaption);
        PlaySound("pause", false);
        new TMainExit(&Root());
    } else {
        SetCaption(kCaption);
        PlaySound("after_pause", false);
        KillAll<TMenu>(Root());
        KillAll<TMenuGame>(Root());
    }
}

void TMainForm::GamegoEditClick()
{
    GamegoEdit = !GamegoEdit;
}

void TMainForm::FormClose()
{
    if (GameState == 3) {
        GamePause = false;
        GameMainExit = true;
        TimerLevel.SetEnabled(false);
        new TMainExit(&Root());
    } else {
        GoToState(7);
    }
}

void TMainForm::FormResize()
{
    Activation.ResizeSeen = true;
}

void TMainForm::DXTimerDeactivate()
{
    if (GameState != 3) {
        Activation.FocusLost = true;
        SetCaption(kPausedCaption);
        return;
    }
    if (Platform.Video().WindowState() == TWindowState::Minimized || Progress.LevelIntro) Activation.FocusLost = true;
    if (GamePause)
        Activation.PausedBeforeFocusLoss = true;
    else
        GamePauseClick();
    if (Progress.LevelIntro) {
        SetCaption(kPausedCaption);
        if (Activation.Timer2Pending) Timer2.SetEnabled(false);
        if (Activation.Timer3Pending) Timer3.SetEnabled(false);
        if (Activation.Timer1Pending) Timer1.SetEnabled(false);
    }
}

void TMainForm::DXTimerActivate()
{
    if (GameState == 3) {
        if (Activation.PausedBeforeFocusLoss)
            Activation.PausedBeforeFocusLoss = false;
        else
            GamePauseClick();
        if (Progress.LevelIntro) {
            SetCaption(kCaption);
            if (Activation.Timer2Pending) Timer2.SetEnabled(true);
            if (Activation.Timer3Pending) Timer3.SetEnabled(true);
            if (Activation.Timer1Pending) Timer1.SetEnabled(true);
        }
    } else {
        SetCaption(kCaption);
    }
    Activation.FocusLost = false;
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

bool TMainForm::ScoreReachedTable() const
{
    return QualifiesForHighScores(HighScores, Score);
}
