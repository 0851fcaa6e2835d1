// SPDX-License-Identifier: GPL-3.0-or-later
// A started game on the headless platform in a working directory of its
// own (the form writes its settings there), with the built pictures and
// sounds linked in.
#pragma once

#include "HeadlessPlatform.h"
#include "SpriteWalks.h"
#include "Unit1.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace fs = std::filesystem;

// The working directory and platform, without a form yet.
class FormDirectory : public testing::Test {
protected:
    void SetUp() override
    {
        const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
        Dir = fs::temp_directory_path() / (std::string("zarvenok-") + test->test_suite_name() + "-" + test->name());
        fs::remove_all(Dir);
        fs::create_directories(Dir);
        fs::create_directory_symlink(fs::path(ZARVENOK_DATA_DIR) / "Data", Dir / "Data");
        fs::create_directory_symlink(fs::path(ZARVENOK_DATA_DIR) / "Music", Dir / "Music");
        Previous = fs::current_path();
        fs::current_path(Dir);
    }
    void TearDown() override
    {
        Form.reset();
        fs::current_path(Previous);
        std::error_code ec;
        fs::permissions(Dir, fs::perms::owner_all, fs::perm_options::add, ec);
        fs::remove_all(Dir, ec);
    }
    void StartForm()
    {
        Form = std::make_unique<TMainForm>(Platform);
        Form->Start();
    }
    std::vector<std::string> Sounds() { return Platform.SoundLog().Take(); }
    static bool Has(const std::vector<std::string>& events, const std::string& event)
    {
        return std::find(events.begin(), events.end(), event) != events.end();
    }

    fs::path Dir, Previous;
    THeadlessPlatform Platform;
    std::unique_ptr<TMainForm> Form;
};

// A game in play: the intro skipped, no enemies coming on their own.
class GameForm : public FormDirectory {
protected:
    void SetUp() override
    {
        FormDirectory::SetUp();
        StartForm();
        Form->GoToState(3);
        // The intro's end, as Timer1 brings it.
        Form->Timer1Timer();
        Form->Progress.SpawnChance = 0;
        Platform.SoundLog().Take();
    }
};
