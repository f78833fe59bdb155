#include "CliTestFixture.h"
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

class CliRulesSpell : public CliTest {};

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
