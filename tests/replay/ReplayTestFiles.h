// SPDX-License-Identifier: GPL-3.0-or-later
// Scratch folders and a full disk for the replay tests.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <string>
#include <sys/resource.h>
#include <unistd.h>
#include <vector>

// A fresh folder of the test's own, removed afterwards.
class ReplayScratch : public ::testing::Test {
protected:
    void SetUp() override
    {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        Dir = std::filesystem::temp_directory_path()
              / ("zarvenok-replay-" + std::string(info->test_suite_name()) + "-" + info->name() + "-" + std::to_string(::getpid()));
        std::filesystem::remove_all(Dir);
        std::filesystem::create_directories(Dir);
    }
    void TearDown() override { std::filesystem::remove_all(Dir); }

    std::vector<std::string> Names() const
    {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(Dir)) names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

    std::filesystem::path Dir;
};

// While it lives, no file may grow past `bytes` (writes fail with EFBIG, as
// on a full disk); works for root too, unlike a read-only folder.
class TFullDisk {
public:
    explicit TFullDisk(rlim_t bytes)
    {
        getrlimit(RLIMIT_FSIZE, &Saved_);
        OldHandler_ = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = Saved_;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~TFullDisk()
    {
        setrlimit(RLIMIT_FSIZE, &Saved_);
        std::signal(SIGXFSZ, OldHandler_);
    }
    TFullDisk(const TFullDisk&) = delete;
    TFullDisk& operator=(const TFullDisk&) = delete;

private:
    rlimit Saved_{};
    void (*OldHandler_)(int) = nullptr;
};

inline std::vector<uint8_t> FileBytes(const std::filesystem::path& file)
{
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline void WriteBytes(const std::filesystem::path& file, const std::vector<uint8_t>& bytes)
{
    std::ofstream(file, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}
