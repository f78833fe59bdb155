// The magnifier command without an X11 screen, and the pause of its refresh by long commands.
#include "QtTestMain.h"
#include "ScriptedPrompter.h"
#include "base/AtomicFile.h"
#include "base/Cp1251.h"
#include "shell/TForm1.h"
#include "windows/TZoom.h"

#include <QAction>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <filesystem>
#include <memory>
#include <stdexcept>

using vocalix::base::Cp;
using vocalix::windows::TZoom;
using namespace vocalix::shell;
using vocalix::shell::testing::ScriptedPrompter;
namespace fs = std::filesystem;

class TForm1ZoomTest : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void commandSaysWhyItIsUnavailable();
    void filterPausesAndResumes();
    void closedDuringARunStaysStopped();
    void resumesAfterAnError();
    void pausesNest();

private:
    TZoom& Zoom() { return *static_cast<TZoom*>(m_form->Zoom); }
    bool Ticking() { return Zoom().Timer1->isActive(); }
    // Runs the pronunciation filter over a page of words; `during` runs once inside the run.
    void FilterWith(std::function<void()> during);

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<ScriptedPrompter> m_prompter;
    std::unique_ptr<TForm1> m_form;
};

void TForm1ZoomTest::init() {
    m_dir = std::make_unique<QTemporaryDir>();
    const fs::path dic = fs::path(m_dir->path().toStdString()) / "dic";
    fs::create_directories(dic);
    QVERIFY(vocalix::base::WriteFileAtomic(dic / "w.dic", Cp("слово=сло+во\r\n")));
    m_prompter = std::make_unique<ScriptedPrompter>();
    m_form = std::make_unique<TForm1>(m_dir->path().toStdString(), *m_prompter);
    m_form->CreateOtherWindows();
    m_form->m_options.Dictionary = "w.dic";
    QVERIFY(m_form->Zoom);
    // The offscreen platform cannot read the screen, but the window and its timer work.
    Zoom().Open();
    QVERIFY(Ticking());
}

void TForm1ZoomTest::cleanup() {
    m_form.reset();
    QVERIFY2(m_prompter->unexpected.isEmpty(), qPrintable(m_prompter->unexpected.join("; ")));
    m_prompter.reset();
    m_dir.reset();
}

void TForm1ZoomTest::FilterWith(std::function<void()> during) {
    QTimer::singleShot(0, m_form.get(), std::move(during));
    std::string text = Cp("слово слово слово\r\n");
    QVERIFY(m_form->Filter(text, true));
    QVERIFY2(text.find(Cp("сло+во")) != std::string::npos, text.c_str());
}

void TForm1ZoomTest::commandSaysWhyItIsUnavailable() {
    Zoom().close();
    m_form->Command("AZoom")->trigger();
    QCOMPARE(m_prompter->asked.size(), size_t(1));
    QVERIFY(m_prompter->asked.back().text.contains(QStringLiteral("X11")));
    QCOMPARE(m_prompter->asked.back().caption, QStringLiteral("Vocalix"));
    QVERIFY(!Zoom().isVisible());
    QVERIFY(!Ticking());
}

void TForm1ZoomTest::filterPausesAndResumes() {
    bool tickedDuring = true;
    FilterWith([&] { tickedDuring = Ticking(); });
    QVERIFY(!tickedDuring);
    QVERIFY(Ticking());
}

void TForm1ZoomTest::closedDuringARunStaysStopped() {
    FilterWith([&] { Zoom().close(); });
    QVERIFY(!Ticking());
    // Opened during a run, it starts when the run ends.
    FilterWith([&] {
        Zoom().Open();
        QVERIFY(!Ticking());
    });
    QVERIFY(Ticking());
}

void TForm1ZoomTest::resumesAfterAnError() {
    vocalix::textprep::FilterHooks hooks = m_form->FilterHooksOfWindow();
    hooks.processEvents = [] { throw std::runtime_error("broken"); };
    std::string text = Cp("слово\r\n");
    QVERIFY_THROWS_EXCEPTION(std::runtime_error, m_form->pronunciationFilter().Filter(
                                                     text, true, false, "w.dic", "", hooks));
    QVERIFY(Ticking());
}

void TForm1ZoomTest::pausesNest() {
    m_form->PauseMagnifier();
    m_form->PauseMagnifier();
    m_form->ResumeMagnifier();
    QVERIFY(!Ticking());
    m_form->ResumeMagnifier();
    QVERIFY(Ticking());
    // A resume without a pause changes nothing.
    m_form->ResumeMagnifier();
    m_form->PauseMagnifier();
    QVERIFY(!Ticking());
    m_form->ResumeMagnifier();
    QVERIFY(Ticking());
}

VOCALIX_QTEST_MAIN(TForm1ZoomTest)
#include "TForm1Zoom_qtest.moc"
