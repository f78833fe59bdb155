// Global hot keys on a real X server, pressed with xdotool.
#include "QtTestMain.h"
#include "ScriptedPrompter.h"
#include "base/Cp1251.h"
#include "shell/TForm1.h"

#include <QApplication>
#include <QClipboard>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <X11/Xlib.h>
#include <X11/keysym.h>

using namespace vocalix::shell;
using vocalix::base::Cp;

class GlobalHotKeysTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void ctrlKeypadPlusPastesIntoActivePage();
    void ctrlEqualsPastesToo();
    void refusedCombinationNeverFires();
    void unknownNameRegistersNothing();

private:
    static void Press(const char* keys) {
        QCOMPARE(QProcess::execute(QStringLiteral("xdotool"),
                                   {QStringLiteral("key"), QString::fromLatin1(keys)}),
                 0);
    }
};

void GlobalHotKeysTest::initTestCase() {
    if (QStandardPaths::findExecutable(QStringLiteral("xdotool")).isEmpty())
        QFAIL("xdotool is not installed (scripts/install-deps.sh installs it)");
    if (QGuiApplication::platformName() != QStringLiteral("xcb"))
        QFAIL("needs an X server: run the x11 tests under xvfb-run");
}

void GlobalHotKeysTest::ctrlKeypadPlusPastesIntoActivePage() {
    QTemporaryDir dir;
    testing::ScriptedPrompter prompter;
    TForm1 form(dir.path().toStdString(), prompter);
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    // The focus is elsewhere: the window is not active when the key comes.
    QWidget other;
    other.show();
    QVERIFY(QTest::qWaitForWindowExposed(&other));
    QApplication::clipboard()->setText(QString::fromUtf8("из буфера"));
    Press("ctrl+KP_Add");
    QTRY_COMPARE(form.ActiveEditor->Text(), Cp("из буфера"));
}

void GlobalHotKeysTest::ctrlEqualsPastesToo() {
    QTemporaryDir dir;
    testing::ScriptedPrompter prompter;
    TForm1 form(dir.path().toStdString(), prompter);
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QApplication::clipboard()->setText(QStringLiteral("x"));
    Press("ctrl+equal");
    QTRY_COMPARE(form.ActiveEditor->Text(), std::string("x"));
}

void GlobalHotKeysTest::refusedCombinationNeverFires() {
    // Another client holds Ctrl+Alt+F9 first.
    Display* display = XOpenDisplay(nullptr);
    QVERIFY(display);
    const KeyCode code = XKeysymToKeycode(display, XK_F9);
    XGrabKey(display, code, ControlMask | Mod1Mask, DefaultRootWindow(display), True, GrabModeAsync,
             GrabModeAsync);
    XSync(display, False);
    GlobalHotKeys keys;
    int fired = 0;
    QVERIFY(!keys.RegisterByName(3, "Ctrl+Alt+F9", [&] { ++fired; }));
    QVERIFY(!keys.IsRegistered(3));
    XCloseDisplay(display);
    Press("ctrl+alt+F9");
    QTest::qWait(300);
    QCOMPARE(fired, 0);
    // A free combination works.
    QVERIFY(keys.RegisterByName(4, "Ctrl+Shift+F11", [&] { ++fired; }));
    Press("ctrl+shift+F11");
    QTRY_COMPARE(fired, 1);
}

void GlobalHotKeysTest::unknownNameRegistersNothing() {
    GlobalHotKeys keys;
    QVERIFY(!keys.RegisterByName(3, Cp("<нет>"), [] {}));
    QVERIFY(!keys.RegisterByName(3, "Ctrl+F13", [] {}));
    QVERIFY(!keys.IsRegistered(3));
}

VOCALIX_QTEST_MAIN(GlobalHotKeysTest)
#include "GlobalHotKeys_x11test.moc"
