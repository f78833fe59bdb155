#include "QtTestMain.h"
#include "shell/Bookmarks.h"
#include "shell/TZakBox.h"

#include <QListWidget>
#include <QPushButton>
#include <QtTest>

using namespace vocalix::shell;

namespace {

std::vector<std::string> ThreeEntries() {
    const std::string text(1000, 'x');
    return {BookmarkEntry(1, 10, text), BookmarkEntry(2, 500, text), BookmarkEntry(3, 990, text)};
}

} // namespace

class TZakBoxTest : public QObject {
    Q_OBJECT
private slots:
    void captionsAndFirstSelected() {
        TZakBox box;
        QCOMPARE(box.windowTitle(), QString::fromUtf8("Закладки"));
        QCOMPARE(box.ListBox1->width(), 680);
        QCOMPARE(box.btSort->text(), QString::fromUtf8("Удалить"));
        QCOMPARE(box.btSave->text(), QString::fromUtf8("Удалить ВСЕ"));
        QCOMPARE(box.Button1->text(), QString::fromUtf8("П  Е  Р  Е  Й  Т  И"));
        QCOMPARE(box.btESC->text(), QString::fromUtf8("ESC"));
        box.SetEntries(ThreeEntries());
        QCOMPARE(box.ListBox1->currentRow(), 0);
        QCOMPARE(box.Entries(), ThreeEntries());
    }

    void goTakesTheSelectedPosition() {
        TZakBox box;
        box.SetEntries(ThreeEntries());
        box.show();
        box.ListBox1->setCurrentRow(1);
        QTest::mouseClick(box.Button1, Qt::LeftButton);
        QCOMPARE(box.result(), int(QDialog::Accepted));
        QCOMPARE(box.ChosenPosition().value_or(-1), 500);
        QVERIFY(!box.Changed());
        // Escape and an empty list choose nothing.
        box.SetEntries(ThreeEntries());
        box.show();
        QTest::keyClick(&box, Qt::Key_Escape);
        QVERIFY(!box.ChosenPosition());
        box.SetEntries({});
        box.show();
        box.GoButtonClick();
        QVERIFY(!box.ChosenPosition());
        QVERIFY(!box.isVisible());
    }

    void deleteSelectsTheNextEntry() {
        TZakBox box;
        box.SetEntries(ThreeEntries());
        box.show();
        box.ListBox1->setCurrentRow(1);
        QTest::mouseClick(box.btSort, Qt::LeftButton);
        QVERIFY(box.isVisible());
        QVERIFY(box.Changed());
        QCOMPARE(BookmarksFromEntries(box.Entries()), std::string("10|990"));
        QCOMPARE(box.ListBox1->currentRow(), 1);
        box.DelButtonClick();
        QCOMPARE(box.ListBox1->currentRow(), 0);
        box.DelButtonClick();
        box.DelButtonClick(); // nothing left: no effect
        QCOMPARE(BookmarksFromEntries(box.Entries()), std::string(""));
    }

    void deleteAllAsksFirst() {
        TZakBox box;
        int asked = 0;
        bool answer = false;
        box.ConfirmDeleteAll = [&] {
            ++asked;
            return answer;
        };
        box.SetEntries(ThreeEntries());
        box.show();
        QTest::mouseClick(box.btSave, Qt::LeftButton);
        QCOMPARE(asked, 1);
        QVERIFY(box.isVisible());
        QCOMPARE(box.ListBox1->count(), 3);
        answer = true;
        QTest::mouseClick(box.btSave, Qt::LeftButton);
        QCOMPARE(asked, 2);
        QVERIFY(!box.isVisible());
        QCOMPARE(box.ListBox1->count(), 0);
        QVERIFY(box.Changed());
    }
};

VOCALIX_QTEST_MAIN(TZakBoxTest)
#include "TZakBox_qtest.moc"
