// SPDX-License-Identifier: GPL-3.0-or-later
// The window, the presenter's layout read back from the window, the mouse
// mapping through it, and full screen.
#include "SdlTestSupport.h"
#include "SdlVideo.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <sstream>

namespace {

constexpr uint32_t Red = 0xFF0000;
constexpr uint32_t Green = 0x00FF00;
constexpr uint32_t Blue = 0x0000FF;
constexpr uint32_t White = 0xFFFFFF;

// A frame in one of the platform's layouts, each row padded by four pixels
// as a surface's rows may be.
class TTestFrame {
public:
    TTestFrame(int width, int height, TFrameFormat format)
        : Width_(width), Height_(height), Format_(format), Pitch_((width + 4) * BytesPerPixel(format)),
          Bits_(static_cast<size_t>(Pitch_) * static_cast<size_t>(height), 0xAB)
    {
    }

    // Colours as 0x00RRGGBB, channels truncated to the layout's.
    void Fill(const TRect& rect, uint32_t rgb)
    {
        for (int y = rect.Top; y < rect.Bottom; ++y)
            for (int x = rect.Left; x < rect.Right; ++x) Set(x, y, rgb);
    }
    void Set(int x, int y, uint32_t rgb)
    {
        const uint32_t r = (rgb >> 16) & 0xFF, g = (rgb >> 8) & 0xFF, b = rgb & 0xFF;
        uint8_t* p = Bits_.data() + static_cast<size_t>(y) * static_cast<size_t>(Pitch_) +
                     static_cast<size_t>(x) * static_cast<size_t>(BytesPerPixel(Format_));
        switch (Format_) {
        case TFrameFormat::XRGB8888: Store(p, rgb); break;
        case TFrameFormat::RGB565: Store(p, static_cast<uint16_t>(((r >> 3) << 11) | ((g >> 2) << 5) | (b >> 3))); break;
        case TFrameFormat::RGB555: Store(p, static_cast<uint16_t>(((r >> 3) << 10) | ((g >> 3) << 5) | (b >> 3))); break;
        case TFrameFormat::RGB888:
            p[0] = static_cast<uint8_t>(b);
            p[1] = static_cast<uint8_t>(g);
            p[2] = static_cast<uint8_t>(r);
            break;
        }
    }
    TFrameView View() const { return {Bits_.data(), Pitch_, Width_, Height_, Format_}; }

private:
    template <typename T>
    static void Store(uint8_t* p, T value)
    {
        std::memcpy(p, &value, sizeof value);
    }

    int Width_;
    int Height_;
    TFrameFormat Format_;
    int Pitch_;
    std::vector<uint8_t> Bits_;
};

// An 800 x 600 frame: green, a red top-left quarter, a blue bottom-right
// quarter, and a white pixel in each corner.
TTestFrame TestFrame(TFrameFormat format)
{
    TTestFrame frame(800, 600, format);
    frame.Fill({0, 0, 800, 600}, Green);
    frame.Fill({0, 0, 400, 300}, Red);
    frame.Fill({400, 300, 800, 600}, Blue);
    for (const auto& [x, y] : {std::pair{0, 0}, {799, 0}, {0, 599}, {799, 599}}) frame.Set(x, y, White);
    return frame;
}

struct TReadBack {
    std::vector<uint32_t> Pixels;
    int Width = 0;
    int Height = 0;
    uint32_t At(int x, int y) const { return Pixels[static_cast<size_t>(y) * Width + x]; }
};

TReadBack ReadBack(TSdlVideo& video)
{
    TReadBack result;
    EXPECT_TRUE(video.ReadPixels(result.Pixels, result.Width, result.Height));
    return result;
}

constexpr TPresentOptions Stretched{true, true, false};

// Colours read back match within the rounding of widening 16-bit pixels.
::testing::AssertionResult Shows(uint32_t actual, uint32_t expected)
{
    for (const int shift : {0, 8, 16}) {
        const int a = static_cast<int>((actual >> shift) & 0xFF);
        const int e = static_cast<int>((expected >> shift) & 0xFF);
        if (std::abs(a - e) > 3) {
            // The failure's own stream forgets a base between insertions.
            std::ostringstream text;
            text << std::hex << "shows 0x" << actual << " instead of 0x" << expected;
            return ::testing::AssertionFailure() << text.str();
        }
    }
    return ::testing::AssertionSuccess();
}

} // namespace

