// A 2 MB book read aloud from its first word to its last by the real engine at its fastest
// speech, with other pages open: memory stays flat over hundreds of fragments and no page is
// changed by the reading. The book is about eleven hours of speech, so it plays into the test
// session's sink that takes audio as fast as it comes.
#include "AudioSession.h"
#include "FormTestUtil.h"
#include "QtTestMain.h"
#include "ScriptedPrompter.h"
#include "base/ProcessMemory.h"

#include "base/AtomicFile.h"
#include "base/Cp1251.h"
#include "base/Settings.h"
#include "shell/PageEditor.h"
#include "shell/TForm1.h"
#include "speech/AudioPlayer.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <vector>

using namespace vocalix;
using namespace vocalix::shell;
namespace fs = std::filesystem;

namespace {

constexpr size_t kBookBytes = 2 * 1024 * 1024;

// Two novels of the corpus one after the other (the second has LF line ends), cut at the first
// line end past 2 MB.
std::string MakeBook() {
    const fs::path books = fs::path(VOCALIX_CORPUS_DIR) / "text" / "books";
    std::string book, part;
    if (!base::ReadFileBytes(books / "tolstoy_anna_karenina.cp1251.txt", book))
        return {};
    if (!base::ReadFileBytes(books / "dostoevsky_prestuplenie_i_nakazanie.utf8.txt", part))
        return {};
    book += base::ToCrLf(base::Utf8ToCp1251(part));
    const size_t end = book.find("\r\n", kBookBytes);
    if (end == std::string::npos)
        return {};
    book.resize(end + 2);
    return book;
}

struct PageState {
    std::string text, fileName;
    bool modified = false;
    int selStart = 0, selLength = 0;
    bool operator==(const PageState&) const = default;
};

PageState StateOf(TForm1& form, int page) {
    PageEditor* editor = form.RichEdit[static_cast<size_t>(page)];
    return {editor->Text(), form.PageFileName[static_cast<size_t>(page)],
            form.PageModified[static_cast<size_t>(page)] || editor->Modified(), editor->SelStart(),
            editor->SelLength()};
}

} // namespace

class LongReadingTest : public QObject {
    Q_OBJECT
private slots:
    void endOfABookWithFlatMemory();
};

