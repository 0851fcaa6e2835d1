// SPDX-License-Identifier: GPL-3.0-or-later
// "Config.cfg": the exact text written, reading it back, short and damaged
// files, and the replace-by-rename write.
#include "SettingsFile.h"
#include "Printers.h"
#include "TextEncoding.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <sys/stat.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

std::vector<std::string> SplitCrLf(const std::string& text)
{
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2)
        lines.push_back(text.substr(start, end - start));
    EXPECT_EQ(start, text.size()) << "text after the last line end";
    return lines;
}

std::string JoinCrLf(const std::vector<std::string>& lines)
{
    std::string text;
    for (const auto& line : lines)
        text += line + "\r\n";
    return text;
}

TStoredSettings Load(const std::string& text, const TStoredSettings& defaults = {})
{
    std::istringstream in(text);
    return LoadSettings(in, defaults);
}

TStoredSettings Unusual()
{
    TStoredSettings s;
    s.FullScreen = true;
    s.Music = false;
    s.Sound = false;
    s.AddText = "HELLO";
    s.PlayerName = "BOB";
    s.HighScores[0] = {"ABCDEFGHIJ", INT32_MAX};
    s.HighScores[1] = {"X", 77};
    s.HighScores[4] = {"SIX", 0};
    s.HighScores[9] = {"LAST", INT32_MIN};
    return s;
}

TEST(SettingsFile, WritesTwentyFiveEncodedLines)
{
    TStoredSettings s;
    s.PlayerName = "BOB";
    s.HighScores[3].Score = -15;
    const auto lines = SplitCrLf(SaveSettings(s));
    ASSERT_EQ(lines.size(), 25U);
    EXPECT_EQ(lines[0], "N3SY265F"); // full screen off: "false"
    EXPECT_EQ(lines[1], "B4HE7MF");  // music on: "true", unpadded
    EXPECT_EQ(lines[2], "B4HE7MF");
    EXPECT_EQ(lines[3], "");         // an empty text stays empty
    EXPECT_EQ(lines[4], EncodeLine("BOB%%"));
    EXPECT_EQ(lines[5], EncodeLine("Anonymous%"));
    EXPECT_EQ(lines[6], EncodeLine("3000%"));
    EXPECT_EQ(lines[12], EncodeLine("-15%%"));
    EXPECT_EQ(lines[24], EncodeLine("100%%"));
}

TEST(SettingsFile, LoadRestoresWhatWasSaved)
{
    TStoredSettings defaultsButWindowed; // a stored "false" leaves the flag as it was
    for (const TStoredSettings& saved : {Unusual(), TStoredSettings{}}) {
        const std::string text = SaveSettings(saved);
        EXPECT_EQ(Load(text, defaultsButWindowed), saved);
        // A file whose lines end in LF alone reads the same.
        std::string lf = text;
        for (std::size_t at; (at = lf.find('\r')) != std::string::npos;)
            lf.erase(at, 1);
        EXPECT_EQ(Load(lf, defaultsButWindowed), saved);
    }
}

TEST(SettingsFile, ShortFilesKeepDefaultsAndTurnFullScreenOn)
{
    TStoredSettings defaults;
    defaults.AddText = "OLD";
    defaults.PlayerName = "OLDNAME";
    defaults.HighScores[2] = {"KEPT", 1234};
    const std::vector<std::string> saved = SplitCrLf(SaveSettings(Unusual()));

    for (std::size_t count : {0U, 1U, 3U, 5U, 6U}) {
        SCOPED_TRACE(count);
        const std::vector<std::string> kept(saved.begin(), saved.begin() + count);
        const TStoredSettings got = Load(JoinCrLf(kept), defaults);
        EXPECT_TRUE(got.FullScreen);
        EXPECT_EQ(got.Music, count < 2);
        EXPECT_EQ(got.AddText, count >= 4 ? "HELLO" : "");
        EXPECT_EQ(got.PlayerName, count >= 5 ? "BOB" : "");
        EXPECT_EQ(got.HighScores[0].Name, count >= 6 ? "ABCDEFGHIJ" : "Anonymous");
        EXPECT_EQ(got.HighScores[0].Score, 3000);
        EXPECT_EQ(got.HighScores[2], defaults.HighScores[2]);
    }
}

