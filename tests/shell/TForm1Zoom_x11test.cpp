// Ctrl+F1 on a real X server opens the magnifier, which then refreshes by itself.
#include "QtTestMain.h"
#include "ScriptedPrompter.h"
#include "shell/TForm1.h"
#include "windows/TZoom.h"

#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using namespace vocalix::shell;
using vocalix::windows::TZoom;

class TForm1ZoomX11Test : public QObject {
    Q_OBJECT
private slots:
    void ctrlF1OpensTheMagnifier();
};

void TForm1ZoomX11Test::ctrlF1OpensTheMagnifier() {
    QTemporaryDir dir;
    testing::ScriptedPrompter prompter;
    TForm1 form(dir.path().toStdString(), prompter);
    form.CreateOtherWindows();
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    form.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&form));
    auto* zoom = static_cast<TZoom*>(form.Zoom);
    QVERIFY(!zoom->isVisible());
    QTest::keyClick(&form, Qt::Key_F1, Qt::ControlModifier);
    QVERIFY(QTest::qWaitForWindowExposed(zoom));
    QVERIFY(zoom->Timer1->isActive());
    QCOMPARE(zoom->Timer1->interval(), 10);
    QTRY_VERIFY(!zoom->Picture().isNull());
    QCOMPARE(zoom->Image->size(), QSize(706, 150));
    QVERIFY(prompter.asked.empty());
    zoom->close();
    QVERIFY(!zoom->Timer1->isActive());
}

VOCALIX_QTEST_MAIN(TForm1ZoomX11Test)
#include "TForm1Zoom_x11test.moc"
