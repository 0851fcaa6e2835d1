// The frame: a pending full-screen switch, the current screen's hook, the
// level switch, presenting the frame, and keeping the music going.
#include "Unit1.h"

#include "BackgroundSprite.h"

void TMainForm::DXTimerTimer(int /*lagCount*/)
{
    if (!DXDraw.CanDraw()) return;
    ++FrameCount;
    if (Activation.ResizeSeen) {
        Activation.ResizeSeen = false;
        if (Platform.Video().WindowState() == TWindowState::Maximized) GameFullScreenClick();
    }
    if (!Activation.FocusLost) {
        FrameHook();
        // Read after the hook, which may have left the game.
        if (GameState == 3 && Progress.LevelCountdown < 0) LevelSwitch();
        DXDraw.Flip();
    }
    MusicContinuation();
}

void TMainForm::PlainFrame(bool fill)
{
    SpriteEngine.Move(16);
    SpriteEngine.Dead();
    if (fill) ClearBackSurface();
    SpriteEngine.Draw();
}

void TMainForm::ClearBackSurface()
{
    TDirectDrawSurface* surface = DXDraw.Surface();
    if (surface == nullptr) return;
    // A backdrop that paints every pixel hides the fill completely: the
    // frame is the same without it, and a full-screen fill is not cheap.
    bool covered = false;
    ForEachChild<TBackgroundSprite>(Root(), [&covered](const TBackgroundSprite& backdrop) {
        covered = covered || backdrop.CoversSurface();
    });
    if (!covered) surface->Fill(0);
}

void TMainForm::FrameHook()
{
    switch (GameState) {
    case 2: PlainFrame(false); break; // the tiled backdrop covers everything
    case 3: GameplayFrame(); break;
    case 4: PlainFrame(true); break;
    case 5: OptionsFrame(); break;
    case 6:
    case 7: PlainFrame(true); break;
    case 8: GameOverFrame(); break;
    default: break;
    }
}