TEST(SettingsFile, DamagedPlaceLinesKeepThePlaceDefault)
{
    // Line 10 holds the name of place 3, line 11 its score.
    struct Case {
        std::string line;
        bool isName;
        TLocal_HighScores expected;
    };
    const TLocal_HighScores def = DefaultHighScores[2];
    const Case cases[] = {
        {"", true, def},
        {EncodeLine("%%%%%"), true, {"", def.Score}}, // only padding: a stored empty name
        {"!!--", true, def},                           // nothing in the alphabet
        {EncodeLine("-2147483648%%%%"), false, {def.Name, INT32_MIN}},
        {EncodeLine("42"), false, def},           // unpadded: decodes with a leading byte 0
        {EncodeLine("12x%%"), false, def},
        {EncodeLine("+5%%%"), false, def},
        {EncodeLine(" 5%%%"), false, def},
        {EncodeLine("-%%%%"), false, def},
        {EncodeLine("%%%%%"), false, def},
        {EncodeLine("2147483648"), false, def},   // one past the 32-bit range
        {EncodeLine("-2147483649%%%%"), false, def},
        {EncodeLine("99999999999999999999"), false, def},
    };
    const std::vector<std::string> saved = SplitCrLf(SaveSettings(TStoredSettings{}));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        std::vector<std::string> lines = saved;
        lines[c.isName ? 9 : 10] = c.line;
        const TStoredSettings got = Load(JoinCrLf(lines));
        EXPECT_EQ(got.HighScores[2], c.expected);
        EXPECT_EQ(got.HighScores[3], DefaultHighScores[3]);
    }
}

TEST(SettingsFile, EmptyNameIsWrittenEmptyAndReadsBackAsTheDefault)
{
    TStoredSettings s;
    s.HighScores[6] = {"", 999};
    const std::string text = SaveSettings(s);
    EXPECT_EQ(SplitCrLf(text)[17], "");
    const TStoredSettings got = Load(text);
    EXPECT_EQ(got.HighScores[6].Name, "Anonymous");
    EXPECT_EQ(got.HighScores[6].Score, 999);
}

TEST(SettingsFile, OverlongLineReadsEmptyAndTheRestStillReads)
{
    std::vector<std::string> lines = SplitCrLf(SaveSettings(Unusual()));
    lines[3] = std::string(100000, 'Q');
    const TStoredSettings got = Load(JoinCrLf(lines));
    EXPECT_EQ(got.AddText, "");
    EXPECT_EQ(got.PlayerName, "BOB");
    EXPECT_EQ(got.HighScores, Unusual().HighScores);
}

class SettingsFileOnDisk : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::string pattern = (fs::temp_directory_path() / "zarvenok-scores-XXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        dir_ = pattern;
        config_ = (dir_ / "Config.cfg").string();
    }
    void TearDown() override
    {
        std::error_code ec;
        fs::permissions(dir_, fs::perms::owner_all, fs::perm_options::add, ec);
        fs::remove_all(dir_, ec);
    }

    static std::string Contents(const std::string& path)
    {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }

    // The directory holds exactly these names afterwards.
    std::vector<std::string> Names() const
    {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(dir_))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

    fs::path dir_;
    std::string config_;
};

// Loads the file, expecting it to be readable.
TStoredSettings LoadFromDisk(const std::string& path)
{
    TStoredSettings settings;
    std::string error;
    EXPECT_EQ(LoadSettingsFile(path, {}, settings, error), TSettingsLoad::Loaded) << error;
    return settings;
}

TEST_F(SettingsFileOnDisk, MissingAndUnreadableFilesAreTold)
{
    TStoredSettings settings = Unusual();
    std::string error;
    EXPECT_EQ(LoadSettingsFile(config_, {}, settings, error), TSettingsLoad::Absent);
    EXPECT_EQ(settings, Unusual());
    // A link to nowhere is a missing file too.
    fs::create_symlink(dir_ / "nowhere.cfg", config_);
    EXPECT_EQ(LoadSettingsFile(config_, {}, settings, error), TSettingsLoad::Absent);
    fs::remove(config_);
    // Something that cannot be read is there, and must be kept safe.
    fs::create_directory(config_);
    EXPECT_EQ(LoadSettingsFile(config_, {}, settings, error), TSettingsLoad::Unreadable);
    EXPECT_NE(error.find("Config.cfg"), std::string::npos) << error;
    EXPECT_EQ(settings, Unusual());
}