TEST(TSdlVideo, FramesUploadInTheirOwnFormat)
{
    EXPECT_EQ(TSdlVideo::TextureFormatOf(TFrameFormat::XRGB8888), SDL_PIXELFORMAT_XRGB8888);
    EXPECT_EQ(TSdlVideo::TextureFormatOf(TFrameFormat::RGB565), SDL_PIXELFORMAT_RGB565);
    EXPECT_EQ(TSdlVideo::TextureFormatOf(TFrameFormat::RGB555), SDL_PIXELFORMAT_RGB555);
    EXPECT_EQ(TSdlVideo::TextureFormatOf(TFrameFormat::RGB888), SDL_PIXELFORMAT_BGR24);
}

TEST_F(SdlPlatformTest, WindowShowsFramesOfEveryDepthOneToOne)
{
    TSdlVideo& video = Platform->SdlVideo();
    video.CreateWindow("Zarvenok", 800, 600);
    video.ShowWindow();
    ASSERT_TRUE(WaitFor([&] { return video.WindowWidth() == 800; }));
    EXPECT_EQ(video.ClientHeight(), 600);
    EXPECT_EQ(video.Caption(), "Zarvenok");
    video.SetCaption("Zarvenok [Pause]");
    EXPECT_EQ(video.Caption(), "Zarvenok [Pause]");
    EXPECT_STREQ(SDL_GetWindowTitle(video.Window()), "Zarvenok [Pause]");
    EXPECT_EQ(video.WindowState(), TWindowState::Normal);
    EXPECT_FALSE(video.IsFullScreen());

    for (const TFrameFormat format :
         {TFrameFormat::XRGB8888, TFrameFormat::RGB565, TFrameFormat::RGB555, TFrameFormat::RGB888}) {
        SCOPED_TRACE(static_cast<int>(format));
        video.Present(TestFrame(format).View(), Stretched);
        const TReadBack shown = ReadBack(video);
        ASSERT_EQ(shown.Width, 800);
        ASSERT_EQ(shown.Height, 600);
        EXPECT_TRUE(Shows(shown.At(0, 0), White));
        EXPECT_TRUE(Shows(shown.At(799, 599), White));
        EXPECT_TRUE(Shows(shown.At(1, 0), Red));
        EXPECT_TRUE(Shows(shown.At(399, 299), Red));
        EXPECT_TRUE(Shows(shown.At(400, 299), Green));
        EXPECT_TRUE(Shows(shown.At(400, 300), Blue));
        EXPECT_TRUE(Shows(shown.At(798, 599), Blue));
    }
    int x = -1;
    int y = -1;
    ASSERT_TRUE(video.MapToSurface(799, 599, x, y));
    EXPECT_EQ(x, 799);
    EXPECT_EQ(y, 599);
}