void LongReadingTest::endOfABookWithFlatMemory() {
    qputenv("PULSE_SINK", "vocalix-fast");
    VOCALIX_REQUIRE_AUDIO();

    const std::string book = MakeBook();
    QVERIFY2(book.size() > kBookBytes, "the corpus novels are missing");
    QTemporaryDir dir;
    const fs::path programDir = dir.path().toStdString();
    const std::string letter = base::Cp("Письмо.\r\nДорогой друг, пишу вам из деревни.\r\n");
    const std::string notes = base::Cp("Заметки к чтению.\r\n");
    QVERIFY(base::WriteFileAtomic(programDir / "letter.txt", letter));
    QVERIFY(base::WriteFileAtomic(programDir / "book.txt", book));
    QVERIFY(base::WriteFileAtomic(programDir / "notes.txt", notes));
    QVERIFY(base::WriteFileAtomic(
        base::SettingsPath(programDir),
        "[Text]\r\nFileName1=" + CpPath(programDir / "letter.txt") +
            "\r\nCharPos1=9\r\nFileName2=" + CpPath(programDir / "book.txt") +
            "\r\nCharPos2=0\r\nFileName3=" + CpPath(programDir / "notes.txt") +
            "\r\nCharPos3=4\r\nActivePageIndex=1\r\n"));

    shell::testing::ScriptedPrompter prompter;
    TForm1 form(programDir, prompter);
    form.CreateOtherWindows();
    QCOMPARE(form.RichEdit[2]->Text(), book);
    QCOMPARE(form.ActiveEditor, form.RichEdit[2]);
    // Unsaved work on other pages: typed text, a selection, an unnamed page.
    form.RichEdit[3]->SetSelection(0, 7);
    form.RichEdit[3]->insertPlainText(QString::fromUtf8("Мысли"));
    form.RichEdit[1]->SetSelection(3, 5);
    form.RichEdit[4]->SetText(base::Cp("Черновик без имени.\r\n"));
    form.RichEdit[4]->SetModified(true);
    form.RichEdit[4]->SetSelection(2, 4);
    std::vector<PageState> before;
    for (int page = 1; page <= TForm1::kPages; ++page)
        before.push_back(StateOf(form, page));
    QVERIFY(before[2].modified && before[3].modified && !before[0].modified);

    form.trSpeed->setValue(form.trSpeed->maximum()); // the engine's fastest speech
    const int start = 0;
    form.ActiveEditor->SetSelection(start, 0);
    QElapsedTimer clock;
    clock.start();
    form.ASpeakExecute();
    QVERIFY(form.IsReading());

    // The resident size, with how far the reading is, every half second.
    struct Sample {
        qint64 ms;
        int read;
        long rssKb;
    };
    std::vector<Sample> trace;
    QTimer sampler;
    QObject::connect(&sampler, &QTimer::timeout, [&] {
        trace.push_back(
            {clock.elapsed(), form.ActiveEditor->SelLength(), base::StatusKb("VmRSS:")});
    });
    sampler.start(500);
    QTRY_VERIFY_WITH_TIMEOUT(!form.IsReading(), 30 * 60 * 1000);
    sampler.stop();
    trace.push_back({clock.elapsed(), form.ActiveEditor->SelLength(), base::StatusKb("VmRSS:")});

    std::printf("RSS trace (seconds, characters read, kB), every tenth sample:\n");
    for (size_t i = 0; i < trace.size(); ++i) {
        const Sample& s = trace[i];
        if (i % 10 != 0 && i + 1 != trace.size())
            continue;
        std::printf("  %7.1f %8d %7ld\n", static_cast<double>(s.ms) / 1000.0, s.read, s.rssKb);
    }
    QVERIFY2(prompter.asked.empty() && prompter.unexpected.isEmpty(),
             prompter.asked.empty() ? "" : qPrintable(prompter.asked.front().text));

    // Read to the end: the tracking selection reaches the start of the book's last word.
    const size_t lastWordEnd = book.find_last_not_of(" \r\n.!?,;:-\"'\xBB\x85") + 1;
    const size_t lastWord = book.find_last_of(" \r\n", lastWordEnd) + 1;
    QCOMPARE(form.ActiveEditor->SelStart(), start);
    QCOMPARE(static_cast<size_t>(start + form.ActiveEditor->SelLength()), lastWord);

    // Flat: once a fifth of the book is read, the resident size may grow by no more than 5 MB.
    // The player holds a fragment's whole audio (up to about 4 MB for 4,096 characters), so a
    // longer fragment than any before raises the allocator's high-water mark once; a leak of
    // 20 bytes a word over the 250,000-odd words that follow would pass the bound.
    const auto warm = std::find_if(trace.begin(), trace.end(), [&](const Sample& s) {
        return static_cast<size_t>(s.read) >= book.size() / 5;
    });
    QVERIFY(warm != trace.end() && trace.end() - warm >= 10);
    const long peak = std::max_element(warm, trace.end(), [](const Sample& a, const Sample& b) {
                          return a.rssKb < b.rssKb;
                      })->rssKb;
    QVERIFY2(peak - warm->rssKb <= 5120,
             qPrintable(QStringLiteral("grew %1 kB").arg(peak - warm->rssKb)));

    // No page changed but for the reading's own selection on the book.
    before[1].selStart = start;
    before[1].selLength = form.ActiveEditor->SelLength();
    for (int page = 1; page <= TForm1::kPages; ++page)
        QVERIFY2(StateOf(form, page) == before[static_cast<size_t>(page - 1)],
                 qPrintable(QStringLiteral("page %1").arg(page)));
    shell::testing::ForgetPageChanges(form);
}

VOCALIX_QTEST_MAIN(LongReadingTest)
#include "LongReading_qtest.moc"
