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

class CliConvert : public ::testing::Test {
protected:
    void SetUp() override {
        dir = fs::temp_directory_path() /
              ("vocalix-cli7-" + std::to_string(::getpid()) + "-" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir);
        fs::create_directories(dir);
    }
    void TearDown() override { fs::remove_all(dir); }

    int Run(std::vector<std::string> args) {
        out.str({});
        err.str({});
        args.insert(args.begin(), {"--program-dir", dir.string(), "convert"});
        return vocalix::cli::RunCli(args, dir, out, err);
    }
    std::string Write(const std::string& name, const std::string& bytes) {
        const fs::path p = dir / name;
        fs::create_directories(p.parent_path());
        EXPECT_TRUE(vocalix::base::WriteFileAtomic(p, bytes));
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

TEST_F(CliConvert, EachDocumentBesideItsSourceAndOnePathPerLine) {
    const std::string page = Write("p.html", Cp("<p>Страница &laquo;один&raquo;"));
    const std::string rtf = Write("r.rtf", "{\\rtf1\\ansicpg1251 \\'c4\\'e0\\par}");
    const std::string win = Write("w.txt", Cp("уже готовый текст"));
    EXPECT_EQ(Run({page, rtf, win}), 0) << err.str();
    EXPECT_EQ(out.str(),
              (dir / "p.txt").string() + "\n" + (dir / "r.txt").string() + "\n" + win + "\n");
    EXPECT_EQ(Read(dir / "p.txt"), Cp("\r\nСтраница \"один\""));
    EXPECT_EQ(Read(dir / "r.txt"), Cp("Да\r\n"));
    EXPECT_EQ(Read(win), Cp("уже готовый текст"));
}

TEST_F(CliConvert, TargetFolderTakesEveryText) {
    const std::string win = Write("src/w.txt", Cp("текст\n"));
    const std::string dic = Write("src/x.dic", Cp("а=б\r\n"));
    const fs::path to = dir / "out" / "new";
    EXPECT_EQ(Run({"--to", to.string(), win, dic}), 0) << err.str();
    EXPECT_EQ(out.str(), (to / "w.txt").string() + "\n" + (to / "x.dic").string() + "\n");
    EXPECT_EQ(Read(to / "w.txt"), Cp("текст\r\n"));
    EXPECT_EQ(Read(to / "x.dic"), Cp("а=б\r\n"));
}

TEST_F(CliConvert, FailuresAreReportedAndTheRestGoesOn) {
    const std::string page = Write("ok.htm", "<b>fine</b>");
    const std::string doc = Write("d.docx", "PK");
    EXPECT_EQ(Run({(dir / "missing.html").string(), doc, page}), 2);
    EXPECT_EQ(out.str(), (dir / "ok.txt").string() + "\n");
    EXPECT_NE(err.str().find("файл не найден"), std::string::npos);
    EXPECT_NE(err.str().find("Не найден Microsoft Word"), std::string::npos);
    EXPECT_EQ(Run({}), 2);
    EXPECT_EQ(Run({"--bogus", page}), 2);
}
