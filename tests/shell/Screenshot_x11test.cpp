// The main window on a real X server: all ten page tabs are on screen and drawn.
#include "QtTestMain.h"
#include "ScriptedPrompter.h"
#include "shell/TForm1.h"

#include <QScreen>
#include <QTabBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>

using namespace vocalix::shell;

class ScreenshotTest : public QObject {
    Q_OBJECT
private slots:
    void tenTabsVisible();
};

void ScreenshotTest::tenTabsVisible() {
    QTemporaryDir dir;
    testing::ScriptedPrompter prompter;
    TForm1 form(dir.path().toStdString(), prompter);
    form.CreateOtherWindows();
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QTest::qWait(300);
    const QImage shot = form.screen()->grabWindow(0).toImage();
    shot.save(QStringLiteral(VOCALIX_BINARY_DIR "/screenshot-tabs.png"));
    QTabBar* bar = form.PageControl1->tabBar();
    QCOMPARE(bar->count(), 10);
    const QRect barOnScreen(bar->mapToGlobal(QPoint(0, 0)), bar->size());
    QVERIFY(shot.rect().contains(barOnScreen));
    for (int i = 0; i < 10; ++i) {
        const QRect tab(bar->mapToGlobal(bar->tabRect(i).topLeft()), bar->tabRect(i).size());
        QVERIFY2(barOnScreen.contains(tab), qPrintable(QString::number(i)));
        // The caption is drawn: the tab's pixels are not all of one colour.
        const QImage pixels = shot.copy(tab.adjusted(2, 2, -2, -2));
        bool varied = false;
        const QRgb first = pixels.pixel(0, 0);
        for (int y = 0; y < pixels.height() && !varied; ++y)
            for (int x = 0; x < pixels.width() && !varied; ++x)
                varied = pixels.pixel(x, y) != first;
        QVERIFY2(varied, qPrintable(QString::number(i)));
    }
}

VOCALIX_QTEST_MAIN(ScreenshotTest)
#include "Screenshot_x11test.moc"
