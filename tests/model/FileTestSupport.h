#pragma once
// A fresh folder per test, with the system temporary folder pointed into it so that a test
// can tell whether working copies were left behind.

#include "support/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>

namespace vapora::test {

inline std::string ReadAll(const std::filesystem::path& file)
{
    std::ifstream in(file, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

class FileTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        root = std::filesystem::temp_directory_path() /
               ("vapora_files_" + std::to_string(std::random_device{}()) + "_" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        tmp = root / "tmp";
        std::filesystem::create_directories(tmp);
        if (const char* old = std::getenv("TMPDIR"))
            oldTmp = old;
        SetTempFolder(tmp);
    }
    void TearDown() override
    {
        SetTempFolder(oldTmp);
        std::error_code ec;
        std::filesystem::remove_all(root, ec);
    }

    static void SetTempFolder(const std::filesystem::path& folder) { SetTemporaryFolder(folder.string()); }

    bool NoTemporaryLeft() const { return std::filesystem::is_empty(tmp); }

    std::string Put(const std::string& name, const std::string& bytes) const
    {
        std::ofstream(root / name, std::ios::binary) << bytes;
        return (root / name).string();
    }
    static std::string Get(const std::filesystem::path& file) { return ReadAll(file); }

    std::filesystem::path root, tmp;
    std::string oldTmp;
};

} // namespace vapora::test
