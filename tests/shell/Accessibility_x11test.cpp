// The main window as a screen reader sees it over AT-SPI: every control has a name.
#include "QtTestMain.h"
#include "ScriptedPrompter.h"
#include "shell/TForm1.h"

#include <QApplication>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <cstdlib>
#include <memory>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace vocalix::shell;
using vocalix::shell::testing::ScriptedPrompter;

class AccessibilityTest : public QObject {
    Q_OBJECT
private slots:
    void everyControlIsNamedOverAtSpi();
};

void AccessibilityTest::everyControlIsNamedOverAtSpi() {
    QTemporaryDir dir;
    ScriptedPrompter prompter;
    TForm1 form(dir.path().toStdString(), prompter);
    form.CreateOtherWindows();
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    const QString script = QFINDTESTDATA("shell/atspi_unnamed.py");
    QVERIFY(!script.isEmpty());
    // The window answers the walker's questions from this thread: keep the loop running.
    QProcess walker;
    walker.setProcessChannelMode(QProcess::MergedChannels);
    walker.start(QStringLiteral("/usr/bin/python3"), {script, QApplication::applicationName()});
    QVERIFY(walker.waitForStarted());
    QTRY_VERIFY_WITH_TIMEOUT(walker.state() == QProcess::NotRunning, 120000);
    const QString out = QString::fromUtf8(walker.readAll());
    qInfo().noquote() << out.trimmed();
    QCOMPARE(walker.exitCode(), 0);
    const QRegularExpressionMatch m =
        QRegularExpression(QStringLiteral("applications (\\d+) controls (\\d+) unnamed (\\d+)"))
            .match(out);
    QVERIFY2(m.hasMatch(), qPrintable(out));
    QCOMPARE(m.captured(1).toInt(), 1);
    QVERIFY2(m.captured(2).toInt() > 200, qPrintable(out)); // the whole tree was walked
    QVERIFY2(m.captured(3).toInt() == 0, qPrintable(out));
    QVERIFY2(prompter.unexpected.isEmpty(), qPrintable(prompter.unexpected.join("; ")));
}

// Runs on a session bus of its own with the accessibility bus up before the application
// starts, so that Qt registers the window with it.
int main(int argc, char** argv) {
    if (!std::getenv("VOCALIX_OWN_SESSION_BUS")) {
        setenv("VOCALIX_OWN_SESSION_BUS", "1", 1);
        std::vector<char*> args{const_cast<char*>("dbus-run-session"), const_cast<char*>("--")};
        for (int i = 0; i < argc; ++i)
            args.push_back(argv[i]);
        args.push_back(nullptr);
        execvp("dbus-run-session", args.data());
        std::perror("dbus-run-session");
        return 1;
    }
    // Waking the accessibility bus before the application exists (an argument vector, no shell).
    const char* const check[] = {"/usr/bin/python3", "-c",
                                 "import pyatspi; pyatspi.Registry.getDesktop(0)", nullptr};
    pid_t pid = 0;
    int status = 0;
    if (posix_spawn(&pid, check[0], nullptr, nullptr, const_cast<char* const*>(check), environ) !=
            0 ||
        waitpid(pid, &status, 0) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return 1;
    setenv("QT_LINUX_ACCESSIBILITY_ALWAYS_ON", "1", 1);
    auto app = std::make_unique<QApplication>(argc, argv);
    QApplication::setApplicationName(QStringLiteral("VocalixAccessibilityTest"));
    auto tc = std::make_unique<AccessibilityTest>();
    QTEST_SET_MAIN_SOURCE_PATH
    const int rc = QTest::qExec(tc.get(), argc, argv);
    tc.reset();
    app.reset();
    return rc;
}

#include "Accessibility_x11test.moc"
