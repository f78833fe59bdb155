#include "QtTestMain.h"
#include "ScriptedPrompter.h"
#include "base/AtomicFile.h"
#include "base/QtText.h"
#include "shell/TForm1.h"

#include <QAction>
#include <QImage>
#include <QLabel>
#include <QSplitter>
#include <QTemporaryDir>
#include <QTest>
#include <QToolBar>

#include <filesystem>
#include <memory>

using namespace vocalix::shell;
using vocalix::base::U;
using vocalix::shell::testing::ScriptedPrompter;
namespace fs = std::filesystem;

class TForm1PicturesTest : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void browsingShowsTheStoredPictureAndWraps();
    void deletingAskesAndTheLastOneHidesThePanel();
    void anUndecodablePictureSaysSo();

private:
    fs::path Dir() const { return fs::path(m_dir->path().toStdString()); }
    void Picture(const std::string& name, QColor colour) {
        fs::create_directories((Dir() / name).parent_path());
        QImage image(40, 20, QImage::Format_RGB32);
        image.fill(colour);
        QVERIFY(image.save(QString::fromStdString((Dir() / name).string())));
    }
    void Open(int storedIndex) {
        vocalix::base::WriteFileAtomic(Dir() / "book.txt", "text");
        form().m_options.PicImport = true;
        form().CurrentFileName = (Dir() / "book.txt").string();
        form().PicIndex = storedIndex;
        form().PicShow();
    }
    QString Status() const { return m_form->StatusPanel[3]->text(); }
    void Trigger(const char* name) {
        form().ToolBar3->findChild<QAction*>(QString::fromLatin1(name))->trigger();
    }

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<ScriptedPrompter> m_prompter;
    std::unique_ptr<TForm1> m_form;
    TForm1& form() { return *m_form; }
};

void TForm1PicturesTest::init() {
    m_dir = std::make_unique<QTemporaryDir>();
    m_prompter = std::make_unique<ScriptedPrompter>();
    m_form = std::make_unique<TForm1>(m_dir->path().toStdString(), *m_prompter);
    m_form->resize(900, 600);
    m_form->show();
}

void TForm1PicturesTest::cleanup() {
    m_form.reset();
    QVERIFY2(m_prompter->unexpected.isEmpty(), qPrintable(m_prompter->unexpected.join("; ")));
}

void TForm1PicturesTest::browsingShowsTheStoredPictureAndWraps() {
    Picture("book.files/Image-1.png", Qt::red);
    Picture("book.files/Image-2.png", Qt::green);
    Picture("book.files/Image-10.PNG", Qt::blue);
    Open(7);
    QVERIFY(!form().Panel1->isHidden());
    QCOMPARE(Status(), QStringLiteral("(3/3) Image-2.png"));
    QCOMPARE(form().PagePicNumber[1], 2);
    const QPixmap shown = form().Image1->pixmap();
    QVERIFY(!shown.isNull());
    QCOMPARE(shown.width(), shown.height() * 2); // the aspect ratio is kept
    Trigger("TBNext");
    QCOMPARE(Status(), QStringLiteral("(1/3) Image-1.png"));
    Trigger("TBPrev");
    Trigger("TBPrev");
    QCOMPARE(Status(), QStringLiteral("(2/3) Image-10.PNG"));
    QCOMPARE(form().PagePicNumber[1], 1);
    QCOMPARE(form().Image1->pixmap().toImage().pixelColor(shown.width() / 2, shown.height() / 2),
             QColor(Qt::blue));
    form().Command("APicLargeSmall")->trigger();
    QVERIFY(form().Panel1->isHidden());
    QVERIFY(Status().isEmpty());
    form().Command("APicLargeSmall")->trigger();
    QVERIFY(!form().Panel1->isHidden());
    // A new text has no pictures: the panel goes and Ctrl+K does not bring the old ones back.
    form().Command("ACreate")->trigger();
    QVERIFY(form().Panel1->isHidden());
    form().Command("APicLargeSmall")->trigger();
    QVERIFY(form().Panel1->isHidden());
}

void TForm1PicturesTest::deletingAskesAndTheLastOneHidesThePanel() {
    Picture("book_files/a.jpg", Qt::red);
    Picture("book_files/b.bmp", Qt::red);
    QVERIFY(vocalix::base::WriteFileAtomic(Dir() / "book_files" / "page.css", "p{}"));
    Open(0);
    m_prompter->answers.push_back(Answer::Cancel);
    Trigger("TBDele");
    QVERIFY(fs::exists(Dir() / "book_files" / "a.jpg"));
    m_prompter->answers.push_back(Answer::Ok);
    Trigger("TBDele");
    QVERIFY(!fs::exists(Dir() / "book_files" / "a.jpg"));
    QCOMPARE(Status(), QStringLiteral("(1/1) b.bmp"));
    m_prompter->answers.push_back(Answer::Ok);
    Trigger("TBDeleAll");
    QCOMPARE(m_prompter->AskedTexts(), (QStringList{U("Удалить картинку?"), U("Удалить картинку?"),
                                                    U("Удалить ВСЕ картинки к этому тексту??")}));
    QCOMPARE(m_prompter->asked[2].icon, Icon::Warning);
    QVERIFY(form().Panel1->isHidden());
    QVERIFY(!fs::exists(Dir() / "book_files" / "b.bmp"));
    QVERIFY(fs::exists(Dir() / "book_files" / "page.css"));
    QCOMPARE(form().Splitter1->sizes()[2], 0); // the pages fill the window again
}

void TForm1PicturesTest::anUndecodablePictureSaysSo() {
    Picture("book.files/good.png", Qt::red);
    vocalix::base::WriteFileAtomic(Dir() / "book.files" / "broken.jpg", "not a picture");
    Open(0);
    QVERIFY(form().Image1->text().contains(U("Не удалось показать картинку broken.jpg")));
    Trigger("TBNext");
    QVERIFY(!form().Image1->pixmap().isNull());
}

VOCALIX_QTEST_MAIN(TForm1PicturesTest)
#include "TForm1Pictures_qtest.moc"
