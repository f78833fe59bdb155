#pragma once

#include "base/AtomicFile.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <random>
#include <string>

namespace vocalix::documents::test {

// A fresh temporary folder per test, removed afterwards.
class TempDir {
public:
    TempDir() {
        std::random_device rd;
        m_path = std::filesystem::temp_directory_path() /
                 ("vocalix-doc-" + std::to_string(rd()) + std::to_string(rd()));
        std::filesystem::create_directories(m_path);
    }
    ~TempDir() {
        std::error_code ec;
        std::filesystem::permissions(m_path, std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::add, ec);
        std::filesystem::remove_all(m_path, ec);
    }
    const std::filesystem::path& path() const { return m_path; }
    std::string File(const std::string& name, const std::string& bytes) const {
        const auto p = m_path / name;
        std::filesystem::create_directories(p.parent_path());
        EXPECT_TRUE(base::WriteFileAtomic(p, bytes));
        return p.string();
    }
    std::string Read(const std::string& name) const {
        std::string bytes;
        base::ReadFileBytes(m_path / name, bytes);
        return bytes;
    }

private:
    std::filesystem::path m_path;
};

inline std::filesystem::path CorpusDir() {
    return VOCALIX_CORPUS_DIR;
}

inline std::string CorpusFile(const std::string& relative) {
    std::string bytes;
    EXPECT_TRUE(base::ReadFileBytes(CorpusDir() / relative, bytes)) << relative;
    return bytes;
}

#define VOCALIX_NEED_CORPUS()                                                                      \
    if (!std::filesystem::is_directory(::vocalix::documents::test::CorpusDir()))                   \
    FAIL() << "corpus folder not found: " << ::vocalix::documents::test::CorpusDir()

} // namespace vocalix::documents::test
