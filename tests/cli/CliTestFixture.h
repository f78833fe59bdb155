#pragma once

#include "base/AtomicFile.h"
#include "base/Cp1251.h"
#include "cli/Cli.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <string>
#include <unistd.h>
#include <vector>

// A temporary program folder (with dic/) per test, and vocalix-cli run inside it.
class CliTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir = std::filesystem::temp_directory_path() /
              ("vocalix-cli-" + std::to_string(::getpid()) + "-" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::remove_all(dir);
        std::filesystem::create_directories(dir / "dic");
    }
    void TearDown() override { std::filesystem::remove_all(dir); }

    int Run(std::vector<std::string> args) {
        out.str({});
        err.str({});
        args.insert(args.begin(), {"--program-dir", dir.string()});
        return vocalix::cli::RunCli(args, dir, out, err, in);
    }
    // A Windows-1251 file written from UTF-8 source text.
    std::string Write(const std::string& name, const char* utf8) {
        const std::filesystem::path p = dir / name;
        EXPECT_TRUE(vocalix::base::WriteFileAtomic(p, vocalix::base::Cp(utf8)));
        return p.string();
    }
    // A file of raw bytes, folders made as needed.
    std::string WriteBytes(const std::filesystem::path& name, const std::string& bytes) {
        const std::filesystem::path p = dir / name;
        std::filesystem::create_directories(p.parent_path());
        EXPECT_TRUE(vocalix::base::WriteFileAtomic(p, bytes));
        return p.string();
    }
    std::string Read(const std::filesystem::path& p) {
        std::string bytes;
        vocalix::base::ReadFileBytes(p, bytes);
        return bytes;
    }

    std::filesystem::path dir;
    std::ostringstream out, err;
    std::istringstream in; // standard input of the command
};
