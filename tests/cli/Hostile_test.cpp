// Hostile input for the command line: careless or malicious arguments, strange files and broken
// outputs. Each row gives what is on disk, the command, the exit status, a piece of the message
// and what must be on disk afterwards.
#include "CliTestFixture.h"

#include <algorithm>
#include <functional>
#include <streambuf>
#include <sys/stat.h>

namespace fs = std::filesystem;
using vocalix::base::Cp;

namespace {

using Files = std::vector<std::pair<std::string, std::string>>; // name in the folder, bytes

struct HostileCase {
    const char* what;
    Files before;
    std::vector<std::string> args; // "%name" is the file "name" of the test folder
    int status;
    std::string errHas; // "" = nothing on stderr
    Files after;
    std::function<void(const fs::path&)> setup = nullptr, check = nullptr;
};

const std::string kKoi = "\xEF\xCE\xCF\x20\xC8\xCF\xD2\xCF\xDB\xCF"; // "Оно хорошо" in KOI8-R
const std::string kUtf16 = "\xFF\xFE\x1F\x04\x40\x04\x38\x04\x32\x04\x35\x04\x42\x04";

// Every byte value, NUL and control characters included, in no text's order.
const std::string kBinary = [] {
    std::string bytes;
    for (int i = 0; i < 4096; ++i)
        bytes += static_cast<char>((i * 7919) % 256);
    return bytes;
}();

std::string Repeat(const std::string& s, int n) {
    std::string out;
    for (int i = 0; i < n; ++i)
        out += s;
    return out;
}

} // namespace

