// SPDX-License-Identifier: GPL-3.0-or-later
// The display on the headless video: the order of events and notifications,
// the window and full-screen switch, the mode choice, lost surfaces, the
// effective options and the presentation rule.
#include "DXDraw.h"
#include "EngineErrors.h"
#include "HeadlessPlatform.h"
#include "PictureCollection.h"

#include "NotifyNames.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

namespace {


struct TRecorder : IDXDrawNotify {
    explicit TRecorder(std::vector<std::string>& log) : Log(log) {}
    void DXDrawNotify(TCustomDXDraw&, TDXDrawNotifyType t) override { Log.push_back(std::string("n:") + NotifyName(t)); }
    std::vector<std::string>& Log;
};

// The options the game's form sets; doFullScreen comes and goes at run time.
constexpr TDXDrawOptions GameOptions = doStretch | doAllowReboot | doHardware | doCenter | doSelectDriver |
                                       doAllowPalette256 | doRetainedMode | doFlip | doWaitVBlank;

using TLog = std::vector<std::string>;

// A display set up as the game's form does, on a created but not yet shown window.
class TDXDrawTest : public ::testing::Test {
protected:
    TDXDrawTest() : Video(Platform.Video()), Draw(Video), Recorder(Log)
    {
        Video.CreateWindow("Zarvenok", 800, 600);
        Draw.SetOptions(GameOptions);
        SetDisplay800x600x16();
        Draw.SetSurfaceWidth(800);
        Draw.SetSurfaceHeight(600);
        Draw.OnInitializing = [this] {
            Log.push_back("OnInitializing");
            if (Draw.Options() & doFullScreen) {
                Video.SetBordered(false);
            } else {
                Video.SetWindowState(TWindowState::Normal);
                Video.SetBordered(true);
            }
        };
        Draw.OnInitialize = [this] { Log.push_back("OnInitialize"); };
        Draw.OnFinalize = [this] { Log.push_back("OnFinalize"); };
        Draw.OnInitializeSurface = [this] { Log.push_back("OnInitializeSurface"); };
        Draw.OnFinalizeSurface = [this] { Log.push_back("OnFinalizeSurface"); };
        Draw.OnRestoreSurface = [this] { Log.push_back("OnRestoreSurface"); };
        Draw.RegisterNotifyEvent(Recorder);
        Log.clear();
    }
    ~TDXDrawTest() override { Draw.UnRegisterNotifyEvent(Recorder); }

    void SetDisplay800x600x16()
    {
        Draw.Display.Width = 800;
        Draw.Display.Height = 600;
        Draw.Display.SetBitCount(16);
    }

    // The form's switch between window and full screen.
    void SwitchToFullScreen()
    {
        Draw.Finalize();
        if (!(Draw.Options() & doFullScreen)) Video.SaveWindowPlacement();
        Draw.SetOptions(Draw.Options() | doFullScreen);
        SetDisplay800x600x16();
        Draw.Initialize();
    }
    void SwitchToWindow()
    {
        Draw.Finalize();
        if (Draw.Options() & doFullScreen) Video.RestoreWindowPlacement();
        Draw.SetOptions(Draw.Options() & ~doFullScreen);
        Draw.SetSurfaceWidth(800);
        Draw.SetSurfaceHeight(600);
        SetDisplay800x600x16();
        Draw.Initialize();
        Video.SetWindowState(TWindowState::Normal);
    }

