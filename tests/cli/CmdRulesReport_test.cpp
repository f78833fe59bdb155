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

class CliRulesReport : public CliTest {};

} // namespace

TEST_F(CliRulesReport, RulesReportOnABook) {
    const fs::path book =
        fs::path(VOCALIX_CORPUS_DIR) / "text/encodings/pushkin_pikovaya_dama.cp1251.txt";
    if (!fs::exists(book))
        FAIL() << "corpus not found: " << book;
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

TEST_F(CliTest, CommandHelpAndStandardInput) {
    // "COMMAND --help" prints that command's usage, whatever else is missing.
    EXPECT_EQ(Run({"changed-text", "--help"}), 0);
    EXPECT_NE(out.str().find("changed-text [--dic SELECTION] [-o OUT] FILE"), std::string::npos);
    EXPECT_TRUE(err.str().empty());
    EXPECT_EQ(Run({"sort-lines", "-h"}), 0);
    EXPECT_NE(out.str().find("sort-lines"), std::string::npos);
    // "-" reads standard input as a plain text, code page recognised as for a file.
    in.str(vocalix::base::Cp("б\r\nа\r\n"));
    EXPECT_EQ(Run({"sort-lines", "-"}), 0) << err.str();
    EXPECT_EQ(out.str(), "а\r\nб\r\n");
    in.clear();
    in.str("\xef\xbb\xbf\xd0\xb2\n"); // UTF-8 with a byte-order mark: "в"
    EXPECT_EQ(Run({"changed-text", "-"}), 0) << err.str();
    EXPECT_EQ(out.str(), "в\r\n");
}
