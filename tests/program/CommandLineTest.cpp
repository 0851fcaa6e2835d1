// SPDX-License-Identifier: GPL-3.0-or-later
// The command line: what each option sets, and the mistakes that end the
// program with a usage message.
#include "CommandLine.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <vector>

namespace {

TCommandLine Parse(std::initializer_list<const char*> args)
{
    std::vector<const char*> argv{"zarvenok"};
    argv.insert(argv.end(), args);
    return ParseCommandLine(static_cast<int>(argv.size()), argv.data());
}

} // namespace

TEST(CommandLine, OptionsSetTheRun)
{
    const TCommandLine none = Parse({});
    EXPECT_EQ(none.Action, TCommandLine::TAction::Play);
    EXPECT_FALSE(none.FullScreen);
    EXPECT_EQ(none.Scale, 0);
    EXPECT_FALSE(none.Smooth);
    EXPECT_FALSE(none.MusicVolume);
    EXPECT_FALSE(none.SoundVolume);

    const TCommandLine all =
        Parse({"--fullscreen", "--scale", "3", "--smooth", "--music-volume", "0", "--sound-volume=100"});
    ASSERT_EQ(all.Action, TCommandLine::TAction::Play) << all.Error;
    EXPECT_EQ(all.FullScreen, true);
    EXPECT_EQ(all.Scale, 3);
    EXPECT_TRUE(all.Smooth);
    EXPECT_EQ(all.MusicVolume, 0);
    EXPECT_EQ(all.SoundVolume, 100);

    EXPECT_EQ(Parse({"--window", "--window"}).FullScreen, false);
    EXPECT_EQ(Parse({"--scale=10"}).Scale, 10);
    EXPECT_EQ(Parse({"--music-volume", "55", "--music-volume", "60"}).MusicVolume, 60);
    EXPECT_EQ(Parse({"--scale", "2", "--help"}).Action, TCommandLine::TAction::Help);
    EXPECT_EQ(Parse({"--version", "--bogus"}).Action, TCommandLine::TAction::Version);
}

TEST(CommandLine, MistakesAreUsageErrorsThatSayWhat)
{
    const struct {
        std::initializer_list<const char*> Args;
        const char* Error;
    } cases[] = {
        {{"--window", "--fullscreen"}, "--window and --fullscreen cannot both be given"},
        {{"--fullscreen", "--scale", "2", "--window"}, "--window and --fullscreen cannot both be given"},
        {{"--scale"}, "--scale needs a whole number from 1 to 10"},
        {{"--scale", "0"}, "--scale needs a whole number from 1 to 10, not '0'"},
        {{"--scale", "11"}, "--scale needs a whole number from 1 to 10, not '11'"},
        {{"--scale=two"}, "--scale needs a whole number from 1 to 10, not 'two'"},
        {{"--scale", "--smooth"}, "--scale needs a whole number from 1 to 10, not '--smooth'"},
        {{"--music-volume", "101"}, "--music-volume needs a whole number from 0 to 100, not '101'"},
        {{"--music-volume", "-1"}, "--music-volume needs a whole number from 0 to 100, not '-1'"},
        {{"--sound-volume="}, "--sound-volume needs a whole number from 0 to 100, not ''"},
        {{"--sound-volume", "5.5"}, "--sound-volume needs a whole number from 0 to 100, not '5.5'"},
        {{"--sound-volume", " 5"}, "--sound-volume needs a whole number from 0 to 100, not ' 5'"},
        {{"--scales=2"}, "unknown option '--scales=2'"},
        {{"-x"}, "unknown option '-x'"},
        {{"play"}, "unexpected argument 'play'"},
    };
    for (const auto& c : cases) {
        const TCommandLine line = Parse(c.Args);
        EXPECT_EQ(line.Action, TCommandLine::TAction::Usage) << c.Error;
        EXPECT_EQ(line.Error, c.Error);
    }
}