TEST_F(SdlPlatformTest, AnUnchangedFrameIsNotPresentedAgainUntilTheWindowNeedsIt)
{
    TSdlVideo& video = Platform->SdlVideo();
    video.CreateWindow("Zarvenok", 800, 600);
    video.ShowWindow();
    ASSERT_TRUE(WaitFor([&] { return video.WindowWidth() == 800; }));
    Drain(50);

    TTestFrame frame = TestFrame(TFrameFormat::XRGB8888);
    video.Present(frame.View(), Stretched);
    const uint64_t first = video.PresentCount();
    EXPECT_GE(first, 1u);
    video.Present(frame.View(), Stretched);
    EXPECT_EQ(video.PresentCount(), first);

    // One changed pixel, another presentation, or the window uncovered.
    frame.Set(400, 599, 0);
    video.Present(frame.View(), Stretched);
    EXPECT_EQ(video.PresentCount(), first + 1);
    video.Present(frame.View(), {false, true, false});
    EXPECT_EQ(video.PresentCount(), first + 2);
    SDL_Event exposed{};
    exposed.type = SDL_WINDOWEVENT;
    exposed.window.event = SDL_WINDOWEVENT_EXPOSED;
    exposed.window.windowID = video.WindowId();
    ASSERT_EQ(SDL_PushEvent(&exposed), 1);
    Drain(0);
    video.Present(frame.View(), {false, true, false});
    EXPECT_EQ(video.PresentCount(), first + 3);
    EXPECT_TRUE(Shows(ReadBack(video).At(400, 599), 0u));
}

TEST_F(SdlPlatformTest, ChangedRowsReachTheWindowAndTheRestStays)
{
    TSdlVideo& video = Platform->SdlVideo();
    video.CreateWindow("Zarvenok", 800, 600);
    video.ShowWindow();
    ASSERT_TRUE(WaitFor([&] { return video.WindowWidth() == 800; }));
    Drain(50);

    TTestFrame frame = TestFrame(TFrameFormat::RGB565);
    video.Present(frame.View(), Stretched);
    const uint64_t first = video.PresentCount();
    // The first and the last row, then a band across all three colours.
    frame.Set(10, 0, Blue);
    frame.Set(790, 599, Red);
    video.Present(frame.View(), Stretched);
    frame.Fill({100, 250, 700, 350}, White);
    video.Present(frame.View(), Stretched);
    EXPECT_EQ(video.PresentCount(), first + 2);

    const TReadBack shown = ReadBack(video);
    ASSERT_EQ(shown.Width, 800);
    const struct {
        int X, Y;
        uint32_t Colour;
    } points[] = {
        {10, 0, Blue},     {0, 0, White},      {11, 0, Red},       {790, 599, Red},  {799, 599, White},
        {789, 599, Blue},  {100, 250, White},  {699, 349, White},  {400, 299, White}, {99, 250, Red},
        {450, 249, Green}, {700, 349, Blue},   {699, 350, Blue},   {200, 350, Green}, {399, 299, White},
    };
    for (const auto& p : points) EXPECT_TRUE(Shows(shown.At(p.X, p.Y), p.Colour)) << p.X << "," << p.Y;
}

