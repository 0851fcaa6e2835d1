// SPDX-License-Identifier: GPL-3.0-or-later
// Where the game's files are: the lookup between a build folder and an
// installed layout, the player's own settings folder, the full-screen choice
// given for one run, and the pointer kept in a full-screen game.
#include "GameFolders.h"
#include "GameFormFixture.h"
#include "SettingsFile.h"

#include <fstream>

namespace {

TEST(UserDataFolder, FollowsTheBaseDirectoryRules)
{
    struct TCase {
        const char* Xdg;
        const char* Home;
        const char* Expected;
    };
    const TCase cases[] = {
        {"/x/data", "/home/a", "/x/data/zarvenok"},
        {nullptr, "/home/a", "/home/a/.local/share/zarvenok"},
        {"", "/home/a", "/home/a/.local/share/zarvenok"},
        // A relative value would follow the working directory: ignored.
        {"data", "/home/a", "/home/a/.local/share/zarvenok"},
        {nullptr, nullptr, ""},
        {nullptr, "relative", ""},
    };
    for (const TCase& c : cases)
        EXPECT_EQ(UserDataFolder(c.Xdg, c.Home), fs::path(c.Expected))
            << (c.Xdg ? c.Xdg : "(unset)") << " " << (c.Home ? c.Home : "(unset)");
}

class Folders : public FormDirectory {};

TEST_F(Folders, BuildFolderFirstThenTheInstalledLayout)
{
    const fs::path user = Dir / "user";
    fs::create_directories("build/Data");
    fs::create_directories("prefix/bin");
    fs::create_directories("prefix/share/zarvenok/Data");
    const fs::path installed = Dir / "prefix/share/zarvenok";

    // Data/ beside the program: the build folder, settings where they are today.
    TGameFolders found = LocateGameFolders(Dir / "build", installed, user);
    EXPECT_EQ(found.Data, Dir / "build");
    EXPECT_TRUE(found.Settings.empty());

    found = LocateGameFolders(Dir / "prefix/bin", installed, user);
    EXPECT_EQ(found.Data, installed);
    EXPECT_EQ(found.Settings, user);

    // An installed layout that lost its libraries still counts as one, so
    // the library's error names the installed path.
    fs::remove_all("prefix/share/zarvenok/Data");
    found = LocateGameFolders(Dir / "prefix/bin", installed, user);
    EXPECT_EQ(found.Data, installed);

    // Neither: the program's own folder, as a build folder.
    fs::remove_all("prefix/share");
    found = LocateGameFolders(Dir / "prefix/bin", installed, user);
    EXPECT_EQ(found.Data, Dir / "prefix/bin");
    EXPECT_TRUE(found.Settings.empty());
}

TEST_F(Folders, InstalledGameKeepsItsSettingsInThePlayersFolder)
{
    // A working directory without the libraries, as a desktop starts the game.
    fs::remove("Data");
    fs::remove("Music");
    fs::create_directory("home");
    std::ofstream("home/play.url") << "[InternetShortcut]\n";
    Form = std::make_unique<TMainForm>(Platform);
    Form->Folders = {ZARVENOK_DATA_DIR, Dir / "home/.local/share/zarvenok"};
    Form->Start();
    EXPECT_EQ(Form->GameState, 2);
    EXPECT_EQ(Form->Music.SongTrack, "1");
    EXPECT_TRUE(fs::is_regular_file("home/.local/share/zarvenok/Config.cfg"));
    EXPECT_FALSE(fs::exists("Config.cfg"));
    EXPECT_TRUE(Platform.MessageBox().Messages().empty());

    // A second player's folder is a table of its own.
    Form->HighScores[0].Name = "FIRST";
    Form->GoToState(6);
    Form->GoToState(2);
    Form.reset();
    Form = std::make_unique<TMainForm>(Platform);
    Form->Folders = {ZARVENOK_DATA_DIR, Dir / "other"};
    Form->Start();
    EXPECT_EQ(Form->HighScores, DefaultHighScores);
    Form.reset();
    Form = std::make_unique<TMainForm>(Platform);
    Form->Folders = {ZARVENOK_DATA_DIR, Dir / "home/.local/share/zarvenok"};
    Form->Start();
    EXPECT_EQ(Form->HighScores[0].Name, "FIRST");

    // "play.url" is looked for in the same folder, not the working directory.
    Form->AfterLoop();
    EXPECT_TRUE(Platform.Shell().Opened().empty());
    fs::rename("home/play.url", "home/.local/share/zarvenok/play.url");
    Form->AfterLoop();
    ASSERT_EQ(Platform.Shell().Opened().size(), 1u);
    EXPECT_EQ(fs::path(Platform.Shell().Opened()[0]), Dir / "home/.local/share/zarvenok/play.url");
}

TEST_F(Folders, SettingsFolderThatCannotBeMadeIsToldOnce)
{
    // A file where a folder should be, and a link to nowhere: neither is
    // replaced, the player hears of it once, and the game goes on.
    std::ofstream("blocked") << "not a folder";
    fs::create_directory_symlink(Dir / "nowhere", Dir / "dangling");
    for (const char* folder : {"blocked/zarvenok", "dangling/zarvenok"}) {
        SCOPED_TRACE(folder);
        Platform.MessageBox().Clear();
        Form = std::make_unique<TMainForm>(Platform);
        Form->Folders = {ZARVENOK_DATA_DIR, Dir / folder};
        Form->Start();
        Form->GoToState(5);
        Form->GoToState(2);
        EXPECT_EQ(Form->GameState, 2);
        ASSERT_EQ(Platform.MessageBox().Messages().size(), 1u);
        EXPECT_NE(Platform.MessageBox().Messages()[0].Text.find(folder), std::string::npos);
        Form.reset();
    }
    std::ifstream in("blocked");
    std::string text;
    std::getline(in, text);
    EXPECT_EQ(text, "not a folder");
    EXPECT_TRUE(fs::is_symlink("dangling"));
    EXPECT_FALSE(fs::exists("nowhere"));
}

// The stored choice and the one given for this run, and what is stored after.
TEST_F(Folders, FullScreenForOneRunLeavesTheStoredChoice)
{
    struct TCase {
        bool Stored;
        bool ForRun;
    };
    for (const TCase c : {TCase{true, false}, TCase{false, true}}) {
        TStoredSettings stored;
        stored.FullScreen = c.Stored;
        std::string error;
        ASSERT_TRUE(SaveSettingsFile("Config.cfg", stored, error)) << error;
        Form = std::make_unique<TMainForm>(Platform);
        Form->FullScreenForRun = c.ForRun;
        Form->Start();
        EXPECT_EQ(Form->GameFullScreen, c.ForRun);
        // Every save point keeps what the player chose before.
        Form->GoToState(5);
        Form->GoToState(2);
        TStoredSettings read;
        ASSERT_EQ(LoadSettingsFile("Config.cfg", TStoredSettings{}, read, error), TSettingsLoad::Loaded);
        EXPECT_EQ(read.FullScreen, c.Stored);
        // A switch in the game is the player's choice, kept from then on,
        // even when switched back to the mode of the run.
        Form->GameFullScreenClick();
        Form->GameFullScreenClick();
        Form->GoToState(5);
        Form->GoToState(2);
        ASSERT_EQ(LoadSettingsFile("Config.cfg", TStoredSettings{}, read, error), TSettingsLoad::Loaded);
        EXPECT_EQ(read.FullScreen, c.ForRun);
        Form.reset();
    }
}

TEST_F(Folders, FullScreenForOneRunWithoutAFile)
{
    Form = std::make_unique<TMainForm>(Platform);
    Form->FullScreenForRun = true;
    Form->Start();
    EXPECT_TRUE(Form->GameFullScreen);
    std::string error;
    TStoredSettings read;
    ASSERT_EQ(LoadSettingsFile("Config.cfg", TStoredSettings{}, read, error), TSettingsLoad::Loaded);
    EXPECT_FALSE(read.FullScreen);
}

TEST_F(Folders, PointerStaysInAFullScreenGameUntilPausedOrLeft)
{
    StartForm();
    TInputEvent activate;
    activate.Kind = TInputEvent::TKind::Activate;
    Form->HandleEvent(activate);
    EXPECT_FALSE(Platform.Video().PointerGrabbed());

    Form->GameFullScreenClick();
    Form->RunDue();
    EXPECT_TRUE(Platform.Video().PointerGrabbed());

    Form->GoToState(3);
    Form->Timer1Timer();
    Form->RunDue();
    EXPECT_TRUE(Platform.Video().PointerGrabbed());
    // The pause key gives it back, and taking up the game again takes it.
    TInputEvent pause;
    pause.Kind = TInputEvent::TKind::KeyDown;
    pause.Key = 'P';
    Form->HandleEvent(pause);
    ASSERT_TRUE(Form->GamePause);
    EXPECT_FALSE(Platform.Video().PointerGrabbed());
    Form->HandleEvent(pause);
    ASSERT_FALSE(Form->GamePause);
    EXPECT_TRUE(Platform.Video().PointerGrabbed());

    // Losing the focus pauses the game and lets the pointer go.
    TInputEvent deactivate;
    deactivate.Kind = TInputEvent::TKind::Deactivate;
    Form->HandleEvent(deactivate);
    EXPECT_FALSE(Platform.Video().PointerGrabbed());
    Form->HandleEvent(activate);
    EXPECT_TRUE(Platform.Video().PointerGrabbed());

    // Back in a window it is free.
    Form->GameFullScreenClick();
    Form->RunDue();
    EXPECT_FALSE(Platform.Video().PointerGrabbed());
}

} // namespace
