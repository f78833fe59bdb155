#include "CliTestFixture.h"

#include <gtest/gtest.h>

using vocalix::base::Cp;
namespace fs = std::filesystem;

namespace {

class CliReports : public CliTest {};

} // namespace

TEST_F(CliReports, ReportsOfTheDocument) {
    // Written with LF line ends: the page holds CR LF, so three lines and two paragraphs.
    const std::string doc = Write("Книга.txt", " Вчера Иван видел кошку\n\nкошку Кошкин видел\n");
    ASSERT_EQ(Run({"properties", doc}), 0) << err.str();
    EXPECT_NE(out.str().find("# Свойства текста \"Книга.txt\"\r\n"), std::string::npos);
    EXPECT_NE(out.str().find("Строк: 4\r\nЁфикация"), std::string::npos) << out.str();
    EXPECT_NE(out.str().find("Абзацев: 2\r\n"), std::string::npos);

    ASSERT_EQ(Run({"names", "-o", (dir / "n.txt").string(), doc}), 0) << err.str();
    EXPECT_EQ(Read(dir / "n.txt"),
              Cp("# Имен и аббревиатур в \"Книга.txt\": 2\r\n\r\nИван\r\nКошкин\r\n"));

    ASSERT_EQ(Run({"fresh-eye", doc}), 0) << err.str();
    EXPECT_NE(out.str().find("Найдено повторов, тавтологий и созвучий: 3\r\n"), std::string::npos)
        << out.str();
    ASSERT_EQ(Run({"--set", "FreshEye/Deep=3", "fresh-eye", doc}), 0);
    EXPECT_NE(out.str().find("созвучий: 2\r\n"), std::string::npos) << out.str();
    ASSERT_EQ(Run({"--set", "FreshEye/Similarity=100", "fresh-eye", doc}), 0);
    EXPECT_NE(out.str().find("созвучий: 2\r\n"), std::string::npos) << out.str();

    const std::string list = Write("список.txt", "ИВАН\r\nкош*\r\n");
    ASSERT_EQ(Run({"hunt", "--list", list, doc}), 0) << err.str();
    EXPECT_EQ(out.str(), "# Выборка из текста \"Книга.txt\" по списку \"список.txt\"\r\n\r\n"
                         "_E_ кошку Кошкин видел | кош*\r\n"
                         "_Z_ Вчера Иван видел кошку _E_ кошку | иван\r\n"
                         "Иван видел кошку _E_ кошку Кошкин видел | кош*\r\n"
                         "кошку _E_ кошку Кошкин видел | кош*\r\n");
}

TEST_F(CliReports, FileOperationsNameTheFilesAsGiven) {
    const std::string one = Write("1.txt", "b\r\nA\r\nc\r\n");
    const std::string two = Write("2.txt", "a\r\nd\r\n");
    ASSERT_EQ(Run({"fileop", "union", one, two}), 0) << err.str();
    EXPECT_EQ(out.str(), "# 1. " + one + "\r\n# 2. " + two +
                             "\r\n# Объединение файлов. Строк (без дубликатов) из ПЕРВОГО и "
                             "ВТОРОГО файлов: 4\r\n\r\na\r\nb\r\nc\r\nd\r\n");
    ASSERT_EQ(Run({"fileop", "intersection", "-o", (dir / "i.txt").string(), one, two}), 0);
    EXPECT_NE(Read(dir / "i.txt").find(Cp("файлов: 1\r\n\r\nA\r\n")), std::string::npos);
}

TEST_F(CliReports, BadInputIsRefusedAndWritesNothing) {
    const std::string doc = Write("d.txt", "Вчера Иван\r\n");
    const std::string missing = (dir / "нет.txt").string();
    const std::string out = (dir / "out.txt").string();
    const std::string blocked = (dir / "нет" / "out.txt").string();
    struct Case {
        std::vector<std::string> args;
        const char* message;
    };
    const std::vector<Case> cases = {
        {{"properties"}, "не указан FILE"},
        {{"names", "-o", out, missing}, "файл не найден"},
        {{"fresh-eye", "--deep", "3", doc}, "неизвестный параметр"},
        {{"names", doc, doc}, "лишний аргумент"},
        {{"hunt", "-o", out, doc}, "--list LIST"},
        {{"hunt", "--list", missing, "-o", out, doc}, "не удалось прочитать"},
        {{"hunt", "--list", dir.string(), "-o", out, doc}, "не удалось прочитать"},
        {{"fileop", "minus", doc, doc}, "difference, intersection или union"},
        {{"fileop"}, "difference, intersection или union"},
        {{"fileop", "union", "-o", out, doc}, "не указаны FILE1 и FILE2"},
        {{"fileop", "union", "-o", out, doc, missing}, "не удалось прочитать"},
        {{"names", "-o", blocked, doc}, "не удалось записать"},
        {{"names", doc, "-o"}, "после -o"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args[0] + " " + c.message);
        EXPECT_EQ(Run(c.args), vocalix::cli::kExitError);
        EXPECT_NE(err.str().find(c.message), std::string::npos) << err.str();
        EXPECT_FALSE(fs::exists(out));
        EXPECT_FALSE(fs::exists(dir / "нет"));
    }
}