TEST_F(SdlPlatformTest, LargerWindowLetterboxesAndMapsTheMouseThroughTheBars)
{
    TSdlVideo& video = Platform->SdlVideo();
    video.CreateWindow("Zarvenok", 800, 600);
    video.ShowWindow();
    SDL_SetWindowSize(video.Window(), 1600, 900);
    ASSERT_TRUE(WaitFor([&] { return video.WindowWidth() == 1600 && video.WindowHeight() == 900; }));
    // The game's client area stays the size it asked for.
    EXPECT_EQ(video.ClientWidth(), 800);
    EXPECT_EQ(video.ClientHeight(), 600);

    // Smooth: scale 1.5 between bars 200 pixels wide.
    video.SetScaling({0, true});
    video.Present(TestFrame(TFrameFormat::XRGB8888).View(), Stretched);
    const TReadBack shown = ReadBack(video);
    ASSERT_EQ(shown.Width, 1600);
    ASSERT_EQ(shown.Height, 900);
    EXPECT_TRUE(Shows(shown.At(0, 450), 0u));
    EXPECT_TRUE(Shows(shown.At(199, 450), 0u));
    EXPECT_TRUE(Shows(shown.At(1400, 450), 0u));
    EXPECT_TRUE(Shows(shown.At(1599, 0), 0u));
    EXPECT_TRUE(Shows(shown.At(500, 225), Red));
    EXPECT_TRUE(Shows(shown.At(1100, 225), Green));
    EXPECT_TRUE(Shows(shown.At(1100, 675), Blue));

    const struct {
        int WindowX, WindowY;
        bool OnFrame;
        int X, Y;
    } points[] = {
        {200, 0, true, 0, 0},     {1399, 899, true, 799, 599}, {800, 450, true, 400, 300},
        {1000, 600, true, 533, 400}, {199, 450, false, 0, 0},  {1400, 450, false, 0, 0},
    };
    for (const auto& p : points) {
        int x = -1;
        int y = -1;
        EXPECT_EQ(video.MapToSurface(p.WindowX, p.WindowY, x, y), p.OnFrame) << p.WindowX << "," << p.WindowY;
        if (p.OnFrame) {
            EXPECT_EQ(x, p.X) << p.WindowX;
            EXPECT_EQ(y, p.Y) << p.WindowY;
        }
    }

    // Events: a move on a bar is dropped, presses map, a release on a bar
    // still arrives, at the nearest frame pixel.
    Drain(50);
    SDL_Event onBar{};
    onBar.type = SDL_MOUSEMOTION;
    onBar.motion.windowID = video.WindowId();
    onBar.motion.x = 50;
    onBar.motion.y = 50;
    SDL_Event move = onBar;
    move.motion.x = 800;
    move.motion.y = 450;
    SDL_Event press{};
    press.type = SDL_MOUSEBUTTONDOWN;
    press.button.windowID = video.WindowId();
    press.button.button = SDL_BUTTON_RIGHT;
    press.button.state = SDL_PRESSED;
    press.button.x = 1000;
    press.button.y = 600;
    SDL_Event pressOnBar = press;
    pressOnBar.button.x = 100;
    SDL_Event sideButton = press;
    sideButton.button.button = SDL_BUTTON_X1;
    SDL_Event release = press;
    release.type = SDL_MOUSEBUTTONUP;
    release.button.button = SDL_BUTTON_LEFT;
    release.button.state = SDL_RELEASED;
    release.button.x = 1500;
    release.button.y = 10;
    for (SDL_Event* e : {&onBar, &move, &pressOnBar, &sideButton, &press, &release})
        ASSERT_EQ(SDL_PushEvent(e), 1);
    const std::vector<TInputEvent> events = Drain(0);
    ASSERT_EQ(events.size(), 3u);
    EXPECT_EQ(events[0].Kind, TInputEvent::TKind::MouseMove);
    EXPECT_EQ(events[0].X, 400);
    EXPECT_EQ(events[0].Y, 300);
    EXPECT_EQ(events[1].Kind, TInputEvent::TKind::MouseDown);
    EXPECT_EQ(events[1].Button, TMouseButton::Right);
    EXPECT_EQ(events[1].X, 533);
    EXPECT_EQ(events[1].Y, 400);
    EXPECT_EQ(events[2].Kind, TInputEvent::TKind::MouseUp);
    EXPECT_EQ(events[2].Button, TMouseButton::Left);
    EXPECT_EQ(events[2].X, 799);
    EXPECT_EQ(events[2].Y, 6);

    // Not stretched: centred 1:1 in the big window.
    video.Present(TestFrame(TFrameFormat::RGB565).View(), {false, true, false});
    const TReadBack centred = ReadBack(video);
    EXPECT_TRUE(Shows(centred.At(399, 149), 0u));
    EXPECT_TRUE(Shows(centred.At(400, 150), White));
    EXPECT_TRUE(Shows(centred.At(401, 150), Red));
    EXPECT_TRUE(Shows(centred.At(1199, 749), White));
    EXPECT_TRUE(Shows(centred.At(1200, 750), 0u));
    int x = -1;
    int y = -1;
    ASSERT_TRUE(video.MapToSurface(400, 150, x, y));
    EXPECT_EQ(x, 0);
    EXPECT_EQ(y, 0);
}

