// SPDX-License-Identifier: GPL-3.0-or-later
// The simulator's answers outside the happy path: usage and state errors
// with their exit status and line, expects that fail, the game's own
// errors, and what still works after the program has ended. The scenario
// scripts cover the successful runs.
#include "Simulator.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <string>

namespace {

namespace fs = std::filesystem;

struct TOutcome {
    int Status;
    std::string Out;
    std::string Err;
};

// Runs each script in a fresh working directory, as the scenarios do; the
// game writes its Config.cfg there.
class SimulatorScript : public ::testing::Test {
protected:
    void SetUp() override
    {
        const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
        Work_ = fs::path(ZARVENOK_SIM_WORK_DIR) / test->name();
        fs::remove_all(Work_);
        fs::create_directories(Work_);
        Home_ = fs::current_path();
        fs::current_path(Work_);
    }

    void TearDown() override { fs::current_path(Home_); }

    static void LinkData()
    {
        for (const char* dir : {"Data", "Music"}) fs::create_directory_symlink(fs::path(ZARVENOK_DATA_DIR) / dir, dir);
    }

    static TOutcome Run(const std::string& script)
    {
        std::istringstream in(script);
        std::ostringstream out, err;
        TSimulator simulator;
        const int status = simulator.Run(in, out, err);
        return {status, out.str(), err.str()};
    }

private:
    fs::path Work_, Home_;
};

struct TCase {
    const char* Script;
    int Status;
    const char* Err;
    const char* Out = "";
};

void Check(const std::string& script, const TCase& c, const TOutcome& got)
{
    EXPECT_EQ(got.Status, c.Status) << script;
    EXPECT_EQ(got.Err, c.Err) << script;
    EXPECT_EQ(got.Out, c.Out) << script;
}

TEST_F(SimulatorScript, AnswersBeforeTheProgramStarts)
{
    LinkData();
    const TCase cases[] = {
        {"print Exited\nexpect Exited false\n", 0, "", "Exited=false\n"},
        {"# only a comment\n\n   \nprint\n", 2, "line 4: usage: print NAME...\n"},
        {"print GameState\n", 2, "line 1: unknown value \"GameState\"\n"},
        {"expect\n", 2, "line 1: usage: expect NAME VALUE\n"},
        {"expect Exited true\n", 1, "line 1: expected Exited=true, found Exited=false\n"},
        {"modes 800x600x16 800x600\n", 2, "line 1: bad mode \"800x600\" (WxHxB)\n"},
        {"modes\nsounds now\n", 2, "line 2: usage: sounds\n"},
        {"order x\n", 2, "line 1: usage: order N\n"},
        {"http\n", 2, "line 1: usage: http ok BODY|fail|hang|real\n"},
        {"http maybe\n", 2, "line 1: usage: http ok BODY|fail|hang|real\n"},
        {"requests 1\n", 2, "line 1: usage: requests\n"},
        {"start 1 2\n", 2, "line 1: usage: start [MS]\n"},
        {"sprites\n", 2, "line 1: the program has not been started\n"},
        {"set GameState x\n", 2, "line 1: the program has not been started\n"},
        {"wait 10\n", 2, "line 1: the program has not been started\n"},
        {"activate\n", 2, "line 1: the program has not been started\n"},
        {"spawn TPauseWord\n", 2, "line 1: the program has not been started\n"},
        {"bogus\n", 2, "line 1: unknown command \"bogus\"\n"},
    };
    for (const TCase& c : cases) Check(c.Script, c, Run(c.Script));
}

TEST_F(SimulatorScript, ChecksArgumentsOfTheRunningProgram)
{
    LinkData();
    const TCase cases[] = {
        {"start\nstart\n", 2, "line 2: the program was started already\n"},
        {"start\nprint GameState HelpPage\nexpect GameState 3\n", 1,
         "line 3: expected GameState=3, found GameState=2\n", "GameState=2\nHelpPage=1\n"},
        {"start\nsprites a b\n", 2, "line 2: usage: sprites [CLASS]\n"},
        {"start\nsprites Nope\n", 2, "line 2: unknown class \"Nope\"\n"},
        {"start\ninspect\n", 2, "line 2: usage: inspect INDEX\n"},
        {"start\ninspect 99\n", 2, "line 2: no sprite at index 99\n"},
        {"start\nscreenshot\n", 2, "line 2: usage: screenshot FILE\n"},
        {"start\nscreenshot shot.png\n", 2, "line 2: no frame has been presented yet\n"},
        {"start\nset GameState\n", 2, "line 2: usage: set NAME VALUE\n"},
        {"start\nset Caption x\n", 2, "line 2: \"Caption\" can only be read\n"},
        {"start\nset GameSound maybe\n", 2, "line 2: \"maybe\" is not a value for GameSound\n"},
        {"start\nwait\n", 2, "line 2: usage: wait MS\n"},
        {"start\nframes -1\n", 2, "line 2: usage: frames N\n"},
        {"start\nmove 1\n", 2, "line 2: usage: move X Y\n"},
        {"start\npress up 1 2\n", 2, "line 2: usage: press left|right|middle X Y\n"},
        {"start\nclick left 1 2 3\n", 2, "line 2: usage: click left|right|middle X Y\n"},
        {"start\nrelease left x 2\n", 2, "line 2: usage: release left|right|middle X Y\n"},
        {"start\nkey F1\n", 2, "line 2: usage: key NAME [alt]\n"},
        {"start\nkey Esc ctrl\n", 2, "line 2: usage: key NAME [alt]\n"},
        {"start\ntype\n", 2, "line 2: usage: type TEXT\n"},
        {"start\ntype ab!\n", 2, "line 2: no key types \"!\"\n"},
        {"start\nactivate now\n", 2, "line 2: usage: activate\n"},
        {"start\nspawn\n", 2, "line 2: usage: spawn CLASS ARGS...\n"},
        {"start\nspawn Nope\n", 2, "line 2: no class \"Nope\" to spawn\n"},
        {"start\nspawn TPauseWord now\n", 2, "line 2: usage: spawn TPauseWord (wrong number of arguments)\n"},
        {"start\nbogus\n", 2, "line 2: unknown command \"bogus\"\n"},
        // The game's own errors end the run as a bad command.
        {"start\nspawn TMestnost nope 1 2 3\n", 2, "line 2: Image 'nope' not found\n"},
    };
    for (const TCase& c : cases) Check(c.Script, c, Run(c.Script));
}

// After the exit scene's Yes: values and sprites can still be read, but
// nothing more happens to the program.
TEST_F(SimulatorScript, AfterTheEndOnlyReadingWorks)
{
    LinkData();
    const std::string ended = "start\nkey Esc\nmove 300 380\nclick left 300 380\n";
    const TCase cases[] = {
        {"print Exited\nsprites TMenuGame\nset Score 5\nprint Score\n", 0, "",
         "Exited=true\n2 ExitGame_Yes ExitGame_Yes 0 248 353 1 101 61 true false\nScore=5\n"},
        {"wait 1\n", 2, "line 5: the program has ended\n"},
        {"frames 1\n", 2, "line 5: the program has ended\n"},
        {"key Esc\n", 2, "line 5: the program has ended\n"},
        {"type a\n", 2, "line 5: the program has ended\n"},
        {"close\n", 2, "line 5: the program has ended\n"},
        {"restore\n", 2, "line 5: the program has ended\n"},
        {"spawn TPauseWord\n", 2, "line 5: the program has ended\n"},
        {"start\n", 2, "line 5: the program was started already\n"},
    };
    for (const TCase& c : cases) Check(ended + c.Script, c, Run(ended + c.Script));
}

TEST_F(SimulatorScript, AFailedStartEndsTheProgram)
{
    // No Data/ here: the game reports the missing library and stops.
    const std::string failed = "start\nprint Exited\n";
    const std::string error = "error: Cannot open file \"Data/Graphic.dxg\". No such file or directory\nExited=true\n";
    const TCase cases[] = {
        {"wait 1\n", 2, "line 3: the program has ended\n", error.c_str()},
        // An unknown class is an error even with no sprite to test it on.
        {"sprites Nope\n", 2, "line 3: unknown class \"Nope\"\n", error.c_str()},
    };
    for (const TCase& c : cases) Check(failed + c.Script, c, Run(failed + c.Script));
}

} // namespace