    THeadlessPlatform Platform;
    THeadlessVideo& Video;
    TLog Log;  // outlives the display, whose last finalisation still logs
    TDXDraw Draw;
    TRecorder Recorder;
};

const TLog InitializeSequence = {"OnInitializing", "n:initializing",      "n:size",
                                 "n:initialize",   "OnInitialize",        "n:surface-initialize",
                                 "OnInitializeSurface", "n:restore",      "OnRestoreSurface"};
const TLog FinalizeSequence = {"OnFinalizeSurface", "n:surface-finalize", "OnFinalize", "n:finalize"};

TEST_F(TDXDrawTest, StartsInAWindowWhenFirstShownWithEverythingInOrder)
{
    EXPECT_FALSE(Draw.CanDraw());
    Draw.WindowShown();
    EXPECT_EQ(Log, InitializeSequence);
    ASSERT_TRUE(Draw.Initialized());
    EXPECT_TRUE(Draw.InitializeAttempted());
    EXPECT_FALSE(Draw.FullScreenMode().has_value());
    EXPECT_FALSE(Draw.PageFlipping());
    ASSERT_NE(Draw.Surface(), nullptr);
    EXPECT_EQ(Draw.Surface()->Width(), 800);
    EXPECT_EQ(Draw.Surface()->Height(), 600);
    EXPECT_EQ(Draw.Surface()->PixelFormat(), TPixelFormat::XRGB8888()) << "the desktop's depth in a window";
    EXPECT_EQ(Draw.PixelFormat(), TPixelFormat::XRGB8888()) << "pattern surfaces follow the back surface";

    Log.clear();
    Draw.WindowShown();
    EXPECT_TRUE(Log.empty()) << "only the first showing initialises";

    Draw.Surface()->FillRect(Bounds(10, 20, 1, 1), 0x00123456);
    Draw.Flip();
    ASSERT_EQ(Video.PresentCount(), 1);
    EXPECT_EQ(Video.FrameWidth(), 800);
    EXPECT_EQ(Video.FramePixel(10, 20), 0x123456u);
    EXPECT_EQ(Video.FramePixel(11, 20), 0u);
    const TPresentOptions shown = Video.LastPresentOptions();
    EXPECT_TRUE(shown.Stretch && shown.Center && shown.WaitVBlank);

    Draw.SetWindowActive(false);
    Draw.Flip();
    EXPECT_EQ(Video.PresentCount(), 2) << "a window is drawn into while another is in front";

    Draw.SetOptions(Draw.Options() & ~doStretch);
    Draw.Flip();
    EXPECT_FALSE(Video.LastPresentOptions().Stretch) << "stretch changes while initialised";

    Log.clear();
    Draw.WindowDestroyed();
    EXPECT_EQ(Log, FinalizeSequence);
    EXPECT_FALSE(Draw.Initialized());
}

TEST_F(TDXDrawTest, ShowingDoesNotInitialiseWithoutAutoInitializeOrAfterAnEarlierAttempt)
{
    Draw.AutoInitialize = false;
    Draw.WindowShown();
    EXPECT_FALSE(Draw.Initialized());

    THeadlessPlatform other;
    other.Video().CreateWindow("x", 800, 600);
    TDXDraw draw(other.Video());
    draw.Initialize();
    draw.Finalize();
    draw.WindowShown();
    EXPECT_FALSE(draw.Initialized()) << "the form already initialised it once";
}

TEST_F(TDXDrawTest, SwitchesToFullScreenAndBackRestoringThePlacement)
{
    Video.SetWindowPosition(120, 80);
    Draw.WindowShown();
    Log.clear();

    SwitchToFullScreen();
    TLog expected = FinalizeSequence;
    expected.insert(expected.end(), InitializeSequence.begin(), InitializeSequence.end());
    EXPECT_EQ(Log, expected);
    ASSERT_TRUE(Draw.Initialized());
    EXPECT_EQ(Draw.NowOptions(), doFullScreen | doAllowReboot | doWaitVBlank | doAllowPalette256 | doStretch |
                                     doCenter | doFlip);
    EXPECT_TRUE(Draw.PageFlipping());
    EXPECT_EQ(Video.FullScreenMode(), (TDisplayMode{800, 600, 16}));
    EXPECT_FALSE(Video.Bordered());
    EXPECT_EQ(Draw.Surface()->PixelFormat(), TPixelFormat::RGB565());
    EXPECT_EQ(Draw.SurfaceWidth(), 800);
    EXPECT_EQ(Draw.SurfaceHeight(), 600);

    Draw.Flip();
    EXPECT_EQ(Video.PresentCount(), 1);
    Draw.WindowDeactivated();
    Draw.Flip();
    EXPECT_EQ(Video.PresentCount(), 1) << "no page flip while the window is not active";
    Draw.SetWindowActive(true);
    Draw.Flip();
    EXPECT_EQ(Video.PresentCount(), 2);

    Draw.SetSurfaceWidth(640);
    EXPECT_EQ(Draw.SurfaceWidth(), 800) << "a flipped surface keeps the mode's size";

    Log.clear();
    SwitchToWindow();
    EXPECT_EQ(Log, expected);
    EXPECT_FALSE(Video.FullScreenMode().has_value());
    EXPECT_EQ(Video.Placement(), (THeadlessVideo::TPlacement{120, 80, 800, 600}));
    EXPECT_TRUE(Video.Bordered());
    EXPECT_EQ(Draw.NowOptions(), doWaitVBlank | doStretch | doCenter);
    EXPECT_EQ(Draw.Surface()->Width(), 800);
    EXPECT_EQ(Draw.Surface()->Height(), 600);
    EXPECT_EQ(Draw.Surface()->BitCount(), 32);

    Draw.Finalize();
    EXPECT_EQ(Draw.SurfaceWidth(), 800) << "the stored size while finalised";
    EXPECT_EQ(Draw.SurfaceHeight(), 600);
}

struct TModeCase {
    const char* Label;
    std::vector<TDisplayMode> Offered;
    TDisplayMode Chosen;  // BitCount 0: the switch fails
};

class DisplayModeChoice : public TDXDrawTest, public ::testing::WithParamInterface<TModeCase> {};

TEST_P(DisplayModeChoice, ChoosesOrFailsWithTheAskedMode)
{
    const TModeCase& c = GetParam();
    Video.SetFullScreenModes(c.Offered);
    Draw.WindowShown();
    if (c.Chosen.BitCount == 0) {
        try {
            SwitchToFullScreen();
            FAIL() << "no error";
        } catch (const EDXDrawError& e) {
            EXPECT_STREQ(e.what(), "Display mode cannot be changed (800x600 16bit)");
        }
        EXPECT_FALSE(Draw.Initialized());
        EXPECT_FALSE(Video.FullScreenMode().has_value());
        EXPECT_EQ(Log.back(), "n:finalize") << "the failed attempt is finalised";
        EXPECT_EQ(std::count(Log.begin(), Log.end(), "OnFinalize"), 1) << "only the window's own finalisation";
        return;
    }
    SwitchToFullScreen();
    EXPECT_EQ(Video.FullScreenMode(), c.Chosen);
    EXPECT_EQ(Draw.Display.Width, c.Chosen.Width);
    EXPECT_EQ(Draw.Display.Height, c.Chosen.Height);
    EXPECT_EQ(Draw.Display.BitCount(), c.Chosen.BitCount);
    EXPECT_EQ(Draw.SurfaceWidth(), c.Chosen.Width);
    EXPECT_EQ(Draw.SurfaceHeight(), c.Chosen.Height);
}

INSTANTIATE_TEST_SUITE_P(
    TDXDraw, DisplayModeChoice,
    ::testing::Values(
        TModeCase{"Exact", THeadlessVideo::DefaultModes(), {800, 600, 16}},
        TModeCase{"ExactRefusedSameRatio", {{640, 480, 16}, {800, 600, 32}, {1024, 768, 32}, {1024, 768, 16}, {1280, 720, 16}},
                  {1024, 768, 16}},
        TModeCase{"OnlyWideModes", {{1920, 1080, 16}, {1024, 576, 16}, {1280, 720, 32}, {1280, 720, 16}}, {1280, 720, 16}},
        TModeCase{"NoneOf16Bits", {{800, 600, 32}, {1024, 768, 32}, {800, 600, 24}}, {0, 0, 0}},
        TModeCase{"NoneLargeEnough", {{640, 480, 16}, {1024, 576, 16}}, {0, 0, 0}}),
    [](const auto& p) { return std::string(p.param.Label); });

struct TSearchCase {
    const char* Label;
    std::vector<TDisplayMode> Offered;
    TDisplayMode Asked;
    bool FixedRatio, FixedSize, FixedBitCount;
    std::optional<TDisplayMode> Found;
};

class DisplayModeSearch : public ::testing::TestWithParam<TSearchCase> {};

TEST_P(DisplayModeSearch, FindsTheSmallestFittingMode)
{
    const TSearchCase& c = GetParam();
    EXPECT_EQ(TDXDraw::FindDisplayMode(c.Offered, c.Asked.Width, c.Asked.Height, c.Asked.BitCount, c.FixedRatio,
                                       c.FixedSize, c.FixedBitCount),
              c.Found);
}

INSTANTIATE_TEST_SUITE_P(
    TDXDraw, DisplayModeSearch,
    ::testing::Values(
        TSearchCase{"RatioBeforeSize", {{1280, 720, 16}, {1024, 768, 16}}, {800, 600, 16}, true, false, true,
                    TDisplayMode{1024, 768, 16}},
        TSearchCase{"NoRatioTakesSmallest", {{1280, 720, 16}, {1024, 768, 16}, {960, 600, 16}}, {800, 600, 16}, false,
                    false, true, TDisplayMode{960, 600, 16}},
        TSearchCase{"FixedSize", {{1024, 768, 16}, {1280, 720, 16}}, {800, 600, 16}, true, true, true, std::nullopt},
        TSearchCase{"AnyDepthPrefersTheAsked", {{800, 600, 16}, {800, 600, 32}}, {800, 600, 32}, true, false, false,
                    TDisplayMode{800, 600, 32}},
        TSearchCase{"AnyDepthTakesAnother", {{800, 600, 24}, {1024, 768, 16}}, {800, 600, 16}, true, false, false,
                    TDisplayMode{800, 600, 24}},
        TSearchCase{"PaletteDepthNeedsAtLeastAsked", {{800, 600, 8}, {1024, 768, 16}}, {800, 600, 16}, true, false,
                    false, TDisplayMode{1024, 768, 16}},
        TSearchCase{"StrangeModesIgnored", {{0, 0, 16}, {800, 600, 15}, {-800, -600, 16}}, {800, 600, 16}, true,
                    false, false, std::nullopt}),
    [](const auto& p) { return std::string(p.param.Label); });

TEST_F(TDXDrawTest, ALostSurfaceSkipsFramesUntilRestoredAndImagesDrawAgain)
{
    TDXImageList images;
    auto& item = images.Items.Add();
    item.SetName("dot");
    item.Picture.Kind = TPicture::TKind::DIB;
    item.Picture.Graphic.Width = 1;
    item.Picture.Graphic.Height = 1;
    item.Picture.Graphic.BitCount = 24;
    item.Picture.Graphic.Pixels = {0x00FF00};
    item.Transparent = false;
    images.SetDXDraw(&Draw);
    Draw.WindowShown();
    TDirectDrawSurface& back = *Draw.Surface();
    const uint32_t green = back.PixelFormat().RGBToPixel(0x00FF00);
    item.Draw(back, 5, 5, 0);
    ASSERT_EQ(back.GetPixel(5, 5), green);

    // Another program takes the display: every surface is lost.
    Draw.MarkSurfacesLost();
    for (const auto& s : item.Surfaces()) s->MarkLost();
    Draw.SetSurfacesRestorable(false);
    Log.clear();
    EXPECT_FALSE(Draw.CanDraw());
    Draw.Flip();
    EXPECT_EQ(Video.PresentCount(), 0) << "nothing is shown from lost surfaces";
    EXPECT_TRUE(Log.empty()) << "no restore while the display is taken";

    Draw.SetSurfacesRestorable(true);
    EXPECT_TRUE(Draw.CanDraw());
    EXPECT_EQ(Log, (TLog{"n:restore", "OnRestoreSurface"}));
    EXPECT_EQ(back.GetPixel(5, 5), 0u) << "restored surfaces start black";
    item.Draw(back, 6, 6, 0);
    EXPECT_EQ(back.GetPixel(6, 6), green) << "the patterns were rebuilt";

    Draw.MarkSurfacesLost();
    Draw.Flip();
    EXPECT_EQ(Video.PresentCount(), 1) << "Flip restores what it can and presents";
    images.SetDXDraw(nullptr);
}

TEST_F(TDXDrawTest, SurfaceSizeIsStoredWhileFinalisedAndRecreatedInAWindow)
{
    Draw.AutoSize = false;
    Draw.SetSurfaceWidth(320);
    Draw.SetSurfaceHeight(200);
    EXPECT_EQ(Draw.SurfaceWidth(), 320);
    EXPECT_TRUE(Log.empty());
    Draw.Initialize();
    EXPECT_EQ(Draw.Surface()->Width(), 320) << "without AutoSize the stored size is used";

    Log.clear();
    Draw.SetSurfaceWidth(320);
    EXPECT_TRUE(Log.empty()) << "the same size changes nothing";
    Draw.SetSurfaceWidth(640);
    EXPECT_EQ(Log, (TLog{"n:surface-finalize", "OnFinalizeSurface", "n:surface-initialize", "OnInitializeSurface"}));
    EXPECT_EQ(Draw.Surface()->Width(), 640);
    EXPECT_EQ(Draw.Surface()->Height(), 200);

    Draw.Finalize();
    EXPECT_EQ(Draw.SurfaceWidth(), 640);
    Draw.AutoSize = true;
    Draw.Initialize();
    EXPECT_EQ(Draw.SurfaceWidth(), 800) << "AutoSize takes the client area";
}

struct TOptionsCase {
    const char* Label;
    TDXDrawOptions Options;
    TDXDrawOptions Now;
};

class DisplayOptions : public ::testing::TestWithParam<TOptionsCase> {};

TEST_P(DisplayOptions, EffectiveOptions)
{
    EXPECT_EQ(TDXDraw::EffectiveOptions(GetParam().Options), GetParam().Now);
}

INSTANTIATE_TEST_SUITE_P(
    TDXDraw, DisplayOptions,
    ::testing::Values(
        TOptionsCase{"GameWindow", GameOptions, doWaitVBlank | doStretch | doCenter},
        TOptionsCase{"GameFullScreen", GameOptions | doFullScreen,
                     doFullScreen | doAllowReboot | doWaitVBlank | doAllowPalette256 | doStretch | doCenter | doFlip},
        TOptionsCase{"SystemMemoryNeverFlips", doFullScreen | doFlip | doSystemMemory, doFullScreen | doSystemMemory},
        TOptionsCase{"DirectX7DropsRetained", do3D | doDirectX7Mode | doRetainedMode | doHardware | doZBuffer,
                     do3D | doDirectX7Mode | doZBuffer},
        TOptionsCase{"WindowDropsFullScreenOnlyFlags", doNoWindowChange | doAllowReboot | doFlip, 0}),
    [](const auto& p) { return std::string(p.param.Label); });

TEST_F(TDXDrawTest, OptionsSetWhileInitialisedWaitForTheNextInitialisation)
{
    EXPECT_EQ(Draw.NowOptions(), doWaitVBlank | doStretch | doCenter);
    Draw.Initialize();
    Draw.SetOptions((GameOptions | doFullScreen) & ~(doWaitVBlank | doCenter));
    EXPECT_EQ(Draw.NowOptions(), doStretch) << "only the presentation flags change at once";
    Draw.Finalize();
    EXPECT_EQ(Draw.NowOptions(), doFullScreen | doAllowReboot | doAllowPalette256 | doStretch | doFlip);
}

TEST(TDXDraw, ErrorsLeaveTheDisplayFinalised)
{
    THeadlessPlatform platform;
    TDXDraw draw(platform.Video());
    bool initializing = false;
    draw.OnInitializing = [&] { initializing = true; };
    try {
        draw.Initialize();
        FAIL() << "no error";
    } catch (const EDXDrawError& e) {
        EXPECT_STREQ(e.what(), "Form not found");
    }
    EXPECT_FALSE(initializing);
    EXPECT_TRUE(draw.InitializeAttempted());

    EXPECT_EQ(draw.Display.BitCount(), 8) << "the creation default";
    for (const int bad : {0, 4, 15, 64}) {
        try {
            draw.Display.SetBitCount(bad);
            FAIL() << bad;
        } catch (const EDXDrawError& e) {
            EXPECT_STREQ(e.what(), "It should be either of 8 or 16 or 24 or 32");
        }
    }
    EXPECT_EQ(draw.Display.BitCount(), 8);

    platform.Video().CreateWindow("x", 800, 600);
    platform.Video().SetDesktopBitCount(8);
    try {
        draw.Initialize();
        FAIL() << "no error";
    } catch (const EDXDrawError& e) {
        EXPECT_STREQ(e.what(), "Primary Surface cannot be made") << "no direct-colour surface at 8 bits";
    }
    EXPECT_FALSE(draw.Initialized());
    EXPECT_FALSE(draw.CanDraw());
}

// The platform reads the back surface in place, so its layout and its row
// padding (an odd width pads every depth but 32 bits) must reach it intact.
TEST(TDXDraw, FlipHandsThePlatformTheBackSurfaceInItsOwnLayout)
{
    constexpr uint32_t Colour = 0x8A4C2E;  // off the 16-bit grid, so a misread layout shows
    for (const int depth : {15, 16, 24, 32}) {
        SCOPED_TRACE(depth);
        THeadlessPlatform platform;
        THeadlessVideo& video = platform.Video();
        video.CreateWindow("x", 801, 600);
        video.SetDesktopBitCount(depth);
        TDXDraw draw(video);
        draw.Initialize();
        TDirectDrawSurface& back = *draw.Surface();
        const TPixelFormat format = back.PixelFormat();
        back.SetPixel(800, 599, format.RGBToPixel(Colour));
        back.SetPixel(0, 1, format.RGBToPixel(0xFFFFFF));
        draw.Flip();

        ASSERT_EQ(video.PresentCount(), 1);
        ASSERT_EQ(video.FrameWidth(), 801);
        ASSERT_EQ(video.FrameHeight(), 600);
        EXPECT_EQ(video.FramePixel(800, 599), format.PixelToRGB(format.RGBToPixel(Colour)));
        EXPECT_EQ(video.FramePixel(0, 1), 0xFFFFFFu);
        EXPECT_EQ(video.FramePixel(800, 0), 0u);
        EXPECT_EQ(video.FramePixel(799, 599), 0u);
        EXPECT_EQ(back.LockCount(), 0) << "the lock ends with the presentation";
    }
}

TEST(TDXDraw, PresentRectStretchesOrCentres)
{
    EXPECT_EQ(TDXDraw::PresentRect(1024, 768, 800, 600, true, true), Bounds(0, 0, 1024, 768));
    EXPECT_EQ(TDXDraw::PresentRect(1024, 768, 800, 600, false, true), Bounds(112, 84, 800, 600));
    EXPECT_EQ(TDXDraw::PresentRect(1024, 768, 800, 600, false, false), Bounds(0, 0, 800, 600));
    EXPECT_EQ(TDXDraw::PresentRect(640, 480, 800, 600, false, true), Bounds(-80, -60, 800, 600));
}

} // namespace