TEST_F(SdlPlatformTest, WholeFactorsDrawHardPixelsAndMapThePointerExactly)
{
    TSdlVideo& video = Platform->SdlVideo();
    video.CreateWindow("Zarvenok", 800, 600);
    video.ShowWindow();
    // 2x fits 1700 x 1250 with bars of 50 and 25 pixels.
    SDL_SetWindowSize(video.Window(), 1700, 1250);
    ASSERT_TRUE(WaitFor([&] { return video.WindowWidth() == 1700 && video.WindowHeight() == 1250; }));
    video.Present(TestFrame(TFrameFormat::RGB565).View(), Stretched);
    EXPECT_EQ(video.FrameRect(), Bounds(50, 25, 1600, 1200));
    const TReadBack shown = ReadBack(video);
    ASSERT_EQ(shown.Width, 1700);
    // Each frame pixel is a 2 x 2 block, its edges not blended.
    EXPECT_TRUE(Shows(shown.At(49, 25), 0u));
    EXPECT_TRUE(Shows(shown.At(50, 25), White));
    EXPECT_TRUE(Shows(shown.At(51, 26), White));
    EXPECT_TRUE(Shows(shown.At(52, 25), Red));
    EXPECT_TRUE(Shows(shown.At(849, 624), Red));
    EXPECT_TRUE(Shows(shown.At(850, 624), Green));
    EXPECT_TRUE(Shows(shown.At(850, 625), Blue));
    EXPECT_TRUE(Shows(shown.At(1649, 1224), White));
    EXPECT_TRUE(Shows(shown.At(1650, 1224), 0u));

    const struct {
        int WindowX, WindowY;
        bool OnFrame;
        int X, Y;
    } points[] = {
        {50, 25, true, 0, 0},       {51, 26, true, 0, 0},     {52, 27, true, 1, 1},      {849, 624, true, 399, 299},
        {850, 625, true, 400, 300}, {1649, 1224, true, 799, 599}, {49, 600, false, 0, 0}, {1650, 600, false, 0, 0},
        {800, 24, false, 0, 0},     {800, 1225, false, 0, 0},
    };
    for (const auto& p : points) {
        int x = -1;
        int y = -1;
        EXPECT_EQ(video.MapToSurface(p.WindowX, p.WindowY, x, y), p.OnFrame) << p.WindowX << "," << p.WindowY;
        if (p.OnFrame) {
            EXPECT_EQ(x, p.X) << p.WindowX;
            EXPECT_EQ(y, p.Y) << p.WindowY;
        }
    }

    // A forced 1x stays 1x in the big window; smooth at 2x blends the edges.
    video.SetScaling({1, false});
    video.Present(TestFrame(TFrameFormat::RGB565).View(), Stretched);
    EXPECT_EQ(video.FrameRect(), Bounds(450, 325, 800, 600));
    video.SetScaling({2, true});
    video.Present(TestFrame(TFrameFormat::RGB565).View(), Stretched);
    EXPECT_EQ(video.FrameRect(), Bounds(50, 25, 1600, 1200));
    const uint32_t edge = ReadBack(video).At(850, 300);
    EXPECT_FALSE(Shows(edge, Red) || Shows(edge, Green)) << std::hex << edge;
}

