// SPDX-License-Identifier: GPL-3.0-or-later
// Key codes, pushed SDL events and termination signals as the game sees them.
#include "SdlEvents.h"
#include "SdlTestSupport.h"
#include "SdlVideo.h"

#include <algorithm>
#include <csignal>
#include <thread>

namespace {

struct TKeyCase {
    const char* What;
    SDL_Keycode Key;
    SDL_Scancode Scan;
    int Expected;
};

const TKeyCase KeyCases[] = {
    {"Esc", SDLK_ESCAPE, SDL_SCANCODE_ESCAPE, 27},
    {"Enter", SDLK_RETURN, SDL_SCANCODE_RETURN, 13},
    {"keypad Enter", SDLK_KP_ENTER, SDL_SCANCODE_KP_ENTER, 13},
    {"Backspace", SDLK_BACKSPACE, SDL_SCANCODE_BACKSPACE, 8},
    {"Space", SDLK_SPACE, SDL_SCANCODE_SPACE, 32},
    {"A", SDLK_a, SDL_SCANCODE_A, 65},
    {"P", SDLK_p, SDL_SCANCODE_P, 80},
    {"Z", SDLK_z, SDL_SCANCODE_Z, 90},
    {"A typed on the Q key of a French keyboard", SDLK_a, SDL_SCANCODE_Q, 65},
    {"0", SDLK_0, SDL_SCANCODE_0, 48},
    {"9", SDLK_9, SDL_SCANCODE_9, 57},
    {"keypad 0", SDLK_KP_0, SDL_SCANCODE_KP_0, 48},
    {"keypad 1", SDLK_KP_1, SDL_SCANCODE_KP_1, 49},
    {"keypad 9", SDLK_KP_9, SDL_SCANCODE_KP_9, 57},
    {"Cyrillic letter on the A key", 0x0444, SDL_SCANCODE_A, 65},
    {"Cyrillic letter on the P key", 0x0437, SDL_SCANCODE_P, 80},
    {"French number row, key 1", '&', SDL_SCANCODE_1, 49},
    {"apostrophe on the Q key of a Dvorak keyboard", '\'', SDL_SCANCODE_Q, 0},
    {"comma on the M key", ',', SDL_SCANCODE_M, 0},
    {"F1", SDLK_F1, SDL_SCANCODE_F1, 0},
    {"left Shift", SDLK_LSHIFT, SDL_SCANCODE_LSHIFT, 0},
    {"keypad plus", SDLK_KP_PLUS, SDL_SCANCODE_KP_PLUS, 0},
};

SDL_Event KeyEvent(SDL_Keycode key, SDL_Scancode scan, Uint16 modifiers)
{
    SDL_Event event{};
    event.type = SDL_KEYDOWN;
    event.key.state = SDL_PRESSED;
    event.key.keysym.sym = key;
    event.key.keysym.scancode = scan;
    event.key.keysym.mod = modifiers;
    return event;
}

} // namespace

TEST(TSdlEvents, VirtualKeysOfTheKeysTheGameReads)
{
    for (const TKeyCase& c : KeyCases)
        EXPECT_EQ(TSdlEvents::VirtualKeyOf(c.Key, c.Scan), c.Expected) << c.What;
}

