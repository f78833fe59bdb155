#include "documents/OfficeConversion.h"

#include "DocumentsTestUtil.h"
#include "base/Cp1251.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace vocalix::documents::test {
namespace {
namespace fs = std::filesystem;
using base::Cp;

TEST(OfficeConversion, SignatureDecidesBeforeAnythingRuns) {
    TempDir dir;
    const struct {
        const char* name;
        std::string bytes;
        bool ok;
    } cases[] = {
        {"a.doc", std::string("\xD0\xCF\x11\xE0\xA1\xB1", 6), true},
        {"b.DOCX", "PK\x03\x04", true},
        {"c.rtf", "{\\rtf1 x}", true},
        {"d.doc", "", false},
        {"e.docx", Cp("Просто текст"), false},
        {"f.rtf", "{\\rt", false},
        {"g.doc", "PK\x03\x04", false},
        {"h.txt", "PK\x03\x04", false},
    };
    for (const auto& c : cases) {
        int runs = 0;
        OfficeConverter office([&](const std::string&, const std::vector<std::string>&, int) {
            ++runs;
            return ProcessOutcome{};
        });
        EXPECT_EQ(HasOfficeSignature(dir.File(c.name, c.bytes)), c.ok) << c.name;
        EXPECT_EQ(office.WordToText((dir.path() / c.name).string(), ""), "");
        EXPECT_EQ(runs, c.ok ? 1 : 0) << c.name;
        EXPECT_EQ(office.LastFailureWasOffice(), c.ok) << c.name;
    }
}

// The exit code is 0 whatever happened, so only the output decides; a process that outlives
// its time is reported as such; a missing program is "Word is missing".
TEST(OfficeConversion, FailuresOfTheOfficeProgram) {
    TempDir dir;
    const std::string doc = dir.File("a.docx", "PK\x03\x04");
    const struct {
        ProcessOutcome outcome;
        const char* message;
    } cases[] = {
        {{false, false, -1, ""}, "Не найден Microsoft Word"},
        {{true, true, -1, ""},
         "Не найден Microsoft Word: LibreOffice не закончил конвертацию за 7 с"},
        {{true, false, 0, ""}, "Не найден Microsoft Word: LibreOffice не смог прочитать документ"},
    };
    for (const auto& c : cases) {
        OfficeConverter office(
            [&](const std::string&, const std::vector<std::string>&, int) { return c.outcome; },
            "soffice", 7000);
        EXPECT_EQ(office.WordToText(doc, ""), "");
        EXPECT_EQ(office.LastError().rfind(Cp(c.message), 0), 0u)
            << base::Cp1251ToUtf8(office.LastError());
        EXPECT_TRUE(office.LastFailureWasOffice());
    }
    EXPECT_EQ(dir.Read("a.docx"), "PK\x03\x04");
    EXPECT_FALSE(fs::exists(dir.path() / "a.txt"));
}

// What the runner is asked: an argument vector with a private profile and an output folder,
// and the text it leaves there becomes the ".txt" beside the source without replacing a file.
TEST(OfficeConversion, ArgumentsAndTheTextWritten) {
    TempDir dir;
    const std::string doc = dir.File("my doc.doc", "\xD0\xCF\x11\xE0");
    dir.File("my doc.txt", "someone else's text");
    std::vector<std::string> seen;
    OfficeConverter office(
        [&](const std::string& program, const std::vector<std::string>& args, int timeoutMs) {
            seen = args;
            EXPECT_EQ(program, "soffice");
            EXPECT_EQ(timeoutMs, 180000);
            const auto outdir = std::find(args.begin(), args.end(), "--outdir");
            EXPECT_NE(outdir, args.end());
            fs::create_directories(*(outdir + 1));
            // UTF-8 with a byte-order mark and a stress mark over the vowel.
            base::WriteFileAtomic(fs::path(*(outdir + 1)) / "my doc.txt",
                                  "\xEF\xBB\xBF\xD0\x94\xD0\xB0\xCC\x81\r\n");
            return ProcessOutcome{true, false, 0, ""};
        });
    const std::string written = office.WordToText(doc, "");
    EXPECT_EQ(written, (dir.path() / "my doc (2).txt").string());
    EXPECT_EQ(dir.Read("my doc (2).txt"), "\xC4+\xE0\r\n");
    EXPECT_EQ(dir.Read("my doc.txt"), "someone else's text");
    ASSERT_EQ(seen.size(), 10u);
    EXPECT_EQ(seen[0].rfind("-env:UserInstallation=file:///", 0), 0u);
    EXPECT_EQ(seen[4], "--infilter=MS Word 97");
    EXPECT_EQ(seen[6], "txt:Text (encoded):UTF8,CRLF");
    EXPECT_EQ(seen.back(), doc);
    // The private profile and output folder are gone afterwards.
    EXPECT_FALSE(fs::exists(seen[8]));
}

} // namespace
} // namespace vocalix::documents::test

namespace vocalix::documents::test {
namespace {

// The text goes to the word processor as a UTF-8 file opened as a new document, and only
// when the office suite can show windows at all.
TEST(OfficeConversion, TextToWordOnlyWhereWindowsCanBeShown) {
    TempDir dir;
    const std::string program = dir.File("office/program/soffice", "#!/bin/sh\n");
    std::vector<std::string> seen;
    const auto start = [&](const std::string& p, const std::vector<std::string>& args) {
        EXPECT_EQ(p, program);
        seen = args;
        return true;
    };
    EXPECT_FALSE(TextToWord(Cp("Текст\r\n"), start, program));
    EXPECT_TRUE(seen.empty());
    dir.File("office/program/libvclplug_genlo.so", "");
    EXPECT_TRUE(TextToWord(Cp("Текст\r\n"), start, program));
    ASSERT_EQ(seen.size(), 4u);
    EXPECT_EQ(seen[2], "-n");
    std::string bytes;
    ASSERT_TRUE(base::ReadFileBytes(seen[3], bytes));
    EXPECT_EQ(bytes, "\xEF\xBB\xBF" + base::Cp1251ToUtf8(Cp("Текст\r\n")));
    fs::remove(seen[3]);
    EXPECT_FALSE(TextToWord("x", start, "/nonexistent/soffice"));
}

} // namespace
} // namespace vocalix::documents::test