TEST_F(SdlPlatformTest, FullScreenOffersTheDisplaysSizesAndComesBackToThePlacement)
{
    TSdlVideo& video = Platform->SdlVideo();
    video.CreateWindow("Zarvenok", 800, 600);
    video.ShowWindow();
    ASSERT_TRUE(WaitFor([&] { return video.WindowWidth() == 800; }));

    SDL_DisplayMode desktop{};
    ASSERT_EQ(SDL_GetDesktopDisplayMode(0, &desktop), 0);
    const std::vector<TDisplayMode> modes = video.FullScreenModes();
    for (const int bits : {16, 32})
        EXPECT_NE(std::find(modes.begin(), modes.end(), TDisplayMode{desktop.w, desktop.h, bits}), modes.end()) << bits;
    EXPECT_EQ(modes.size() % 2, 0u);
    EXPECT_TRUE(video.DesktopBitCount() == 16 || video.DesktopBitCount() == 24 || video.DesktopBitCount() == 32);

    video.SaveWindowPlacement();
    // A size the display does not have still gives a full screen: the desktop's.
    video.SetBordered(false);
    ASSERT_TRUE(video.EnterFullScreen({desktop.w == 640 ? 800 : 640, 480, 16}));
    EXPECT_TRUE(video.IsFullScreen());
    ASSERT_TRUE(WaitFor([&] { return video.WindowWidth() == desktop.w && video.WindowHeight() == desktop.h; }));
    video.Present(TestFrame(TFrameFormat::RGB565).View(), Stretched);
    const TReadBack shown = ReadBack(video);
    ASSERT_EQ(shown.Width, desktop.w);
    const TRect rect = LayFrame(desktop.w, desktop.h, 800, 600, Stretched, {}).Target;
    EXPECT_TRUE(Shows(shown.At(rect.Left + rect.Width() / 4, rect.Top + rect.Height() / 4), Red));
    EXPECT_TRUE(Shows(shown.At(rect.Left + rect.Width() * 3 / 4, rect.Top + rect.Height() * 3 / 4), Blue));
    if (rect.Left > 0) {
        EXPECT_TRUE(Shows(shown.At(rect.Left / 2, desktop.h / 2), 0u));
    }

    video.LeaveFullScreen();
    video.SetBordered(true);
    video.RestoreWindowPlacement();
    EXPECT_FALSE(video.IsFullScreen());
    ASSERT_TRUE(WaitFor([&] { return video.WindowWidth() == 800 && video.WindowHeight() == 600; }));
}

TEST_F(SdlPlatformTest, AfterAModeChangeTheGameHearsWhereTheStillPointerNowIs)
{
    TSdlVideo& video = Platform->SdlVideo();
    // Smooth, so that full screen lays the frame out differently from the window.
    video.SetScaling({0, true});
    video.CreateWindow("Zarvenok", 800, 600);
    video.ShowWindow();
    ASSERT_TRUE(WaitFor([&] { return video.WindowWidth() == 800; }));
    video.Present(TestFrame(TFrameFormat::XRGB8888).View(), Stretched);
    int left = 0;
    int top = 0;
    SDL_GetWindowPosition(video.Window(), &left, &top);

    // The last pointer position each batch of events gives the game.
    const auto pointerReaches = [&](int x, int y) {
        TInputEvent event;
        const Uint32 start = SDL_GetTicks();
        while (SDL_GetTicks() - start < 3000) {
            if (!Platform->Events().WaitEvent(event, 20) || event.Kind != TInputEvent::TKind::MouseMove) continue;
            if (event.X == x && event.Y == y) return true;
        }
        return false;
    };
    SDL_WarpMouseInWindow(video.Window(), 200, 150);
    ASSERT_TRUE(pointerReaches(200, 150));

    // Full screen: the pointer has not moved, but the frame under it has.
    video.SetBordered(false);
    ASSERT_TRUE(video.EnterFullScreen({800, 600, 16}));
    ASSERT_TRUE(WaitFor([&] { return video.WindowWidth() > 800; }));
    video.Present(TestFrame(TFrameFormat::RGB565).View(), Stretched);
    const TRect rect = video.FrameRect();
    const int screenX = left + 200;
    const int screenY = top + 150;
    EXPECT_TRUE(pointerReaches((screenX - rect.Left) * 800 / rect.Width(), (screenY - rect.Top) * 600 / rect.Height()));

    // And back.
    video.LeaveFullScreen();
    video.SetBordered(true);
    ASSERT_TRUE(WaitFor([&] { return video.WindowWidth() == 800; }));
    video.Present(TestFrame(TFrameFormat::XRGB8888).View(), Stretched);
    EXPECT_TRUE(pointerReaches(200, 150));
}
