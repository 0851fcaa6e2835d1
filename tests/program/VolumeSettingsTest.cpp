// SPDX-License-Identifier: GPL-3.0-or-later
// "Volume.cfg": levels kept across runs, bad lines answered with defaults,
// and nothing of the file lost.
#include "VolumeSettings.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace {

class VolumeSettingsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        Folder = std::filesystem::temp_directory_path() /
                 ("zarvenok-volume-" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        std::filesystem::remove_all(Folder);
    }
    void TearDown() override { std::filesystem::remove_all(Folder); }

    std::string Read(const std::filesystem::path& path) const
    {
        std::ostringstream text;
        text << std::ifstream(path).rdbuf();
        return text.str();
    }

    std::filesystem::path Folder;
};

} // namespace

TEST_F(VolumeSettingsTest, LevelsSurviveARestartInAFolderMadeOnTheFirstSave)
{
    const std::filesystem::path path = Folder / "zarvenok" / TVolumeSettingsFile::FileName;
    TVolumeSettingsFile first(path);
    std::vector<std::string> problems;
    EXPECT_EQ(first.Load(problems), TSoundLevels{});
    EXPECT_TRUE(problems.empty());

    std::string error;
    ASSERT_TRUE(first.Save({35, 0, true}, error)) << error;
    EXPECT_FALSE(std::filesystem::exists(path.string() + ".tmp"));

    TVolumeSettingsFile second(path);
    EXPECT_EQ(second.Load(problems), (TSoundLevels{35, 0, true}));
    EXPECT_TRUE(problems.empty());
}

TEST_F(VolumeSettingsTest, BadValuesGetDefaultsAndOtherLinesAreKept)
{
    std::filesystem::create_directories(Folder);
    const std::filesystem::path path = Folder / TVolumeSettingsFile::FileName;
    std::ofstream(path) << "# mine\n"
                           "music-volume = loud\n"
                           "  sound-volume=20  \r\n"
                           "muted = maybe\n"
                           "colour = green\n"
                           "\n"
                           "sound-volume = 150\n";
    TVolumeSettingsFile file(path);
    std::vector<std::string> problems;
    const TSoundLevels levels = file.Load(problems);
    EXPECT_EQ(levels, (TSoundLevels{100, 20, false}));
    ASSERT_EQ(problems.size(), 3u);
    EXPECT_NE(problems[0].find("line 2: music-volume should be a whole number from 0 to 100, not 'loud'"),
              std::string::npos)
        << problems[0];
    EXPECT_NE(problems[1].find("line 4: muted should be yes or no, not 'maybe'"), std::string::npos) << problems[1];
    EXPECT_NE(problems[2].find("line 7: sound-volume"), std::string::npos) << problems[2];

    std::string error;
    ASSERT_TRUE(file.Save({60, 20, false}, error)) << error;
    const std::string saved = Read(path);
    EXPECT_NE(saved.find("music-volume = 60\n"), std::string::npos) << saved;
    EXPECT_NE(saved.find("colour = green\n"), std::string::npos) << saved;
    problems.clear();
    EXPECT_EQ(TVolumeSettingsFile(path).Load(problems), (TSoundLevels{60, 20, false}));
    EXPECT_TRUE(problems.empty());
}

TEST_F(VolumeSettingsTest, AFileThatCannotBeReadIsNeverWrittenOver)
{
    // A folder where the file should be.
    const std::filesystem::path path = Folder / TVolumeSettingsFile::FileName;
    std::filesystem::create_directories(path / "inside");
    TVolumeSettingsFile file(path);
    std::vector<std::string> problems;
    EXPECT_EQ(file.Load(problems), TSoundLevels{});
    ASSERT_EQ(problems.size(), 1u);
    EXPECT_NE(problems[0].find("Cannot read"), std::string::npos) << problems[0];
    std::string error;
    EXPECT_FALSE(file.Save({10, 10, false}, error));
    EXPECT_FALSE(error.empty());
    EXPECT_TRUE(std::filesystem::exists(path / "inside"));
}
