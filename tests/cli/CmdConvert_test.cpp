#include "CliTestFixture.h"

#include "base/Cp1251.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <unistd.h>

using vocalix::base::Cp;
namespace fs = std::filesystem;

namespace {

class CliConvert : public CliTest {
protected:
    int Run(std::vector<std::string> args) {
        args.insert(args.begin(), "convert");
        return CliTest::Run(std::move(args));
    }
    std::string Write(const std::string& name, const std::string& bytes) {
        return WriteBytes(name, bytes);
    }
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
