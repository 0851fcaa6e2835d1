// SPDX-License-Identifier: GPL-3.0-or-later
// Building the sounds and the music again gives the same bytes as the
// build did: no clock, no unseeded randomness, no machine-dependent input.
#include "ModulePlayers.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include <unistd.h>

namespace {

namespace fs = std::filesystem;

class ReproducibleBuild : public ::testing::Test {
protected:
    void SetUp() override
    {
        directory_ = fs::temp_directory_path() / ("zarvenok-sound-" + std::to_string(::getpid()));
        fs::create_directories(directory_);
    }
    void TearDown() override { fs::remove_all(directory_); }

    static int Run(const std::string& arguments)
    {
        return std::system((std::string("\"") + ZARVENOK_SOUND_TOOL + "\" " + arguments).c_str());
    }

    fs::path directory_;
};

TEST_F(ReproducibleBuild, WaveLibraryComesOutTheSame)
{
    std::string recipes;
    std::vector<fs::path> files;
    for (const auto& entry : fs::directory_iterator(fs::path(ZARVENOK_SOURCE_DIR) / "assets" / "sounds"))
        if (entry.path().extension() == ".snd") files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    for (const fs::path& file : files) recipes += " \"" + file.string() + "\"";
    const fs::path library = directory_ / "Music.dxw";
    ASSERT_EQ(Run("effects \"" + library.string() + "\"" + recipes), 0);
    EXPECT_EQ(ReadBinaryFile(library.string()), ReadBinaryFile(std::string(ZARVENOK_BUILD_DIR) + "/Data/Music.dxw"));
}

TEST_F(ReproducibleBuild, ModulesComeOutTheSame)
{
    for (const char* track : {"1", "2", "3"}) {
        SCOPED_TRACE(track);
        const fs::path module = directory_ / (std::string(track) + ".xm");
        const fs::path source = fs::path(ZARVENOK_SOURCE_DIR) / "assets" / "music" / (std::string(track) + ".mus");
        ASSERT_EQ(Run("music \"" + source.string() + "\" \"" + module.string() + "\""), 0);
        EXPECT_EQ(ReadBinaryFile(module.string()), ReadBinaryFile(std::string(ZARVENOK_BUILD_DIR) + "/Music/" + track + ".xm"));
    }
}

} // namespace
