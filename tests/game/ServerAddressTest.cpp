// SPDX-License-Identifier: GPL-3.0-or-later
// Which score server the game talks to: the environment, then the player's
// server.url, then the build's address; none when nothing usable is set. And
// an installed game reads server.url from the player's folder.
#include "GameFormFixture.h"
#include "ServerAddress.h"

#include <cstdlib>
#include <fstream>
#include <optional>

namespace {

class ServerAddress : public FormDirectory {};

TEST_F(ServerAddress, FirstUsableOfEnvironmentFileAndBuild)
{
    struct TCase {
        const char* Environment;
        std::optional<std::string> File;  // contents; nullopt: no file
        const char* BuiltIn;
        const char* Expected;
    };
    const std::string longLine = "http://" + std::string(5000, 'a') + ".example\n";
    const TCase cases[] = {
        // Nothing anywhere: no server, never localhost.
        {nullptr, std::nullopt, "", ""},
        {nullptr, std::nullopt, "http://built.example", "http://built.example"},
        {nullptr, "http://file.example\n", "http://built.example", "http://file.example"},
        {"http://env.example", "http://file.example\n", "http://built.example", "http://env.example"},
        // Only the first line counts; spaces, a CR and trailing "/" go.
        {nullptr, "  https://file.example:8443/scores//\r\nhttp://second.example\n", "", "https://file.example:8443/scores"},
        {"http://env.example/", std::nullopt, "", "http://env.example"},
        // Blank or unusable values count as unset and the next one is used.
        {"", "\n", "http://built.example", "http://built.example"},
        {"  ", "   \n", "", ""},
        {"scores.example", "ftp://file.example\n", "", ""},
        {"http://", "javascript:alert(1)\n", "http:///", ""},
        {"http://env.example", "", "", "http://env.example"},
        {nullptr, "http://file.example", "", "http://file.example"},  // no newline at the end
        {nullptr, longLine, "", ""},
        {nullptr, std::string("\0http://file.example\n", 21), "", ""},
    };
    for (const TCase& c : cases) {
        fs::remove("server.url");
        if (c.File) std::ofstream("server.url", std::ios::binary) << *c.File;
        EXPECT_EQ(ResolveServerAddress(c.Environment, Dir / "server.url", c.BuiltIn), c.Expected)
            << (c.Environment ? c.Environment : "(unset)") << " | " << (c.File ? c.File->substr(0, 60) : "(no file)")
            << " | " << c.BuiltIn;
    }
    // A folder where the file should be is no address either.
    fs::remove("server.url");
    fs::create_directory("server.url");
    EXPECT_EQ(ResolveServerAddress(nullptr, Dir / "server.url", ""), "");
}

TEST_F(ServerAddress, InstalledGameReadsThePlayersServerFile)
{
    // The environment of whoever runs the tests must not decide.
    const char* saved = std::getenv("ZARVENOK_SERVER");
    const std::optional<std::string> previous = saved ? std::optional<std::string>(saved) : std::nullopt;
    unsetenv("ZARVENOK_SERVER");

    const fs::path user = Dir / "home/.local/share/zarvenok";
    fs::create_directories(user);
    std::ofstream(user / "server.url") << "http://scores.example.org/\n";
    // One in the working directory is not the installed game's.
    std::ofstream("server.url") << "http://elsewhere.example\n";
    Form = std::make_unique<TMainForm>(Platform);
    Form->Folders = {ZARVENOK_DATA_DIR, user};
    Form->Start();
    Form->OpenHomePage();
    Form->OpenOnlineTable();
    EXPECT_EQ(Platform.Shell().Opened(),
              (std::vector<std::string>{"http://scores.example.org/",
                                        "http://scores.example.org/cgi/version.pl?prg=Zarvenok&show&type=0"}));
    EXPECT_TRUE(Platform.MessageBox().Messages().empty());

    if (previous) setenv("ZARVENOK_SERVER", previous->c_str(), 1);
}

} // namespace
