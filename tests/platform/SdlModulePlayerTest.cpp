// SPDX-License-Identifier: GPL-3.0-or-later
// Music modules through libxmp and the mixer's music hook: loading, the
// order position while playing, one module at a time, freeing.
#include "SdlAudioDevice.h"
#include "SdlModulePlayer.h"
#include "SdlTestSupport.h"

#include <filesystem>
#include <fstream>

namespace {

// A silent extended module of three orders, each an empty pattern of 8
// rows at speed 1 and 255 beats a minute: about 80 ms an order.
std::vector<uint8_t> TinyModule()
{
    std::vector<uint8_t> m;
    const auto text = [&](const std::string& s, size_t size) {
        for (size_t i = 0; i < size; ++i) m.push_back(i < s.size() ? static_cast<uint8_t>(s[i]) : 0);
    };
    const auto u16 = [&](uint16_t v) {
        m.push_back(static_cast<uint8_t>(v));
        m.push_back(static_cast<uint8_t>(v >> 8));
    };
    const auto u32 = [&](uint32_t v) {
        u16(static_cast<uint16_t>(v));
        u16(static_cast<uint16_t>(v >> 16));
    };
    text("Extended Module: ", 17);
    text("test", 20);
    m.push_back(0x1A);
    text("zarvenok tests", 20);
    u16(0x0104);
    u32(276);  // header size from here
    u16(3);    // orders
    u16(0);    // restart position
    u16(2);    // channels
    u16(3);    // patterns
    u16(0);    // instruments
    u16(1);    // linear frequencies
    u16(1);    // speed
    u16(255);  // tempo
    for (int i = 0; i < 256; ++i) m.push_back(static_cast<uint8_t>(i < 3 ? i : 0));
    for (int p = 0; p < 3; ++p) {
        u32(9);  // pattern header size
        m.push_back(0);
        u16(8);  // rows
        u16(0);  // no data: every row empty
    }
    return m;
}

class SdlMusicTest : public SdlPlatformTest {
protected:
    void SetUp() override
    {
        SdlPlatformTest::SetUp();
        Directory = std::filesystem::temp_directory_path() /
                    ("zarvenok-music-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "-" +
                     std::to_string(SDL_GetTicks()));
        std::filesystem::create_directories(Directory);
    }
    void TearDown() override
    {
        SdlPlatformTest::TearDown();
        std::filesystem::remove_all(Directory);
    }
    std::string Write(const std::string& name, const std::vector<uint8_t>& bytes)
    {
        const std::filesystem::path path = Directory / name;
        std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                   static_cast<std::streamsize>(bytes.size()));
        return path.string();
    }
    TSdlModulePlayer& Music() { return Platform->SdlMusic(); }

    std::filesystem::path Directory;
};

} // namespace

TEST_F(SdlMusicTest, FilesThatAreNoModulesGiveNoHandle)
{
    EXPECT_EQ(Music().SongLoadFromFile((Directory / "absent.xm").string()), 0);
    EXPECT_EQ(Music().SongLoadFromFile(Write("text.xm", {'n', 'o', 't', ' ', 'm', 'u', 's', 'i', 'c'})), 0);
    std::vector<uint8_t> cut = TinyModule();
    cut.resize(100);
    EXPECT_EQ(Music().SongLoadFromFile(Write("cut.xm", cut)), 0);
    // Operations on handles that do not exist do nothing.
    Music().SongPlay(0);
    Music().SongPlay(12345);
    Music().SongFree(12345);
    EXPECT_EQ(Music().SongGetOrder(12345), 0);
    EXPECT_EQ(Music().Playing(), 0);
}

TEST_F(SdlMusicTest, OrderPositionMovesWhilePlayingAndOneModulePlaysAtATime)
{
    ASSERT_TRUE(Platform->Audio().Open());
    const std::string path = Write("tiny.xm", TinyModule());
    const int32_t first = Music().SongLoadFromFile(path);
    const int32_t second = Music().SongLoadFromFile(path);
    ASSERT_NE(first, 0);
    ASSERT_NE(second, 0);
    ASSERT_NE(first, second);
    EXPECT_EQ(Music().SongGetOrder(first), 0);

    Music().SongPlay(first);
    EXPECT_EQ(Music().Playing(), first);
    int32_t order = 0;
    ASSERT_TRUE(WaitFor([&] { return (order = Music().SongGetOrder(first)) != 0; }));
    EXPECT_GE(order, 1);
    EXPECT_LE(order, 2);
    // The module loops: it comes back to its first order.
    ASSERT_TRUE(WaitFor([&] { return Music().SongGetOrder(first) == 0; }));

    Music().SongPlay(second);
    EXPECT_EQ(Music().Playing(), second);
    EXPECT_EQ(Music().SongGetOrder(first), 0);
    Music().SongFree(second);
    EXPECT_EQ(Music().Playing(), 0);
    EXPECT_EQ(Music().SongGetOrder(second), 0);
    // A freed handle is gone; the other one still plays when asked.
    Music().SongPlay(second);
    EXPECT_EQ(Music().Playing(), 0);
    Music().SongPlay(first);
    EXPECT_EQ(Music().Playing(), first);
    Music().SongFree(first);
    EXPECT_EQ(Music().Playing(), 0);
}

TEST_F(SdlMusicTest, WithoutASoundDeviceModulesLoadButStaySilent)
{
    const int32_t handle = Music().SongLoadFromFile(Write("tiny.xm", TinyModule()));
    ASSERT_NE(handle, 0);
    Music().SongPlay(handle);
    EXPECT_EQ(Music().Playing(), 0);
    EXPECT_EQ(Music().SongGetOrder(handle), 0);
    Music().SongFree(handle);
}

TEST_F(SdlMusicTest, ClosingTheDeviceStopsTheModule)
{
    ASSERT_TRUE(Platform->Audio().Open());
    const int32_t handle = Music().SongLoadFromFile(Write("tiny.xm", TinyModule()));
    Music().SongPlay(handle);
    ASSERT_EQ(Music().Playing(), handle);
    Platform->Audio().Close();
    EXPECT_EQ(Music().Playing(), 0);
    EXPECT_EQ(Music().SongGetOrder(handle), 0);
}

TEST_F(SdlMusicTest, TheBuildsFirstTrackPlays)
{
    if (!std::filesystem::exists(ZARVENOK_BUILT_TRACK)) GTEST_SKIP() << "no " << ZARVENOK_BUILT_TRACK << " in this build";
    ASSERT_TRUE(Platform->Audio().Open());
    const int32_t handle = Music().SongLoadFromFile(ZARVENOK_BUILT_TRACK);
    ASSERT_NE(handle, 0);
    Music().SongPlay(handle);
    EXPECT_EQ(Music().Playing(), handle);
    EXPECT_GE(Music().SongGetOrder(handle), 0);
    Music().SongFree(handle);
}
