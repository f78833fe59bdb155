// The real program losing its X server while a page holds unsaved text: Qt ends the process
// from inside the event loop, and the text must be on disk for the next start.
#include "QtTestMain.h"
#include "base/AtomicFile.h"

#include <QApplication>
#include <QClipboard>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <X11/Xlib.h>

#include <filesystem>

namespace fs = std::filesystem;

class LostDisplayTest : public QObject {
    Q_OBJECT
private slots:
    void unsavedPageIsKeptWhenTheConnectionBreaks();
};

namespace {

QString Xdotool(const QStringList& arguments) {
    QProcess p;
    p.start(QStringLiteral("xdotool"), arguments);
    p.waitForFinished(30000);
    return QString::fromLatin1(p.readAllStandardOutput()).trimmed();
}

} // namespace

void LostDisplayTest::unsavedPageIsKeptWhenTheConnectionBreaks() {
    if (QGuiApplication::platformName() != QStringLiteral("xcb"))
        QFAIL("needs an X server: run the x11 tests under xvfb-run");
    if (QStandardPaths::findExecutable(QStringLiteral("xdotool")).isEmpty())
        QFAIL("xdotool is not installed (scripts/install-deps.sh installs it)");
    // A program folder of its own: the executable's folder when it can be written.
    QTemporaryDir dir;
    const fs::path folder = dir.path().toStdString();
    fs::copy_file(VOCALIX_BINARY_DIR "/vocalix", folder / "vocalix");
    QProcess program;
    program.setProgram(QString::fromStdString((folder / "vocalix").string()));
    program.setProcessChannelMode(QProcess::ForwardedChannels);
    program.start();
    QVERIFY(program.waitForStarted());
    const QString window = Xdotool({QStringLiteral("search"), QStringLiteral("--sync"),
                                    QStringLiteral("--onlyvisible"), QStringLiteral("--pid"),
                                    QString::number(program.processId())})
                               .section(QLatin1Char('\n'), 0, 0);
    QVERIFY2(!window.isEmpty(), "the program's window did not appear");
    Xdotool({QStringLiteral("windowfocus"), QStringLiteral("--sync"), window});
    const QString text = QStringLiteral("Typed and never saved");
    Xdotool({QStringLiteral("type"), text});
    // The program handles keys in order: once its copy of the page is on the clipboard, the
    // typing has reached the page.
    Xdotool({QStringLiteral("key"), QStringLiteral("ctrl+a"), QStringLiteral("ctrl+c")});
    QTRY_COMPARE_WITH_TIMEOUT(QApplication::clipboard()->text(), text, 20000);

    // The server closes the program's connection, as when the display goes away.
    Display* display = XOpenDisplay(nullptr);
    QVERIFY(display);
    XKillClient(display, window.toULong());
    XCloseDisplay(display);
    QVERIFY(program.waitForFinished(20000));
    QCOMPARE(program.exitStatus(), QProcess::NormalExit);
    QVERIFY(program.exitCode() != 0);

    QVERIFY2(fs::is_directory(folder / "recovery"), "nothing was kept");
    std::vector<fs::path> pages;
    for (const auto& session : fs::directory_iterator(folder / "recovery"))
        pages.push_back(session.path() / "page1.txt");
    QCOMPARE(pages.size(), size_t(1));
    std::string kept;
    QVERIFY(vocalix::base::ReadFileBytes(pages[0], kept));
    QVERIFY2(kept.ends_with(text.toStdString()), kept.c_str());
}

VOCALIX_QTEST_MAIN(LostDisplayTest)
#include "LostDisplay_x11test.moc"