TEST_F(SdlPlatformTest, KeyAndWindowEventsArriveTranslated)
{
    TSdlVideo& video = Platform->SdlVideo();
    video.CreateWindow("Zarvenok", 800, 600);
    Drain(50);

    SDL_Event altEnter = KeyEvent(SDLK_RETURN, SDL_SCANCODE_RETURN, KMOD_LALT);
    SDL_Event shiftF1 = KeyEvent(SDLK_F1, SDL_SCANCODE_F1, KMOD_LSHIFT);
    SDL_Event rightAltP = KeyEvent(SDLK_p, SDL_SCANCODE_P, KMOD_RALT);
    SDL_Event plainX = KeyEvent(SDLK_x, SDL_SCANCODE_X, KMOD_NONE);
    SDL_Event close{};
    close.type = SDL_WINDOWEVENT;
    close.window.event = SDL_WINDOWEVENT_CLOSE;
    close.window.windowID = video.WindowId();
    SDL_Event quit{};
    quit.type = SDL_QUIT;
    for (SDL_Event* e : {&altEnter, &shiftF1, &rightAltP, &plainX, &close, &quit}) ASSERT_EQ(SDL_PushEvent(e), 1);

    const std::vector<TInputEvent> events = Drain(0);
    ASSERT_EQ(events.size(), 4u);
    EXPECT_EQ(events[0].Kind, TInputEvent::TKind::KeyDown);
    EXPECT_EQ(events[0].Key, VirtualKey::Enter);
    EXPECT_TRUE(events[0].Alt);
    EXPECT_EQ(events[1].Key, 'P');
    EXPECT_TRUE(events[1].Alt);
    EXPECT_EQ(events[2].Key, 'X');
    EXPECT_FALSE(events[2].Alt);
    EXPECT_EQ(events[3].Kind, TInputEvent::TKind::Close);
}

TEST_F(SdlPlatformTest, ShownIsReportedOnceAndFocusAndStateChangesArrive)
{
    TSdlVideo& video = Platform->SdlVideo();
    video.CreateWindow("Zarvenok", 800, 600);
    video.ShowWindow();
    std::vector<TInputEvent> events = Drain(300);
    const auto count = [&](TInputEvent::TKind kind) {
        return std::count_if(events.begin(), events.end(), [&](const TInputEvent& e) { return e.Kind == kind; });
    };
    EXPECT_EQ(count(TInputEvent::TKind::Shown), 1);

    const std::pair<Uint8, TInputEvent::TKind> windowCases[] = {
        {SDL_WINDOWEVENT_SHOWN, TInputEvent::TKind::Shown},  // a repeat: dropped
        {SDL_WINDOWEVENT_FOCUS_LOST, TInputEvent::TKind::Deactivate},
        {SDL_WINDOWEVENT_FOCUS_GAINED, TInputEvent::TKind::Activate},
        {SDL_WINDOWEVENT_MINIMIZED, TInputEvent::TKind::Minimized},
        {SDL_WINDOWEVENT_RESTORED, TInputEvent::TKind::Restored},
        {SDL_WINDOWEVENT_MAXIMIZED, TInputEvent::TKind::Maximized},
        {SDL_WINDOWEVENT_SIZE_CHANGED, TInputEvent::TKind::Resized},
    };
    for (const auto& [sdlKind, kind] : windowCases) {
        SDL_Event e{};
        e.type = SDL_WINDOWEVENT;
        e.window.event = sdlKind;
        e.window.windowID = video.WindowId();
        ASSERT_EQ(SDL_PushEvent(&e), 1);
    }
    events = Drain(0);
    ASSERT_EQ(events.size(), 6u);
    for (size_t i = 0; i < events.size(); ++i) EXPECT_EQ(events[i].Kind, windowCases[i + 1].second) << i;
}

TEST_F(SdlPlatformTest, TerminationSignalBecomesOneTerminateEvent)
{
    ASSERT_EQ(std::raise(SIGTERM), 0);
    TInputEvent event;
    ASSERT_TRUE(Platform->Events().WaitEvent(event, 0));
    EXPECT_EQ(event.Kind, TInputEvent::TKind::Terminate);
    EXPECT_FALSE(Platform->Events().WaitEvent(event, 0));

    // A signal that arrives during a long wait ends the wait within a slice.
    std::thread sender([] {
        SDL_Delay(150);
        std::raise(SIGINT);
    });
    const Uint32 start = SDL_GetTicks();
    const bool got = Platform->Events().WaitEvent(event, 5000);
    const Uint32 waited = SDL_GetTicks() - start;
    sender.join();
    ASSERT_TRUE(got);
    EXPECT_EQ(event.Kind, TInputEvent::TKind::Terminate);
    EXPECT_LT(waited, 2500u);  // well before the 5 s timeout
}

TEST_F(SdlPlatformTest, ClockFollowsSleep)
{
    IClock& clock = Platform->Clock();
    const uint32_t before = clock.Now();
    clock.Sleep(15);
    EXPECT_GE(clock.Now() - before, 15u);
}