TEST_F(SettingsFileOnDisk, SaveWritesThroughALinkAndKeepsPermissions)
{
    std::string error;
    fs::create_directory(dir_ / "real");
    const fs::path real = dir_ / "real" / "settings.cfg";
    ASSERT_TRUE(SaveSettingsFile(real.string(), TStoredSettings{}, error)) << error;
    fs::permissions(real, fs::perms::owner_read | fs::perms::owner_write);
    fs::create_symlink(real, config_);
    ASSERT_TRUE(SaveSettingsFile(config_, Unusual(), error)) << error;
    EXPECT_TRUE(fs::is_symlink(config_));
    EXPECT_EQ(Contents(real.string()), SaveSettings(Unusual()));
    EXPECT_EQ(fs::status(real).permissions() & fs::perms::all, fs::perms::owner_read | fs::perms::owner_write);
    EXPECT_EQ(Names(), (std::vector<std::string>{"Config.cfg", "real"}));

    // A read-only file is refused, not replaced.
    fs::permissions(real, fs::perms::owner_read | fs::perms::group_read);
    EXPECT_FALSE(SaveSettingsFile(config_, TStoredSettings{}, error));
    EXPECT_NE(error.find("settings.cfg"), std::string::npos) << error;
    EXPECT_EQ(Contents(real.string()), SaveSettings(Unusual()));
    EXPECT_EQ(fs::status(real).permissions() & fs::perms::all, fs::perms::owner_read | fs::perms::group_read);
}

TEST_F(SettingsFileOnDisk, SaveReplacesTheFileAndLeavesNoTemporary)
{
    std::string error = "stale";
    ASSERT_TRUE(SaveSettingsFile(config_, TStoredSettings{}, error)) << error;
    ASSERT_TRUE(SaveSettingsFile(config_, Unusual(), error)) << error;
    EXPECT_EQ(error, "");
    EXPECT_EQ(Contents(config_), SaveSettings(Unusual()));
    EXPECT_EQ(LoadFromDisk(config_), Unusual());
    EXPECT_EQ(Names(), std::vector<std::string>{"Config.cfg"});
}

TEST_F(SettingsFileOnDisk, FailedSaveLeavesTheOldFileAlone)
{
    const std::string old = SaveSettings(TStoredSettings{});
    std::string error;
    ASSERT_TRUE(SaveSettingsFile(config_, TStoredSettings{}, error)) << error;

    // The temporary cannot be created.
    fs::create_directory(config_ + ".tmp");
    EXPECT_FALSE(SaveSettingsFile(config_, Unusual(), error));
    EXPECT_NE(error.find("Config.cfg.tmp"), std::string::npos) << error;
    EXPECT_EQ(Contents(config_), old);
    fs::remove(config_ + ".tmp");

    // The rename fails: the target is a directory.
    const std::string blocked = (dir_ / "Blocked.cfg").string();
    fs::create_directory(blocked);
    error.clear();
    EXPECT_FALSE(SaveSettingsFile(blocked, Unusual(), error));
    EXPECT_NE(error.find("Blocked.cfg"), std::string::npos) << error;
    EXPECT_TRUE(fs::is_directory(blocked));
    EXPECT_EQ(Names(), (std::vector<std::string>{"Blocked.cfg", "Config.cfg"}));
}

TEST_F(SettingsFileOnDisk, ReadOnlyDirectoryFailsCleanly)
{
    if (::geteuid() == 0)
        GTEST_SKIP() << "permissions do not bind root";
    std::string error;
    ASSERT_TRUE(SaveSettingsFile(config_, TStoredSettings{}, error)) << error;
    fs::permissions(dir_, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                    fs::perm_options::remove);
    EXPECT_FALSE(SaveSettingsFile(config_, Unusual(), error));
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(Contents(config_), SaveSettings(TStoredSettings{}));
}

} // namespace
