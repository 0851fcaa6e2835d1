// SPDX-License-Identifier: GPL-3.0-or-later
// A gamepad as the game sees it, through SDL's virtual controller: pointer
// moves from the right stick, the left button from the trigger or A, P from
// Start and Esc from B, and a pad that comes and goes while playing.
#include "SdlEvents.h"
#include "SdlTestSupport.h"
#include "SdlVideo.h"

#include <algorithm>

namespace {

class SdlGamepadTest : public SdlPlatformTest {
protected:
    void SetUp() override
    {
        // The virtual display's window need not have the focus for the pad to count.
        setenv("SDL_JOYSTICK_ALLOW_BACKGROUND_EVENTS", "1", 1);
        SdlPlatformTest::SetUp();
        TSdlVideo& video = Platform->SdlVideo();
        video.SetScaling({1, false});
        video.CreateWindow("Zarvenok", 800, 600);
        video.ShowWindow();
        ASSERT_TRUE(WaitFor([&] { return video.WindowWidth() == 800; }));
        std::vector<uint32_t> pixels(800 * 600, 0x336699);
        video.Present({reinterpret_cast<const uint8_t*>(pixels.data()), 800 * 4, 800, 600, TFrameFormat::XRGB8888},
                      {true, true, false});
    }
    void TearDown() override
    {
        Unplug();
        SdlPlatformTest::TearDown();
    }

    void Plug()
    {
        Index = SDL_JoystickAttachVirtual(SDL_JOYSTICK_TYPE_GAMECONTROLLER, SDL_CONTROLLER_AXIS_MAX,
                                          SDL_CONTROLLER_BUTTON_MAX, 0);
        ASSERT_GE(Index, 0) << SDL_GetError();
        Stick = SDL_JoystickOpen(Index);
        ASSERT_NE(Stick, nullptr);
        ASSERT_TRUE(WaitFor([&] { return Pads().ControllerCount() == 1; }));
    }
    void Unplug()
    {
        if (Stick == nullptr) return;
        SDL_JoystickClose(Stick);
        SDL_JoystickDetachVirtual(Index);
        Stick = nullptr;
    }
    const TSdlGamepad& Pads() { return Platform->SdlEvents().Gamepad(); }

    // Events until one passes `wanted` or the time is up; all of them.
    std::vector<TInputEvent> Until(const std::function<bool(const TInputEvent&)>& wanted)
    {
        std::vector<TInputEvent> events;
        TInputEvent event;
        const Uint32 start = SDL_GetTicks();
        while (SDL_GetTicks() - start < 3000) {
            if (!Platform->Events().WaitEvent(event, 10)) continue;
            events.push_back(event);
            if (wanted(event)) break;
        }
        return events;
    }
    // Events until the condition holds or the time is up.
    std::vector<TInputEvent> Until(const std::function<bool()>& condition)
    {
        std::vector<TInputEvent> events;
        TInputEvent event;
        const Uint32 start = SDL_GetTicks();
        while (!condition() && SDL_GetTicks() - start < 3000)
            if (Platform->Events().WaitEvent(event, 5)) events.push_back(event);
        return events;
    }

    int Index = -1;
    SDL_Joystick* Stick = nullptr;
};

} // namespace

