#include "cli/Cli.h"

#include "base/AtomicFile.h"
#include "base/Cp1251.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <unistd.h>

using vocalix::base::Cp;
namespace fs = std::filesystem;

namespace {

class CliRulesSpell : public ::testing::Test {
protected:
    void SetUp() override {
        dir = fs::temp_directory_path() /
              ("vocalix-cli5-" + std::to_string(::getpid()) + "-" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir);
        fs::create_directories(dir / "dic");
    }
    void TearDown() override { fs::remove_all(dir); }

    int Run(std::vector<std::string> args) {
        out.str({});
        err.str({});
        args.insert(args.begin(), {"--program-dir", dir.string()});
        return vocalix::cli::RunCli(args, dir, out, err);
    }
    // A Windows-1251 file written from UTF-8 source text.
    std::string Write(const std::string& name, const char* utf8) {
        const fs::path p = dir / name;
        EXPECT_TRUE(vocalix::base::WriteFileAtomic(p, Cp(utf8)));
        return p.string();
    }
    std::string Read(const fs::path& p) {
        std::string bytes;
        vocalix::base::ReadFileBytes(p, bytes);
        return bytes;
    }

    fs::path dir;
    std::ostringstream out, err;
};

} // namespace

TEST_F(CliRulesSpell, SpellAddThenCheck) {
    const std::string good = Write("good.txt", "Привет, мир!\r\nкошка спит\r\n");
    EXPECT_EQ(Run({"spell", "check", good}), vocalix::cli::kExitError); // no table yet
    EXPECT_NE(err.str().find("~orfo~"), std::string::npos);

    const std::string learn = Write("learn.txt", "привет мир кошка спит\r\n");
    ASSERT_EQ(Run({"spell", "add", learn}), vocalix::cli::kExitOk) << err.str();
    EXPECT_EQ(out.str(), "");
    EXPECT_TRUE(fs::exists(dir / "~orfo~"));

    ASSERT_EQ(Run({"spell", "check", good}), vocalix::cli::kExitOk) << err.str();
    EXPECT_EQ(out.str(), "# Орфография в \"good.txt\"\r\n\r\nПравильно");

    const std::string bad = Write("bad.txt", "Кошка спт, мир ривет\r\n");
    ASSERT_EQ(Run({"spell", "check", "-o", (dir / "r.txt").string(), bad}), vocalix::cli::kExitOk);
    EXPECT_EQ(Read(dir / "r.txt"), Cp("# Орфография в \"bad.txt\"\r\n\r\nривет\r\nспт\r\n"));

    ASSERT_EQ(Run({"spell", "remove", learn}), vocalix::cli::kExitOk);
    EXPECT_EQ(Read(dir / "~orfo~"), "");
    EXPECT_EQ(Run({"spell", "fix", good}), vocalix::cli::kExitError);
}
