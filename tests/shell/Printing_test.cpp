#include "shell/Printing.h"

#include "base/AtomicFile.h"
#include "base/Cp1251.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <cstdlib>
#include <filesystem>

using namespace vocalix::shell;
namespace fs = std::filesystem;

namespace {

// Stand-ins for lpstat and lp at the front of PATH: lpstat offers two printers, lp records
// its arguments and the file it got.
class FakePrintSystem : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_dir.isValid());
        bin = fs::path(m_dir.path().toStdString());
        m_oldPath = std::getenv("PATH") ? std::getenv("PATH") : "";
        setenv("PATH", (bin.string() + ":" + m_oldPath).c_str(), 1);
    }
    void TearDown() override { setenv("PATH", m_oldPath.c_str(), 1); }
    void Script(const std::string& name, const std::string& body) {
        ASSERT_TRUE(vocalix::base::WriteFileAtomic(bin / name, "#!/bin/sh\n" + body));
        fs::permissions(bin / name, fs::perms::owner_all);
    }
    std::string Read(const std::string& name) {
        std::string bytes;
        vocalix::base::ReadFileBytes(bin / name, bytes);
        return bytes;
    }
    fs::path bin;

private:
    QTemporaryDir m_dir;
    std::string m_oldPath;
};

} // namespace

TEST_F(FakePrintSystem, PrintsTheFileInUtf8OncePerCopy) {
    Script("lpstat", "echo office\necho home\n");
    Script("lp", "echo \"$@\" >> " + (bin / "calls").string() + "\ncat \"$5\" > " +
                     (bin / "printed").string() + "\n");
    EXPECT_EQ(PrinterList(), QStringList({"office", "home"}));
    const fs::path text = bin / "book.txt";
    ASSERT_TRUE(vocalix::base::WriteFileAtomic(text, vocalix::base::Cp("Книга\r\n")));
    EXPECT_EQ(PrintTextFile(text, "home", 2), QString());
    const std::string calls = Read("calls");
    EXPECT_EQ(std::count(calls.begin(), calls.end(), '\n'), 2);
    EXPECT_EQ(calls.rfind("-d home -t book.txt ", 0), 0u);
    EXPECT_EQ(Read("printed"), "Книга\r\n");
}

// Each name reaches lp as one argument, taken neither for an option nor for shell text.
TEST_F(FakePrintSystem, FileNamesReachLpWhole) {
    Script("lp", "printf '%s\\n' \"$#\" \"$@\" > " + (bin / "args").string() + "\ncat \"$5\" > " +
                     (bin / "printed").string() + "\n");
    for (const char* name : {"-t.txt", "две книги.txt", "it's \"q\".txt", "$HOME;ls.txt"}) {
        SCOPED_TRACE(name);
        const fs::path text = bin / name;
        ASSERT_TRUE(vocalix::base::WriteFileAtomic(text, "page\r\n"));
        EXPECT_EQ(PrintTextFile(text, "home", 1), QString());
        const std::string args = Read("args");
        EXPECT_EQ(args.rfind(std::string("5\n-d\nhome\n-t\n") + name + "\n/", 0), 0u) << args;
        EXPECT_NE(args.find(std::string("/") + name + "\n"), std::string::npos) << args;
        EXPECT_EQ(Read("printed"), "page\r\n");
    }
}

TEST_F(FakePrintSystem, NoPrintersAndFailingJobsAreExplained) {
    Script("lpstat", "exit 0\n");
    Script("lp", "echo 'lp: Error - No default destination.' >&2\nexit 1\n");
    QString problem;
    EXPECT_TRUE(PrinterList(&problem).isEmpty());
    EXPECT_TRUE(problem.contains(QString::fromUtf8("Не найдено ни одного принтера")));
    const fs::path text = bin / "t.txt";
    ASSERT_TRUE(vocalix::base::WriteFileAtomic(text, "x"));
    EXPECT_TRUE(PrintTextFile(text, "p", 1).contains("No default destination"));
    EXPECT_FALSE(PrintTextFile(bin / "missing.txt", "p", 1).isEmpty());
}

TEST(PrintSystemMissing, IsReportedInsteadOfFailingSilently) {
    const std::string old = std::getenv("PATH") ? std::getenv("PATH") : "";
    setenv("PATH", "/nonexistent", 1);
    QString problem;
    EXPECT_TRUE(PrinterList(&problem).isEmpty());
    EXPECT_TRUE(problem.contains("lpstat"));
    setenv("PATH", old.c_str(), 1);
}