TEST_F(SdlGamepadTest, TheRightStickMovesThePointerAndTheButtonsPressAndType)
{
    // The mouse puts the pointer somewhere first; the stick goes on from there.
    SDL_WarpMouseInWindow(Platform->SdlVideo().Window(), 100, 200);
    std::vector<TInputEvent> events =
        Until([](const TInputEvent& e) { return e.Kind == TInputEvent::TKind::MouseMove && e.X == 100 && e.Y == 200; });
    ASSERT_FALSE(events.empty());
    ASSERT_EQ(events.back().X, 100);
    Plug();

    SDL_JoystickSetVirtualAxis(Stick, SDL_CONTROLLER_AXIS_RIGHTX, 32767);
    events = Until([](const TInputEvent& e) { return e.Kind == TInputEvent::TKind::MouseMove && e.X >= 300; });
    ASSERT_FALSE(events.empty());
    EXPECT_GE(events.back().X, 300);
    int lastX = 100;
    for (const TInputEvent& e : events) {
        ASSERT_EQ(e.Kind, TInputEvent::TKind::MouseMove);
        EXPECT_EQ(e.Y, 200);
        EXPECT_GT(e.X, lastX);
        lastX = e.X;
    }
    // Up and to the left, then at rest: the pointer stays where it went.
    SDL_JoystickSetVirtualAxis(Stick, SDL_CONTROLLER_AXIS_RIGHTX, -20000);
    SDL_JoystickSetVirtualAxis(Stick, SDL_CONTROLLER_AXIS_RIGHTY, -20000);
    events = Until([](const TInputEvent& e) { return e.Kind == TInputEvent::TKind::MouseMove && e.Y <= 150; });
    ASSERT_FALSE(events.empty());
    EXPECT_LT(events.back().X, lastX);
    SDL_JoystickSetVirtualAxis(Stick, SDL_CONTROLLER_AXIS_RIGHTX, 0);
    SDL_JoystickSetVirtualAxis(Stick, SDL_CONTROLLER_AXIS_RIGHTY, 1000);  // inside the dead zone
    for (const TInputEvent& e : Drain(50)) events.push_back(e);
    const TInputEvent stopped = events.back();
    for (const TInputEvent& e : Drain(150)) {
        EXPECT_EQ(e.X, stopped.X);
        EXPECT_EQ(e.Y, stopped.Y);
    }
    int x = 0;
    int y = 0;
    {
        // Where the game last heard the pointer was.
        SDL_WarpMouseInWindow(Platform->SdlVideo().Window(), 700, 500);
        events = Until([](const TInputEvent& e) { return e.Kind == TInputEvent::TKind::MouseMove && e.X == 700; });
        ASSERT_FALSE(events.empty());
        x = events.back().X;
        y = events.back().Y;
    }

    // The trigger and A are one left button: pressed by either, released
    // when both are, at the pointer.
    SDL_JoystickSetVirtualAxis(Stick, SDL_CONTROLLER_AXIS_TRIGGERRIGHT, 32767);
    events = Until([](const TInputEvent& e) { return e.Kind == TInputEvent::TKind::MouseDown; });
    ASSERT_FALSE(events.empty());
    EXPECT_EQ(events.back().Kind, TInputEvent::TKind::MouseDown);
    EXPECT_EQ(events.back().Button, TMouseButton::Left);
    EXPECT_EQ(events.back().X, x);
    EXPECT_EQ(events.back().Y, y);
    SDL_JoystickSetVirtualButton(Stick, SDL_CONTROLLER_BUTTON_A, 1);
    events = Until([&] { return SDL_JoystickGetButton(Stick, SDL_CONTROLLER_BUTTON_A) == 1; });
    // A virtual axis spans the trigger's travel from its lowest value.
    SDL_JoystickSetVirtualAxis(Stick, SDL_CONTROLLER_AXIS_TRIGGERRIGHT, -32768);
    SDL_JoystickSetVirtualButton(Stick, SDL_CONTROLLER_BUTTON_START, 1);
    for (const TInputEvent& e : Until([](const TInputEvent& e) { return e.Kind == TInputEvent::TKind::KeyDown; }))
        events.push_back(e);
    ASSERT_FALSE(events.empty());
    EXPECT_EQ(events.back().Key, 'P');
    EXPECT_TRUE(std::none_of(events.begin(), events.end(), [](const TInputEvent& e) {
        return e.Kind == TInputEvent::TKind::MouseUp || e.Kind == TInputEvent::TKind::MouseDown;
    }));
    SDL_JoystickSetVirtualButton(Stick, SDL_CONTROLLER_BUTTON_A, 0);
    events = Until([](const TInputEvent& e) { return e.Kind == TInputEvent::TKind::MouseUp; });
    ASSERT_FALSE(events.empty());
    EXPECT_EQ(events.back().Kind, TInputEvent::TKind::MouseUp);
    EXPECT_EQ(events.back().X, x);

    SDL_JoystickSetVirtualButton(Stick, SDL_CONTROLLER_BUTTON_B, 1);
    events = Until([](const TInputEvent& e) { return e.Kind == TInputEvent::TKind::KeyDown; });
    ASSERT_FALSE(events.empty());
    EXPECT_EQ(events.back().Key, VirtualKey::Escape);
    EXPECT_FALSE(events.back().Alt);
}

TEST_F(SdlGamepadTest, APadPulledOutWithTheTriggerHeldReleasesItAndAnotherCanBePluggedIn)
{
    Plug();
    SDL_JoystickSetVirtualButton(Stick, SDL_CONTROLLER_BUTTON_A, 1);
    std::vector<TInputEvent> events = Until([](const TInputEvent& e) { return e.Kind == TInputEvent::TKind::MouseDown; });
    ASSERT_FALSE(events.empty());
    ASSERT_EQ(events.back().Kind, TInputEvent::TKind::MouseDown);
    // With the pointer never moved, presses land in the middle.
    EXPECT_EQ(events.back().X, 400);
    EXPECT_EQ(events.back().Y, 300);

    Unplug();
    events = Until([](const TInputEvent& e) { return e.Kind == TInputEvent::TKind::MouseUp; });
    ASSERT_FALSE(events.empty());
    EXPECT_EQ(events.back().Kind, TInputEvent::TKind::MouseUp);
    ASSERT_TRUE(WaitFor([&] { return Pads().ControllerCount() == 0; }));

    Plug();
    SDL_JoystickSetVirtualButton(Stick, SDL_CONTROLLER_BUTTON_START, 1);
    events = Until([](const TInputEvent& e) { return e.Kind == TInputEvent::TKind::KeyDown; });
    ASSERT_FALSE(events.empty());
    EXPECT_EQ(events.back().Key, 'P');
}
