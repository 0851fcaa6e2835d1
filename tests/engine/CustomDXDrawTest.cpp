// SPDX-License-Identifier: GPL-3.0-or-later
// The engine's own display: notification order, registration, lost
// surfaces and the stored size.
#include "CustomDXDraw.h"

#include "NotifyNames.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {


struct TRecorder : IDXDrawNotify {
    TRecorder(std::vector<std::string>& log, std::string tag) : Log(log), Tag(std::move(tag)) {}
    void DXDrawNotify(TCustomDXDraw&, TDXDrawNotifyType t) override { Log.push_back(Tag + NotifyName(t)); }
    std::vector<std::string>& Log;
    std::string Tag;
};

TEST(TOffscreenDXDraw, NotifiesNewestRegistrationFirstInTheDisplaysOrder)
{
    std::vector<std::string> log;
    TRecorder a(log, "a:"), b(log, "b:");
    auto display = std::make_unique<TOffscreenDXDraw>(TPixelFormat::RGB565(), 800, 600);
    display->OnInitializing = [&] { log.push_back("OnInitializing"); };
    display->OnInitialize = [&] { log.push_back("OnInitialize"); };
    display->OnFinalize = [&] { log.push_back("OnFinalize"); };
    display->RegisterNotifyEvent(a);
    display->RegisterNotifyEvent(b);
    EXPECT_EQ(log, (std::vector<std::string>{"a:size", "b:size"})) << "registration tells the size at once";
    log.clear();

    display->Initialize();
    EXPECT_EQ(log, (std::vector<std::string>{"OnInitializing", "b:initializing", "a:initializing", "b:size", "a:size",
                                             "b:initialize", "a:initialize", "OnInitialize", "b:surface-initialize",
                                             "a:surface-initialize", "b:restore", "a:restore"}));
    ASSERT_NE(display->Surface(), nullptr);
    EXPECT_EQ(display->Surface()->BitCount(), 16);
    log.clear();

    TRecorder late(log, "late:");
    display->RegisterNotifyEvent(late);
    EXPECT_EQ(log, (std::vector<std::string>{"late:size", "late:initialize", "late:surface-initialize", "late:restore"}));
    log.clear();
    display->UnRegisterNotifyEvent(late);
    EXPECT_EQ(log, (std::vector<std::string>{"late:surface-finalize", "late:finalize"}));
    log.clear();

    display.reset();
    EXPECT_EQ(log, (std::vector<std::string>{"b:surface-finalize", "a:surface-finalize", "OnFinalize", "b:finalize",
                                             "a:finalize", "b:destroying", "a:destroying"}));
}

TEST(TOffscreenDXDraw, LostSurfaceIsRestoredByCanDrawAndTheSizeIsKept)
{
    std::vector<std::string> log;
    TRecorder r(log, "");
    TOffscreenDXDraw display(TPixelFormat::XRGB8888(), 320, 200);
    EXPECT_FALSE(display.CanDraw());
    EXPECT_EQ(display.SurfaceWidth(), 320) << "the stored size while not initialised";
    display.Initialize();
    display.RegisterNotifyEvent(r);
    log.clear();
    display.Surface()->Fill(7);
    display.Surface()->MarkLost();
    EXPECT_TRUE(display.CanDraw());
    EXPECT_EQ(log, (std::vector<std::string>{"restore"}));
    EXPECT_EQ(display.Surface()->GetPixel(0, 0), 0u) << "restored surfaces are cleared";
    display.Flip();
    EXPECT_EQ(display.FlipCount(), 1);
    display.Finalize();
    EXPECT_EQ(display.Surface(), nullptr);
    EXPECT_EQ(display.SurfaceWidth(), 320);
    EXPECT_EQ(display.SurfaceHeight(), 200);
    display.Flip();
    EXPECT_EQ(display.FlipCount(), 1) << "nothing is presented while not initialised";
    display.UnRegisterNotifyEvent(r);
}

} // namespace
