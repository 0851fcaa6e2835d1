// Keyboard and mouse dispatch by screen state: presses on the buttons of
// the button table, the text buffers, and the pointer-move handler with its
// hover highlights.
#include "Unit1.h"

#include "Buttons.h"

#include <array>
#include <span>

namespace {

// Inclusive on both ends.
bool InRange(int v, int from, int to)
{
    return v >= from && v <= to;
}

bool IsLetter(int key)
{
    return key >= 'A' && key <= 'Z';
}

} // namespace

// ------------------------------------------------------------------ keys

void TMainForm::TypeInto(std::string& buffer, int key)
{
    if (!GamegoEdit) return;
    if (key == VirtualKey::Backspace && !buffer.empty()) buffer.pop_back();
    if (buffer.size() < 10 && IsLetter(key)) buffer += static_cast<char>(key);
}

void TMainForm::FormKeyDown(int key, bool alt)
{
    switch (GameState) {
    case 2:
        if (key == VirtualKey::Escape) GoToState(7);
        break;
    case 3:
        if (key == 'P' && !GameMainExit && !Progress.LevelIntro) GamePauseClick();
        if (key == VirtualKey::Escape && !GamePause && !Progress.LevelIntro) GameMainExitClick();
        break;
    case 4:
        if (key == VirtualKey::Escape) GoToState(2);
        break;
    case 5:
        if (key == VirtualKey::Escape) GoToState(2);
        TypeInto(Edit1, key);
        break;
    case 6:
        if (key == VirtualKey::Escape && !GameClearHighScore) GoToState(2);
        break;
    case 7:
        if (key == VirtualKey::Escape) GoToState(2);
        break;
    case 8:
        if ((key == VirtualKey::Escape || key == VirtualKey::Enter) && !ScoreReachedTable() && !Timer1.Enabled()) {
            Platform.Clock().Sleep(200);
            GoToState(2);
        }
        TypeInto(Edit2, key);
        if (key == VirtualKey::Enter && !alt && !PlayerName.empty() && ScoreReachedTable()) {
            InsertHighScore(HighScores, PlayerName, Score);
            if (GameSendResult) SubmitScore();
            GoToState(6);
        }
        break;
    default: break;
    }
    if (key == VirtualKey::Enter && alt) GameFullScreenClick();
}

// ------------------------------------------------------------------ buttons

namespace {

// Whether a press at (x, y) is on the button's click rectangle.
template <class Button>
bool Pressed(int x, int y)
{
    return ButtonOf<Button>().Click.value().Contains(x, y);
}

// Places to click that have no button of their own: the options screen's
// text field, and the name and the send box of the name-entry panel.
constexpr TScreenRect kOptionsTextField{340, 720, 400, 450};
constexpr TScreenRect kNameField{180, 620, 330, 370};
constexpr TScreenRect kSendBox{150, 216, 377, 420};

} // namespace

void TMainForm::DXDrawMouseDown(TMouseButton button, int eventX, int eventY)
{
    const bool left = button == TMouseButton::Left;
    const int x = Input.MouseX, y = Input.MouseY;
    switch (GameState) {
    case 2:
        if (!left) break;
        if (Pressed<Start_Game>(x, y)) {
            GoToState(3);
            PlaySound("button_down", false);
        } else if (Pressed<Help>(x, y)) {
            GoToState(4);
            PlaySound("button_down", false);
        } else if (Pressed<Options>(x, y)) {
            GoToState(5);
            PlaySound("button_down", false);
        } else if (Pressed<High_Score>(x, y)) {
            GoToState(6);
            PlaySound("button_down", false);
        } else if (Pressed<Visit_Web_Site>(x, y)) {
            GoWeb(HomePageAddress());
            PlaySound("button_down", false);
        } else if (Pressed<Exit_>(x, y)) {
            GoToState(7);
            PlaySound("button_down", false);
        }
        break;
    case 3:
        if (!GamePause && !GameMainExit && !Progress.LevelIntro) {
            if (left) Input.TriggerHeld = true;
            // The event's own position: the pointer may have moved since the last move event.
            ResolveShot(eventX, eventY);
        }
        if (GameMainExit) {
            if (Pressed<TMainExit_Yes>(x, y)) {
                GameMainExitClick();
                GoToState(2);
                PlaySound("button_down", false);
            } else if (Pressed<TMainExit_No>(x, y)) {
                GameMainExitClick();
                PlaySound("button_down", false);
            }
        }
        break;
    case 4:
        if (!left) break;
        if (Pressed<HelpGame_Up>(x, y)) {
            if (Menus.HelpPage > 1) {
                --Menus.HelpPage;
                GoToState(4);
                PlaySound("button_down", false);
            }
        } else if (Pressed<HelpGame_Back>(x, y)) {
            GoToState(2);
            PlaySound("button_down", false);
        } else if (Pressed<HelpGame_Down>(x, y)) {
            if (Menus.HelpPage < 4) {
                ++Menus.HelpPage;
                GoToState(4);
                PlaySound("button_down", false);
            }
        }
        break;
    case 5:
        if (!left) break;
        if (!Edit1.empty()) GamegoEdit = false;
        // Only the choice that is off can be picked. The rows lie apart, so
        // a press is on one of them at most.
        if (Pressed<Options_window_mode>(x, y) && GameFullScreen) {
            GameFullScreenClick();
            PlaySound("button_down", false);
        } else if (Pressed<Options_full_screen>(x, y) && !GameFullScreen) {
            GameFullScreenClick();
            PlaySound("button_down", false);
        } else if (Pressed<Options_music_on>(x, y) && !GameMusic) {
            GameMusicClick();
            PlaySound("button_down", false);
            PlayMusic("1");
        } else if (Pressed<Options_music_off>(x, y) && GameMusic) {
            GameMusicClick();
            PlaySound("button_down", false);
            StopMusic();
        } else if (Pressed<Options_sound_on>(x, y) && !GameSound) {
            // The click is heard with the new setting.
            GameSoundClick();
            PlaySound("button_down", false);
        } else if (Pressed<Options_sound_off>(x, y) && GameSound) {
            GameSoundClick();
            PlaySound("button_down", false);
        } else if (kOptionsTextField.Contains(x, y)) {
            GamegoEditClick();
            PlaySound("button_down", false);
        } else if (Pressed<Options_Back>(x, y)) {
            GoToState(2);
            PlaySound("button_down", false);
        }
        break;
    case 6:
        if (!left) break;
        if (!GameClearHighScore) {
            if (Pressed<HighScore_Clear>(x, y)) {
                GameClearHighScoreClick();
                PlaySound("button_down", false);
            } else if (Pressed<HighScore_Back>(x, y)) {
                GoToState(2);
                PlaySound("button_down", false);
            } else if (Pressed<HighScore_View>(x, y)) {
                GoWeb(OnlineTableAddress());
                PlaySound("button_down", false);
            }
        } else if (Pressed<TClearHighScore_Yes>(x, y)) {
            // The table is reset, saved and shown anew before the panel closes.
            ResetHighScores();
            GameClearHighScoreClick();
            PlaySound("button_down", false);
        } else if (Pressed<TClearHighScore_No>(x, y)) {
            GameClearHighScoreClick();
            PlaySound("button_down", false);
        }
        break;
    case 7:
        if (!left) break;
        if (Pressed<ExitGame_Yes>(x, y)) {
            PlaySound("button_down", false);
            Terminated = true;
        } else if (Pressed<ExitGame_No>(x, y)) {
            PlaySound("button_down", false);
            GoToState(2);
        }
        break;
    case 8: {
        const bool nameEntry = (left && ScoreReachedTable()) || Score >= DefaultHighScores[9].Score;
        if (nameEntry) {
            if (!Edit2.empty()) GamegoEdit = false;
            if (kNameField.Contains(x, y)) {
                GamegoEditClick();
                PlaySound("button_down", false);
            } else if (kSendBox.Contains(x, y)) {
                GameSendResultClick();
                PlaySound("button_down", false);
            }
        } else if (!Timer1.Enabled()) {
            Platform.Clock().Sleep(200);
            GoToState(2);
        }
        break;
    }
    default: break;
    }
}