TEST_F(CliTest, HostileInputTable) {
    const std::string in = Cp("кот\r\n");
    const std::string lines = Repeat(in, 4000);
    const std::vector<HostileCase> cases = {
        // Nothing is written over the file that was read, nor over an unrelated text.
        {"repaired source kept",
         {{"koi.txt", kKoi}},
         {"convert", "%koi.txt"},
         0,
         "",
         {{"koi.txt", kKoi}, {"koi (2).txt", Cp("Оно хорошо")}}},
        {"cp1251 misread as KOI8 kept",
         {{"w.txt", Cp("привет Привет,")}},
         {"convert", "%w.txt"},
         0,
         "",
         {{"w.txt", Cp("привет Привет,")}}},
        {"unrelated text beside a page",
         {{"a.html", "<p>new"}, {"a.txt", "edited"}},
         {"convert", "%a.html"},
         0,
         "",
         {{"a.txt", "edited"}, {"a (2).txt", "\r\nnew"}}},
        {"same text reused",
         {{"a.html", "<p>new"}, {"a.txt", "\r\nnew"}},
         {"convert", "%a.html"},
         0,
         "",
         {{"a.txt", "\r\nnew"}},
         nullptr,
         [](const fs::path& d) { EXPECT_FALSE(fs::exists(d / "a (2).txt")); }},
        {"two inputs, one output name",
         {{"x.html", "<p>one"}, {"x.rtf", "{\\rtf1 two\\par}"}},
         {"convert", "--to", "%D", "%x.html", "%x.rtf"},
         0,
         "",
         {{"D/x.txt", "\r\none"}, {"D/x (2).txt", "two\r\n"}}},
        // The writer follows links and refuses what is not a plain file.
        {"symlink output",
         {{"in.txt", in}, {"real.txt", "old"}},
         {"changed-text", "-o", "%link", "%in.txt"},
         0,
         "",
         {{"real.txt", in}},
         [](const fs::path& d) { fs::create_symlink("real.txt", d / "link"); },
         [](const fs::path& d) { EXPECT_TRUE(fs::is_symlink(d / "link")); }},
        {"FIFO output",
         {{"in.txt", in}},
         {"changed-text", "-o", "%fifo", "%in.txt"},
         2,
         "именованный канал",
         {},
         [](const fs::path& d) { ASSERT_EQ(::mkfifo((d / "fifo").c_str(), 0600), 0); },
         [](const fs::path& d) { EXPECT_TRUE(fs::is_fifo(d / "fifo")); }},
        {"folder output",
         {{"in.txt", in}},
         {"changed-text", "-o", "%dic", "%in.txt"},
         2,
         "папка",
         {}},
        {"empty output name", {{"in.txt", in}}, {"changed-text", "-o", "", "%in.txt"}, 2, "-o", {}},
        // Arguments and settings.
        {"folder as FILE", {}, {"changed-text", "%dic"}, 2, "это папка", {}},
        {"device as FILE", {}, {"changed-text", "/dev/null"}, 2, "это устройство", {}},
        {"FIFO as FILE", // refused at once, never waited on
         {},
         {"changed-text", "%fifo"},
         2,
         "это именованный канал",
         {},
         [](const fs::path& d) { ASSERT_EQ(::mkfifo((d / "fifo").c_str(), 0600), 0); }},
        {"empty FILE",
         {{"e.txt", ""}},
         {"changed-text", "-o", "%out.txt", "%e.txt"},
         0,
         "",
         {{"e.txt", ""}, {"out.txt", ""}}},
        {"binary FILE",
         {{"b.dat", kBinary}},
         {"changed-text", "-o", "%out.txt", "%b.dat"},
         0,
         "",
         {{"b.dat", kBinary}}},
        {"-- ends the options", {{"-o", in}}, {"changed-text", "--", "-o"}, 0, "", {}},
        {"--set not a number",
         {{"in.txt", in}},
         {"--set", "Others/BytesInFrag=abc", "changed-text", "%in.txt"},
         2,
         "целое число",
         {}},
        {"--set too big",
         {{"in.txt", in}},
         {"--set", "Others/BytesInFrag=999999999999", "changed-text", "%in.txt"},
         2,
         "целое число",
         {}},
        {"--set no section",
         {{"in.txt", in}},
         {"--set", "/K=v", "changed-text", "%in.txt"},
         2,
         "Раздел/Ключ",
         {}},
        {"--set deep key",
         {{"in.txt", in}},
         {"--set", "A/B/C=v", "changed-text", "%in.txt"},
         2,
         "Раздел/Ключ",
         {}},
        {"rules outside dic/",
         {{"in.txt", in}, {"secret.ini", Cp("кот=пёс\r\n")}},
         {"changed-text", "--dic", "../secret.ini", "-o", "%out.txt", "%in.txt"},
         0,
         "вне папки словарей",
         {{"out.txt", in}}},
        {"absolute rules path",
         {{"in.txt", in}, {"secret.ini", Cp("кот=пёс\r\n")}},
         {"rules-report", "--dic", "%secret.ini", "-o", "%out.txt", "%in.txt"},
         0,
         "вне папки словарей",
         {},
         nullptr,
         [](const fs::path& d) {
             std::string report;
             vocalix::base::ReadFileBytes(d / "out.txt", report);
             EXPECT_NE(report.find(Cp("Правил: 0")), std::string::npos) << report;
         }},
        // Rules that explode are skipped; the others still apply.
        {"exploding rule",
         {{"in.txt", lines},
          {"dic/boom.ini", "(.)=" + Repeat("$1", 1000)},
          {"dic/ok.ini", Cp("кот=пёс\r\n")}},
         {"changed-text", "--dic", "boom.ini+ok.ini", "-o", "%out.txt", "%in.txt"},
         0,
         "",
         {{"out.txt", Repeat(Cp("пёс\r\n"), 4000)}}},
        // Common documents give their text.
        {"UTF-16 text",
         {{"u.txt", kUtf16}},
         {"changed-text", "-o", "%out.txt", "%u.txt"},
         0,
         "",
         {{"out.txt", Cp("Привет")}, {"u.txt", kUtf16}}},
        {"EPUB book that is no archive",
         {{"b.epub", "PK but not really"}},
         {"convert", "%b.epub"},
         2,
         "не является архивом ZIP",
         {{"b.epub", "PK but not really"}, {"b.txt", ""}}},
        {"EPUB book read by a text command",
         {{"b.epub", "text"}},
         {"properties", "%b.epub"},
         2,
         "b.epub: Это не книга EPUB",
         {{"b.epub", "text"}}},
        {"HTML5 charset",
         {{"p.html", "<meta charset=\"UTF-8\"><p>Привет"}},
         {"changed-text", "-o", "%out.txt", "%p.html"},
         0,
         "",
         {{"out.txt", Cp("\r\nПривет")}}},
    };
    const fs::path cwd = fs::current_path();
    for (const HostileCase& c : cases) {
        SCOPED_TRACE(c.what);
        fs::remove_all(dir);
        fs::create_directories(dir / "dic");
        for (const auto& [name, bytes] : c.before) {
            fs::create_directories((dir / name).parent_path());
            ASSERT_TRUE(vocalix::base::WriteFileAtomic(dir / name, bytes));
        }
        if (c.setup)
            c.setup(dir);
        std::vector<std::string> args;
        for (const std::string& a : c.args)
            args.push_back(!a.empty() && a[0] == '%' ? (dir / a.substr(1)).string() : a);
        fs::current_path(dir); // relative names are the test folder's
        EXPECT_EQ(Run(args), c.status) << err.str();
        fs::current_path(cwd);
        const std::string message = err.str();
        if (c.errHas.empty()) {
            EXPECT_EQ(message, "");
        } else {
            EXPECT_NE(message.find(c.errHas), std::string::npos) << message;
        }
        // One line for a failure, never more.
        if (c.status != 0) {
            EXPECT_EQ(std::count(message.begin(), message.end(), '\n'), 1) << message;
        }
        for (const auto& [name, bytes] : c.after)
            EXPECT_EQ(Read(dir / name), bytes) << name;
        if (c.check)
            c.check(dir);
    }
}

TEST_F(CliTest, OutputOptionDashAndShortUtf8Page) {
    ASSERT_TRUE(vocalix::base::WriteFileAtomic(dir / "s.txt", std::string("Привет мир")));
    EXPECT_EQ(Run({"changed-text", "-o", "-", (dir / "s.txt").string()}), 0) << err.str();
    EXPECT_EQ(out.str(), Cp("Привет мир")); // the OUT format: Windows-1251 bytes
}

namespace {

// A standard output on a full disk or closed: every write fails.
struct FailingBuffer : std::streambuf {
    int overflow(int) override { return traits_type::eof(); }
    std::streamsize xsputn(const char*, std::streamsize) override { return 0; }
};

} // namespace

TEST_F(CliTest, FailedStandardOutputIsAnError) {
    const std::string file = Write("in.txt", "кот");
    FailingBuffer buffer;
    std::ostream broken(&buffer);
    for (std::vector<std::string> args : {std::vector<std::string>{"changed-text", file},
                                          std::vector<std::string>{"convert", file}}) {
        err.str({});
        args.insert(args.begin(), {"--program-dir", dir.string()});
        EXPECT_EQ(vocalix::cli::RunCli(args, dir, broken, err), 2) << args[2];
        EXPECT_NE(err.str().find("стандартный вывод"), std::string::npos) << err.str();
    }
}
