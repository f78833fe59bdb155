#include "CliTestFixture.h"

namespace {

using vocalix::base::Cp;

TEST_F(CliTest, EditCommandsWriteTheWholeTextResult) {
    const std::string in =
        Write("in.txt", "Мама мыла раму. Мама!\r\nВ 2010 году\r\n  «Ёлка» — пере-\r\nход");
    struct Case {
        std::vector<std::string> args;
        const char* utf8;
    };
    const Case cases[] = {
        {{"clean", "upper"}, "МАМА МЫЛА РАМУ. МАМА!\r\nВ 2010 ГОДУ\r\n  «ЁЛКА» — ПЕРЕ-\r\nХОД"},
        {{"clean", "quotes"}, "Мама мыла раму. Мама!\r\nВ 2010 году\r\n  \"Ёлка\" — пере-\r\nход"},
        {{"clean", "dele-breaks"}, "Мама мыла раму. Мама!\r\nВ 2010 году\r\n  «Ёлка» — переход"},
        {{"numbers"},
         "Мама мыла раму. Мама!\r\nВ две тысячи десять году\r\n  «Ёлка» — пере-\r\nход"},
        {{"columns", "lower"}, "в\r\nгоду\r\nёлка\r\nмама\r\nмыла\r\nпере-\r\nраму\r\nход\r\n"},
        {{"move", "right"}, " Мама мыла раму. Мама!\r\n В 2010 году\r\n   «Ёлка» — пере-\r\n ход"},
        {{"--set", "LitText/MaxLen=0", "format"},
         "Мама мыла раму. Мама! В 2010 году \r\n    \"Ёлка\" - пере- ход "},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args[0] + " " + c.args.back());
        std::vector<std::string> args = c.args;
        args.push_back(in);
        ASSERT_EQ(Run(args), 0) << err.str();
        EXPECT_EQ(out.str(), c.utf8);
    }
    // With -o the result is Windows-1251 in the file and nothing is printed.
    const std::string outFile = (dir / "out.txt").string();
    ASSERT_EQ(Run({"sort-lines", "-o", outFile, in}), 0) << err.str();
    EXPECT_EQ(out.str(), "");
    EXPECT_EQ(Read(outFile),
              Cp("  «Ёлка» — пере-\r\nВ 2010 году\r\nМама мыла раму. Мама!\r\nход\r\n"));
}

TEST_F(CliTest, EditCommandsRefuseBadInput) {
    const std::string in = Write("in.txt", "текст");
    struct Case {
        std::vector<std::string> args;
        const char* message;
    };
    const Case cases[] = {
        {{"format"}, "не указан FILE"},
        {{"clean", in}, "неизвестный режим"},
        {{"clean", "sideways", in}, "неизвестный режим: sideways"},
        {{"columns"}, "не указан режим"},
        {{"move", "up", in}, "неизвестный режим: up"},
        {{"numbers", in, in}, "лишний аргумент"},
        {{"sort-lines", "--fast", in}, "неизвестный параметр: --fast"},
        {{"numbers", "-o"}, "после -o нужно имя файла"},
        {{"numbers", (dir / "missing.txt").string()}, ""},
        {{"numbers", "-o", (dir / "no/such/dir/out.txt").string(), in}, "не удалось записать"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args[0]);
        EXPECT_EQ(Run(c.args), vocalix::cli::kExitError);
        EXPECT_NE(err.str().find(c.message), std::string::npos) << err.str();
        EXPECT_EQ(out.str(), "");
    }
    EXPECT_EQ(Read(in), Cp("текст"));
}

} // namespace