void TMainForm::DXDrawMouseUp(TMouseButton /*button*/, int /*x*/, int /*y*/)
{
    Input.TriggerHeld = false;
}

// ------------------------------------------------------------------ pointer

namespace {

// The buttons a screen lights, in the order they are tested.
template <class... Button>
std::span<const TButton* const> ScreenButtons()
{
    static const std::array<const TButton*, sizeof...(Button)> rows{&ButtonOf<Button>()...};
    return rows;
}

// The button under the pointer; on the menu the vertical band is tested first.
const TButton* FindHover(std::span<const TButton* const> buttons, int x, int y, bool rowsFirst)
{
    for (const TButton* button : buttons) {
        const TScreenRect& h = button->Hover.value();
        const bool band = rowsFirst ? InRange(y, h.Top, h.Bottom) : InRange(x, h.Left, h.Right);
        if (!band) continue;
        const bool other = rowsFirst ? InRange(x, h.Left, h.Right) : InRange(y, h.Top, h.Bottom);
        // In the band but beside the button: nothing else is tested.
        return other ? button : nullptr;
    }
    return nullptr;
}

} // namespace

void TMainForm::DXDrawMouseMove(int x, int y)
{
    if (!GamePause) {
        KillAll<TMenuGame>(Root());
        Input.MouseX = x;
        Input.MouseY = y;
    }

    std::span<const TButton* const> buttons;
    bool rowsFirst = false;
    switch (GameState) {
    case 2:
        buttons = ScreenButtons<Start_Game, Help, Options, High_Score, Visit_Web_Site, Exit_>();
        rowsFirst = true;
        break;
    case 3:
        if (!GameMainExit) {
            // Burst fire: every move with the trigger held shoots at the new
            // place. Not while paused or during a level's intro, where a
            // press fires nothing either (a burst period can outlast a level).
            if (Input.TriggerHeld && !Fire.SingleFire && !GamePause && !Progress.LevelIntro) ResolveShot(x, y);
            return;
        }
        buttons = ScreenButtons<TMainExit_Yes, TMainExit_No>();
        break;
    case 4:
        buttons = ScreenButtons<HelpGame_Up, HelpGame_Back, HelpGame_Down>();
        break;
    case 5:
        buttons = ScreenButtons<Options_Back>();
        break;
    case 6:
        if (GameClearHighScore) buttons = ScreenButtons<TClearHighScore_Yes, TClearHighScore_No>();
        else buttons = ScreenButtons<HighScore_Clear, HighScore_Back, HighScore_View>();
        break;
    case 7:
        buttons = ScreenButtons<ExitGame_Yes, ExitGame_No>();
        break;
    default: return;
    }

    if (const TButton* hit = FindHover(buttons, Input.MouseX, Input.MouseY, rowsFirst)) {
        hit->Create(&Root());
        if (Menus.HoverArmed) {
            StopSound("button_up", 0);
            PlaySound("button_up", false);
        }
        Menus.HoverArmed = false;
    } else {
        Menus.HoverArmed = true;
    }
}
