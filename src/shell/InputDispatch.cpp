// Keyboard and mouse dispatch by screen state: fixed button rectangles, the
// text buffers, and the pointer-move handler with its hover highlights.
#include "Unit1.h"

#include "Buttons.h"

namespace {

// Inclusive on both ends.
bool Inside(int x, int y, int left, int right, int top, int bottom)
{
    return x >= left && x <= right && y >= top && y <= bottom;
}

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
        // Committing a name that reached the table comes with the game-over screen.
        break;
    default: break;
    }
    if (key == VirtualKey::Enter && alt) GameFullScreenClick();
}

// ------------------------------------------------------------------ buttons

void TMainForm::DXDrawMouseDown(TMouseButton button, int eventX, int eventY)
{
    const bool left = button == TMouseButton::Left;
    const int x = Input.MouseX, y = Input.MouseY;
    switch (GameState) {
    case 2:
        if (!left) break;
        if (InRange(y, 32, 89) && InRange(x, 215, 540)) {
            GoToState(3);
            PlaySound("button_down", false);
        } else if (InRange(y, 122, 179) && InRange(x, 311, 441)) {
            GoToState(4);
            PlaySound("button_down", false);
        } else if (InRange(y, 213, 270) && InRange(x, 260, 490)) {
            GoToState(5);
            PlaySound("button_down", false);
        } else if (InRange(y, 300, 357) && InRange(x, 226, 524)) {
            GoToState(6);
            PlaySound("button_down", false);
        } else if (InRange(y, 389, 446) && InRange(x, 171, 576)) {
            // Opening the web site comes with the score-server issue.
        } else if (InRange(y, 478, 532) && InRange(x, 239, 516)) {
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
            if (Inside(x, y, 243, 371, 311, 387)) {
                GameMainExitClick();
                GoToState(2);
                PlaySound("button_down", false);
            } else if (Inside(x, y, 422, 528, 310, 387)) {
                GameMainExitClick();
                PlaySound("button_down", false);
            }
        }
        break;
    case 4:
        if (!left) break;
        if (Inside(x, y, 246, 297, 453, 521)) {
            if (Menus.HelpPage > 1) {
                --Menus.HelpPage;
                GoToState(4);
                PlaySound("button_down", false);
            }
        } else if (Inside(x, y, 324, 451, 458, 516)) {
            GoToState(2);
            PlaySound("button_down", false);
        } else if (Inside(x, y, 480, 531, 451, 520)) {
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
        if (InRange(y, 137, 184)) {
            if (InRange(x, 266, 432) && GameFullScreen) {
                GameFullScreenClick();
                PlaySound("button_down", false);
            } else if (InRange(x, 455, 722) && !GameFullScreen) {
                GameFullScreenClick();
                PlaySound("button_down", false);
            }
        } else if (InRange(y, 221, 271)) {
            if (InRange(x, 260, 324) && !GameMusic) {
                GameMusicClick();
                PlaySound("button_down", false);
                PlayMusic("1");
            } else if (InRange(x, 342, 431) && GameMusic) {
                GameMusicClick();
                PlaySound("button_down", false);
                StopMusic();
            }
        } else if (InRange(y, 311, 361)) {
            // The click is heard with the new setting.
            if (InRange(x, 268, 330) && !GameSound) {
                GameSoundClick();
                PlaySound("button_down", false);
            } else if (InRange(x, 350, 439) && GameSound) {
                GameSoundClick();
                PlaySound("button_down", false);
            }
        } else if (InRange(y, 400, 450)) {
            if (InRange(x, 340, 720)) {
                GamegoEditClick();
                PlaySound("button_down", false);
            }
        } else if (InRange(y, 458, 516)) {
            if (InRange(x, 324, 451)) {
                GoToState(2);
                PlaySound("button_down", false);
            }
        }
        break;
    case 6:
        if (!left) break;
        // The clear-scores question and the online table come with the
        // high-score screen and the score server.
        if (!GameClearHighScore && Inside(x, y, 324, 451, 458, 516)) {
            GoToState(2);
            PlaySound("button_down", false);
        }
        break;
    case 7:
        if (!left) break;
        if (Inside(x, y, 248, 348, 353, 413)) {
            PlaySound("button_down", false);
            Terminated = true;
        } else if (Inside(x, y, 410, 490, 351, 411)) {
            PlaySound("button_down", false);
            GoToState(2);
        }
        break;
    case 8: {
        const bool nameEntry = (left && ScoreReachedTable()) || Score >= DefaultHighScores[9].Score;
        if (nameEntry) {
            // The name field and the send box come with the name-entry panel.
            if (!Edit2.empty()) GamegoEdit = false;
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

struct THover {
    int Left, Right, Top, Bottom;
    TSprite* (*Create)(TSprite* parent);
};

template <class Class>
TSprite* Make(TSprite* parent)
{
    return new Class(parent);
}

// A screen's buttons; on the menu the vertical band is tested first.
bool FindHover(const THover* hovers, size_t count, int x, int y, bool rowsFirst, const THover*& hit)
{
    for (size_t i = 0; i < count; ++i) {
        const THover& h = hovers[i];
        const bool band = rowsFirst ? InRange(y, h.Top, h.Bottom) : InRange(x, h.Left, h.Right);
        if (!band) continue;
        const bool other = rowsFirst ? InRange(x, h.Left, h.Right) : InRange(y, h.Top, h.Bottom);
        if (other) {
            hit = &h;
            return true;
        }
        // In the band but beside the button: nothing else is tested.
        return false;
    }
    return false;
}

const THover kMenu[] = {
    {215, 540, 32, 89, Make<Start_Game>},     {311, 441, 122, 179, Make<Help>},
    {260, 490, 213, 270, Make<Options>},      {226, 524, 300, 357, Make<High_Score>},
    {171, 576, 389, 446, Make<Visit_Web_Site>}, {239, 516, 478, 532, Make<Exit_>},
};
const THover kGameExit[] = {{243, 371, 311, 387, Make<TMainExit_Yes>}, {422, 528, 310, 387, Make<TMainExit_No>}};
const THover kHelp[] = {{243, 297, 451, 520, Make<HelpGame_Up>},
                        {324, 451, 458, 516, Make<HelpGame_Back>},
                        {480, 531, 453, 522, Make<HelpGame_Down>}};
const THover kOptions[] = {{324, 451, 464, 522, Make<Options_Back>}};
const THover kClearPanel[] = {{254, 336, 315, 373, Make<TClearHighScore_Yes>},
                              {427, 498, 315, 371, Make<TClearHighScore_No>}};
const THover kHighScores[] = {{104, 268, 465, 533, Make<HighScore_Clear>},
                              {324, 451, 464, 522, Make<HighScore_Back>},
                              {497, 706, 464, 532, Make<HighScore_View>}};
const THover kExitScene[] = {{248, 348, 353, 413, Make<ExitGame_Yes>}, {410, 490, 351, 411, Make<ExitGame_No>}};

} // namespace

void TMainForm::DXDrawMouseMove(int x, int y)
{
    if (!GamePause) {
        KillAll<TMenuGame>(Root());
        Input.MouseX = x;
        Input.MouseY = y;
    }

    const THover* hovers = nullptr;
    size_t count = 0;
    bool rowsFirst = false;
    switch (GameState) {
    case 2:
        hovers = kMenu;
        count = std::size(kMenu);
        rowsFirst = true;
        break;
    case 3:
        if (!GameMainExit) {
            // Burst fire on pointer moves comes with the battlefield's shots.
            return;
        }
        hovers = kGameExit;
        count = std::size(kGameExit);
        break;
    case 4:
        hovers = kHelp;
        count = std::size(kHelp);
        break;
    case 5:
        hovers = kOptions;
        count = std::size(kOptions);
        break;
    case 6:
        if (GameClearHighScore) {
            hovers = kClearPanel;
            count = std::size(kClearPanel);
        } else {
            hovers = kHighScores;
            count = std::size(kHighScores);
        }
        break;
    case 7:
        hovers = kExitScene;
        count = std::size(kExitScene);
        break;
    default: return;
    }

    const THover* hit = nullptr;
    if (FindHover(hovers, count, Input.MouseX, Input.MouseY, rowsFirst, hit)) {
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
