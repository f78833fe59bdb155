// The keyboard switch of find and replace on a real X server with its layouts set by
// setxkbmap.
#include "QtTestMain.h"
#include "shell/FindReplaceDialog.h"

#include <QGuiApplication>
#include <QProcess>
#include <QTest>

#include <X11/XKBlib.h>
#include <X11/Xlib.h>

using namespace vocalix::shell;

class KeyboardLayoutTest : public QObject {
    Q_OBJECT
private slots:
    void switchesToTheRussianGroup();
    void withoutARussianLayoutNothingChanges();
    // The server is shared with the other X tests: its plain layout comes back.
    void cleanupTestCase();

private:
    static Display* X() {
        auto* app = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
        return app ? app->display() : nullptr;
    }
    static void SetLayouts(const char* layouts) {
        QCOMPARE(QProcess::execute(QStringLiteral("setxkbmap"),
                                   {QStringLiteral("-layout"), QString::fromLatin1(layouts)}),
                 0);
    }
    static int LockedGroup() {
        XkbStateRec state{};
        XkbGetState(X(), XkbUseCoreKbd, &state);
        return state.locked_group;
    }
};

void KeyboardLayoutTest::switchesToTheRussianGroup() {
    QVERIFY2(X(), "needs an X server");
    SetLayouts("us,ru");
    XkbLockGroup(X(), XkbUseCoreKbd, 0);
    XSync(X(), False);
    QCOMPARE(LockedGroup(), 0);
    QVERIFY(SwitchKeyboardToRussian());
    XSync(X(), False);
    QCOMPARE(LockedGroup(), 1);
}

void KeyboardLayoutTest::withoutARussianLayoutNothingChanges() {
    QVERIFY2(X(), "needs an X server");
    SetLayouts("us,de");
    XkbLockGroup(X(), XkbUseCoreKbd, 1);
    XSync(X(), False);
    QVERIFY(!SwitchKeyboardToRussian());
    XSync(X(), False);
    QCOMPARE(LockedGroup(), 1);
}

void KeyboardLayoutTest::cleanupTestCase() {
    SetLayouts("us");
    XkbLockGroup(X(), XkbUseCoreKbd, 0);
    XSync(X(), False);
}

VOCALIX_QTEST_MAIN(KeyboardLayoutTest)
#include "KeyboardLayout_x11test.moc"
