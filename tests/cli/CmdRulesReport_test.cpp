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

class CliRulesReport : public ::testing::Test {
protected:
    void SetUp() override {
        dir = fs::temp_directory_path() /
              ("vocalix-cli5r-" + std::to_string(::getpid()) + "-" +
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

TEST_F(CliRulesReport, RulesReportOnABook) {
    const fs::path book =
        fs::path(VOCALIX_CORPUS_DIR) / "text/encodings/pushkin_pikovaya_dama.cp1251.txt";
    if (!fs::exists(book))
        GTEST_SKIP() << "corpus not found: " << book;
    Write("dic/r.ini", "Германн=Герман\r\n@германн=нет\r\n(\\d+) км=$1 километров\r\nграф=граф");
    ASSERT_EQ(Run({"rules-report", "--dic", "r.ini", book.string()}), vocalix::cli::kExitOk)
        << err.str();
    EXPECT_EQ(out.str(), "# Список замен по \"r.ini\". Правил: 2\r\n\r\n"
                         "Германн=Герман\r\nграф=граф\r\n");
    // The selection from the settings when --dic is absent; none selected gives nothing.
    ASSERT_EQ(Run({"rules-report", book.string()}), vocalix::cli::kExitOk);
    EXPECT_EQ(out.str(), "");
    ASSERT_EQ(Run({"--set", "SpeechEngine/Dictionary=r.ini", "rules-report", "-o",
                   (dir / "rep.txt").string(), book.string()}),
              vocalix::cli::kExitOk);
    EXPECT_EQ(Read(dir / "rep.txt"), Cp("# Список замен по \"r.ini\". Правил: 2\r\n\r\n"
                                        "Германн=Герман\r\nграф=граф\r\n"));
    EXPECT_EQ(Run({"rules-report", (dir / "missing.txt").string()}), vocalix::cli::kExitError);
}

TEST_F(CliRulesReport, ChangedTextAppliesRulesBeforeTheDictionary) {
    Write("dic/r.ini", "(\\d+) км=$1 километров\r\n");
    Write("dic/w.dic", "километров=киломе'тров\r\n");
    const std::string file = Write("t.txt", "Прошли 5 км.\r\n");
    ASSERT_EQ(Run({"changed-text", "--dic", "r.ini+w.dic", file}), vocalix::cli::kExitOk)
        << err.str();
    const std::string withRules = out.str();
    // The same as the dictionary alone makes of the text the rule would have produced.
    const std::string ruled = Write("u.txt", "Прошли 5 километров.\r\n");
    ASSERT_EQ(Run({"changed-text", "--dic", "w.dic", ruled}), vocalix::cli::kExitOk);
    EXPECT_EQ(withRules, out.str());
    EXPECT_NE(withRules.find("киломе'тров"), std::string::npos);
    ASSERT_EQ(Run({"rules-report", "--dic", "r.ini+w.dic", file}), vocalix::cli::kExitOk);
    EXPECT_EQ(out.str(), "# Список замен по \"r.ini\". Правил: 1\r\n\r\n(\\d+) км=$1 километров\r\n"
                         "\r\n# Список замен по \"w.dic\". Правил: 1, применены: 1 раз к тексту "
                         "из 3 слов\r\n\r\nкилометров=киломе'тров\r\n");
}
