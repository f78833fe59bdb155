#include "QtTestMain.h"
#include "shell/EditorLook.h"

#include <QGuiApplication>
#include <QPalette>
#include <QtTest>

using namespace vocalix;
using namespace vocalix::shell;

class EditorLookTest : public QObject {
    Q_OBJECT
private slots:
    void colours() {
        QCOMPARE(WinColorToQColor(0x0000FF), QColor(255, 0, 0));
        QCOMPARE(WinColorToQColor(0x804020), QColor(0x20, 0x40, 0x80));
        const base::Options defaults;
        QCOMPARE(WinColorToQColor(defaults.BackgroundColor),
                 QGuiApplication::palette().color(QPalette::Base));
        // A system colour survives the round trip; a changed colour is written as RGB.
        QCOMPARE(
            QColorToWinColor(WinColorToQColor(defaults.BackgroundColor), defaults.BackgroundColor),
            defaults.BackgroundColor);
        QCOMPARE(QColorToWinColor(QColor(0x20, 0x40, 0x80), defaults.BackgroundColor), 0x804020);
        QCOMPARE(QColorToWinColor(QColor(0, 0, 0), 0), 0);
    }

    void fonts() {
        QFont current("DejaVu Sans", 9);
        base::Options o;
        QFont f = FontFromOptions(o, current);
        QCOMPARE(f.family(), current.family()); // empty name keeps the face
        QCOMPARE(f.pointSize(), 10);
        QVERIFY(!f.bold() && !f.italic());
        o.FontName = "Liberation Serif With A Very Long Name Beyond Limit";
        o.FontSize = 14;
        o.FontStyle = 1 | 4;
        f = FontFromOptions(o, current);
        QCOMPARE(f.family(), QString("Liberation Serif With A Very Lo"));
        QVERIFY(f.bold() && f.underline() && !f.italic() && !f.strikeOut());
        base::Options back;
        back.FontCharSet = 204;
        FontToOptions(f, back);
        QCOMPARE(back.FontSize, 14);
        QCOMPARE(back.FontStyle, 5);
        QCOMPARE(back.FontCharSet, 204);
        QCOMPARE(back.FontName, std::string("Liberation Serif With A Very Lo"));
    }
};

VOCALIX_QTEST_MAIN(EditorLookTest)
#include "EditorLook_qtest.moc"
