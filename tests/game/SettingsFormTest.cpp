// SPDX-License-Identifier: GPL-3.0-or-later
// The settings file as the game meets it: one it cannot read is never
// written over, and a save that fails is told to the player once.
#include "GameFormFixture.h"

#include <fstream>

namespace {

using Settings = FormDirectory;

TEST_F(Settings, FileThatCannotBeReadIsLeftAloneForTheRun)
{
    // Something that is there but cannot be read: the player's table may
    // be in it.
    fs::create_directory("Config.cfg");
    std::ofstream(fs::path("Config.cfg") / "keep") << "scores";
    StartForm();
    EXPECT_EQ(Form->GameState, 2);
    EXPECT_EQ(Form->HighScores, DefaultHighScores);
    ASSERT_EQ(Platform.MessageBox().Messages().size(), 1u);
    EXPECT_NE(Platform.MessageBox().Messages()[0].Text.find("Config.cfg"), std::string::npos);
    // Every save point passes without touching it.
    Form->GoToState(5);
    Form->GoToState(2);
    Form->GoToState(7);
    Form->GoToState(2);
    EXPECT_TRUE(fs::is_directory("Config.cfg"));
    EXPECT_TRUE(fs::exists(fs::path("Config.cfg") / "keep"));
    EXPECT_FALSE(fs::exists("Config.cfg.tmp"));
    EXPECT_EQ(Platform.MessageBox().Messages().size(), 1u);
}

TEST_F(Settings, FailedSavesAreToldOnceAndTheGameGoesOn)
{
    StartForm();
    ASSERT_TRUE(fs::exists("Config.cfg"));
    EXPECT_TRUE(Platform.MessageBox().Messages().empty());
    // A read-only file is refused, not replaced.
    fs::permissions("Config.cfg", fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    const auto before = fs::last_write_time("Config.cfg");
    Form->Edit1 = "CHANGED";
    Form->GoToState(5);
    Form->GoToState(2);
    Form->GoToState(6);
    Form->GoToState(2);
    ASSERT_EQ(Platform.MessageBox().Messages().size(), 1u);
    EXPECT_NE(Platform.MessageBox().Messages()[0].Text.find("not kept"), std::string::npos);
    EXPECT_EQ(fs::last_write_time("Config.cfg"), before);
    EXPECT_EQ(Form->GameState, 2);
}

} // namespace
