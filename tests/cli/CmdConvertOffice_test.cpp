// vocalix-cli convert with Word and RTF documents, through the real office suite. Each case
// starts LibreOffice (several seconds), so the cases are few.
#include "CliTestFixture.h"

#include "base/Cp1251.h"
#include "documents/HtmlToText.h"
#include "textprep/WordList.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace fs = std::filesystem;
using vocalix::base::Cp;

namespace {

const fs::path kCorpus = VOCALIX_CORPUS_DIR;

// The words of a text (letters only, lower case), to compare two renderings of one story.
std::vector<std::string> Words(const std::string& cp1251) {
    std::vector<std::string> words;
    std::string w;
    for (const char ch : cp1251 + " ") {
        const auto c = static_cast<unsigned char>(ch);
        if (c >= 0xC0 || c == 0xA8 || c == 0xB8) {
            w += static_cast<char>(c >= 0xC0 && c < 0xE0 ? c + 32 : c == 0xA8 ? 0xB8 : c);
        } else if (!w.empty()) {
            words.push_back(w);
            w.clear();
        }
    }
    return words;
}

class CliConvertOffice : public CliTest {
protected:
    std::string HtmlStory() {
        std::string html = Read(kCorpus / "html" / "chekhov_dama_s_sobachkoy.cp1251.html");
        std::vector<std::string> pictures;
        return vocalix::documents::HtmlToText(html, pictures);
    }
};

TEST_F(CliConvertOffice, WordDocumentsGiveTheStoryAsText) {
    const auto story = Words(HtmlStory());
    ASSERT_GT(story.size(), 5000u);
    for (const char* kind : {".doc", ".docx"}) {
        const fs::path source = kCorpus / "doc" / (std::string("chekhov_dama_s_sobachkoy") + kind);
        ASSERT_EQ(Run({"convert", "--to", (dir / kind).string(), source.string()}), 0) << err.str();
    }
    for (const char* name : {".doc", ".docx"}) {
        const std::string text = Read(dir / name / "chekhov_dama_s_sobachkoy.txt");
        EXPECT_NE(text.find("\r\n"), std::string::npos) << name;
        EXPECT_EQ(text.find("\n\n"), std::string::npos) << name;
        const auto words = Words(text);
        // The same words in the same order (the web page may carry a title line more).
        ASSERT_GE(words.size(), story.size() - 20) << name;
        const auto at = std::search(story.begin(), story.end(), words.begin(), words.begin() + 50);
        ASSERT_NE(at, story.end()) << name;
        EXPECT_TRUE(std::equal(words.begin(), words.begin() + 5000, at)) << name;
    }
}

TEST_F(CliConvertOffice, PicturesLandInTheTargetFolder) {
    vocalix::base::WriteFileAtomic(dir / "$.ini", "[Text]\r\nPicImport=1\r\n");
    const fs::path to = dir / "out";
    for (const fs::path& source :
         {kCorpus / "rtf" / "chekhov_dama_s_sobachkoy_pictures.libreoffice.rtf",
          kCorpus / "doc" / "chekhov_dama_s_sobachkoy.docx"}) {
        ASSERT_EQ(Run({"convert", "--to", to.string(), source.string()}), 0) << err.str();
        const fs::path stem = to / source.stem();
        EXPECT_GT(Read(fs::path(stem).concat(".txt")).size(), 20000u);
        std::vector<std::string> kinds;
        for (const auto& e : fs::directory_iterator(fs::path(stem).concat(".files")))
            kinds.push_back(e.path().extension().string());
        std::sort(kinds.begin(), kinds.end());
        // The exported page is removed; the pictures stay.
        EXPECT_EQ(kinds, (std::vector<std::string>{".jpg", ".png"})) << source;
    }
}

// Broken inputs: one clear line each, the sources untouched, no text written, and no hang
// (the truncated archive does reach the office suite).
TEST_F(CliConvertOffice, BrokenDocumentsAreRefusedAndKept) {
    std::string docx = Read(kCorpus / "doc" / "chekhov_dama_s_sobachkoy.docx");
    docx.resize(docx.size() / 3);
    const struct {
        const char* name;
        std::string bytes;
        const char* message;
    } cases[] = {
        {"text.docx", Cp("Это просто текст\r\n"), "повреждён или не является документом"},
        {"empty.doc", "", "повреждён или не является документом"},
        {"cut.docx", docx, "Не найден Microsoft Word: LibreOffice не смог прочитать документ"},
    };
    for (const auto& c : cases) {
        vocalix::base::WriteFileAtomic(dir / c.name, c.bytes);
        EXPECT_EQ(Run({"convert", (dir / c.name).string()}), 2) << c.name;
        EXPECT_NE(err.str().find(c.message), std::string::npos) << err.str();
        EXPECT_EQ(Read(dir / c.name), c.bytes);
        EXPECT_FALSE(fs::exists(fs::path(dir / c.name).replace_extension(".txt"))) << c.name;
    }
}

} // namespace
