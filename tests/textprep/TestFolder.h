#pragma once

#include "base/AtomicFile.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <random>
#include <string>

// A temporary program folder with a "dic" folder, removed at the end of the test.
class TestProgramFolder {
public:
    TestProgramFolder() {
        std::random_device rd;
        m_dir = std::filesystem::temp_directory_path() /
                ("vocalix-textprep-" + std::to_string(rd()) + std::to_string(rd()));
        std::filesystem::create_directories(m_dir / "dic");
    }
    ~TestProgramFolder() {
        std::error_code ec;
        std::filesystem::remove_all(m_dir, ec);
    }
    TestProgramFolder(const TestProgramFolder&) = delete;
    TestProgramFolder& operator=(const TestProgramFolder&) = delete;

    const std::filesystem::path& Dir() const { return m_dir; }

    // Writes a dictionary file (Windows-1251 bytes as given).
    void WriteDic(const std::string& name, const std::string& bytes) const {
        ASSERT_TRUE(vocalix::base::WriteFileAtomic(m_dir / "dic" / name, bytes));
    }

private:
    std::filesystem::path m_dir;
};
